// Whole sentences through every stage with a compiled-in voice: the WAV file that comes out,
// and what each effect setting of the window does to the next sentence.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "banks/VoiceBanks.h"
#include "platform/core/Random.h"
#include "speech/CreateVoice.h"
#include "speech/SpeechSettings.h"
#include "tests/engine/SampleFixture.h"
#include "tests/support/WavCheck.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadFile;

// No effects, at the full rate; each test changes what it is about.
constexpr SpeechSettings kPlain{
    .SampleRate = 22050, .Pitch = 71, .Speed = 5, .Volume = 80, .Bass = 1};

constexpr std::uint32_t kSeed = 41;

// The whole file, or an empty string when none was written.
std::string Speak(const std::string& sentence, const SpeechSettings& s, const SlotArray& bank) {
  const testsupport::TempDir dir{"whole"};
  const fs::path file = dir.path / "sentence.wav";
  TCreateVoice v;
  v.FSentence = sentence;
  SetUpSynthesis(v, s, bank, file.string());
  platform::RandSeed(kSeed);
  v.Synthesize();
  EXPECT_TRUE(v.Terminated());
  return ReadFile(file);
}

// The samples of a file, after checking that its header describes it.
std::vector<int> CheckedSamples(const std::string& wav, std::uint32_t rate) {
  EXPECT_TRUE(testsupport::IsMonoPcmWave(wav, rate));
  if (wav.size() < 44) return {};
  return testsupport::Samples(wav, 44);
}

SlotArray Voice(int bank) {
  const banks::TVoiceBank& b = banks::VoiceBankTable(bank);
  SlotArray out;
  std::copy(b.begin(), b.end(), out.begin());
  return out;
}

// Question, aside, abbreviation, numbers with a decimal comma, written accents, typed
// parentheses, a spelled-out word, ll, silent h and an em dash.
const char* const kMixed =
    "\277Lleg\363 ya el Sr. P\351rez - con sus 25 gatos y 3,5 kilos -. "
    "S\355, el 1 de enero de 2024 (creo) a las 10 \227 dijo la DGT: \241hola!";

TEST(WholeSentence, MixedTextBecomesAWaveFileAtEveryRate) {
  const SlotArray voice = Voice(0);
  for (std::uint32_t rate : {22050u, 11025u, 8000u}) {
    SpeechSettings s = kPlain;
    s.SampleRate = rate;
    const std::vector<int> samples = CheckedSamples(Speak(kMixed, s, voice), rate);
    // Several seconds of material, brought to the volume setting (80 % of 32767).
    EXPECT_GT(samples.size(), 2u * 7350u) << rate;
    const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
    EXPECT_EQ(std::max(*hi, -*lo), 26214) << rate;
  }
}

// The three rates keep every sample, every second and every third sample of one rendering
// (never the last one when reducing).
TEST(WholeSentence, OutputRateReducesTheSameRendering) {
  const SlotArray voice = Voice(3);
  SpeechSettings s = kPlain;
  const std::size_t full = CheckedSamples(Speak(kMixed, s, voice), 22050).size();
  s.SampleRate = 11025;
  EXPECT_EQ(CheckedSamples(Speak(kMixed, s, voice), 11025).size(), full / 2);
  s.SampleRate = 8000;
  EXPECT_EQ(CheckedSamples(Speak(kMixed, s, voice), 8000).size(), (full + 1) / 3);
}

// Every setting of the treble, compressor and reverberation lists reaches the sound of the
// sentence: the treble cut never shortens a piece, the compressor drops one sample, and the
// reverberation adds the longest echo delay of its setting.
TEST(WholeSentence, EachEffectSettingChangesTheSound) {
  const SlotArray voice = Voice(1);
  const std::string sentence = "\277Qu\351 hora es? Son las 7 y 20.";
  const std::vector<int> plain = CheckedSamples(Speak(sentence, kPlain, voice), 22050);
  ASSERT_GT(plain.size(), 1000u);

  for (std::uint16_t treble = 1; treble <= 4; ++treble) {
    SpeechSettings s = kPlain;
    s.Treble = treble;
    const std::vector<int> out = CheckedSamples(Speak(sentence, s, voice), 22050);
    EXPECT_GE(out.size(), plain.size()) << "treble " << treble;
    EXPECT_NE(out, plain) << "treble " << treble;
  }
  for (std::int16_t level = 1; level <= 3; ++level) {
    SpeechSettings s = kPlain;
    s.Compressor = level;
    const std::vector<int> out = CheckedSamples(Speak(sentence, s, voice), 22050);
    EXPECT_EQ(out.size(), plain.size() - 1) << "compressor " << level;
    EXPECT_NE(out, std::vector<int>(plain.begin(), plain.end() - 1)) << "compressor " << level;
  }
  const struct {
    std::uint16_t setting;
    std::size_t least, most;
  } reverbs[] = {{1, 2400, 2799}, {2, 8100, 8699},   {3, 19200, 19999},
                 {4, 3600, 4199}, {5, 12150, 13049}, {6, 28800, 29999}};
  for (const auto& r : reverbs) {
    SpeechSettings s = kPlain;
    s.Reverb = r.setting;
    const std::vector<int> out = CheckedSamples(Speak(sentence, s, voice), 22050);
    ASSERT_GE(out.size(), plain.size() + r.least) << "reverb " << r.setting;
    EXPECT_LE(out.size(), plain.size() + r.most) << "reverb " << r.setting;
    // The echoes sound after the end of the sentence.
    EXPECT_TRUE(std::any_of(out.begin() + static_cast<std::ptrdiff_t>(plain.size()), out.end(),
                            [](int v) { return std::abs(v) > 100; }))
        << "reverb " << r.setting;
  }
  // Settings outside the list change nothing.
  SpeechSettings off = kPlain;
  off.Compressor = 4;
  off.Reverb = 7;
  EXPECT_EQ(CheckedSamples(Speak(sentence, off, voice), 22050), plain);
}

// A sentence that renders nothing but pauses still gets its file with every effect on: the
// reverberation of silence is the same silence, lengthened by the longest delay.
TEST(WholeSentence, SilentSentenceWithEveryEffectStillWritesItsFile) {
  const SlotArray voice = Voice(2);
  const std::string sentence = "(, ; -) ...";
  const struct {
    std::uint16_t setting;
    std::size_t least, most;
  } reverbs[] = {{1, 2400, 2799}, {6, 28800, 29999}};
  for (const auto& r : reverbs) {
    SpeechSettings s = kPlain;
    s.Compressor = 2;
    s.Treble = 3;
    s.SampleRate = 11025;
    const std::vector<int> dry = CheckedSamples(Speak(sentence, s, voice), 11025);
    ASSERT_FALSE(dry.empty());
    ASSERT_TRUE(std::all_of(dry.begin(), dry.end(), [](int v) { return v == 0; }));
    s.Reverb = r.setting;
    const std::string wav = Speak(sentence, s, voice);
    ASSERT_FALSE(wav.empty()) << "reverb " << r.setting;
    const std::vector<int> out = CheckedSamples(wav, 11025);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int v) { return v == 0; }));
    EXPECT_GE(out.size(), dry.size() + r.least) << "reverb " << r.setting;
    EXPECT_LE(out.size(), dry.size() + r.most) << "reverb " << r.setting;
  }
}

}  // namespace
