#include "tests/fuzz/FuzzEntries.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>

#include "banks/BankText.h"
#include "banks/VoiceBanks.h"
#include "platform/audio/WaveFile.h"
#include "platform/core/Random.h"
#include "platform/core/RichText.h"
#include "speech/CreateVoice.h"
#include "speech/RUZIZ.h"
#include "tests/support/Files.h"
#include "tests/support/Wav.h"

namespace fs = std::filesystem;

namespace fuzz {
namespace {

std::uint8_t At(std::string_view s, std::size_t i) {
  return i < s.size() ? static_cast<std::uint8_t>(s[i]) : 0;
}

using testsupport::U16;
using testsupport::U32;

// One folder per process for the sentence files, removed at exit.
const fs::path& ScratchDir() {
  static const testsupport::TempDir dir{"fuzz"};
  return dir.path;
}

// What is wrong with a sentence's WAV file, if anything.
std::string CheckWave(const std::string& wav, std::uint32_t rate) {
  const std::size_t n = wav.size();
  if (n < 44) return "WAV file shorter than its header";
  if (n % 2 != 0) return "WAV file with half a sample";
  if (wav.compare(0, 4, "RIFF") != 0 || wav.compare(8, 8, "WAVEfmt ") != 0 ||
      wav.compare(36, 4, "data") != 0)
    return "WAV file without its chunk tags";
  if (U32(wav, 4) != n - 8 || U32(wav, 40) != n - 44) return "WAV sizes do not match the file";
  if (U32(wav, 16) != 16 || U16(wav, 20) != 1 || U16(wav, 22) != 1 || U32(wav, 24) != rate ||
      U32(wav, 28) != 2 * rate || U16(wav, 32) != 2 || U16(wav, 34) != 16)
    return "WAV format is not 16-bit mono PCM at the chosen rate";
  return {};
}

}  // namespace

std::string EncodeSettings(const SynthesisSettings& s) {
  const int rateIndex = s.SampleRate == 11025 ? 1 : s.SampleRate == 8000 ? 2 : 0;
  const int p = s.Pitch - 1;
  const char b[kSettingsBytes] = {
      static_cast<char>(p & 0xFF),
      static_cast<char>(p >> 8),
      static_cast<char>(s.Speed - 1 + 10 * s.AnalogSpeed),
      static_cast<char>(s.Timbre),
      static_cast<char>(s.Reverb),
      static_cast<char>(s.Compressor),
      static_cast<char>(s.Volume - 1),
      static_cast<char>(s.Treble + 5 * s.Bass),
      static_cast<char>(rateIndex + 3 * s.bank),
      static_cast<char>(s.seed),
  };
  return std::string(b, kSettingsBytes);
}

SynthesisSettings DecodeSettings(std::string_view in) {
  static const int kRates[] = {22050, 11025, 8000};
  SynthesisSettings s;
  s.Pitch = 1 + (At(in, 0) | At(in, 1) << 8) % 400;
  s.Speed = 1 + At(in, 2) % 10;
  s.AnalogSpeed = At(in, 2) / 10 % 13;
  s.Timbre = At(in, 3) % 10;
  s.Reverb = At(in, 4) % 7;
  s.Compressor = At(in, 5) % 4;
  s.Volume = 1 + At(in, 6) % 99;
  s.Treble = At(in, 7) % 5;
  s.Bass = At(in, 7) / 5 % 5;
  s.SampleRate = kRates[At(in, 8) % 3];
  s.bank = At(in, 8) / 3 % 10;
  s.seed = At(in, 9);
  return s;
}

std::string SynthesizeSentence(const SynthesisSettings& s, std::string_view sentence,
                               std::string* wavOut) {
  if (wavOut) wavOut->clear();
  const fs::path file = ScratchDir() / "sentence.wav";
  std::error_code ec;
  fs::remove(file, ec);
  {
    TCreateVoice v;
    v.FSentence.assign(sentence);
    const banks::TVoiceBank& bank = banks::VoiceBankTable(s.bank);
    SlotArray voice;
    for (std::size_t i = 0; i < bank.size(); ++i)
      voice[i] =
          banks::IsEmptySlot(bank[i]) ? bank[i] : TORVHumanVoices::Resample(bank[i], s.AnalogSpeed);
    SetUpSynthesis(v, s, std::move(voice), file.string());
    platform::RandSeed(s.seed);
    v.Synthesize();
    if (!v.Terminated()) return "the synthesis ended without Terminate";
    if (v.WaveStream || v.FPhoneStream || v.FPeriodStream || v.FVoicingStream || v.ReverseScratch)
      return "the synthesis kept a stream";
  }
  const std::optional<std::string> wav = testsupport::ReadFileIfThere(file);
  // Only an empty sentence is meant to give no file; any other sentence failing silently
  // is a fault of the engine worth looking into.
  if (!wav) return sentence.empty() ? "" : "no file for a sentence that is not empty";
  fs::remove(file, ec);
  std::string fault = CheckWave(*wav, static_cast<std::uint32_t>(s.SampleRate));
  if (wavOut) *wavOut = std::move(*wav);
  return fault;
}

std::string Synthesis(std::string_view input) {
  const std::string_view sentence =
      input.size() > kSettingsBytes ? input.substr(kSettingsBytes) : std::string_view();
  return SynthesizeSentence(DecodeSettings(input), sentence);
}

std::string RichText(std::string_view input) {
  const std::string bytes(input);
  const std::vector<platform::TextRun> runs = platform::ReadTextDocument(bytes);
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (runs[i].text.empty()) return "an empty run";
    if (i > 0 && runs[i].bold == runs[i - 1].bold && runs[i].italic == runs[i - 1].italic &&
        runs[i].underline == runs[i - 1].underline)
      return "neighbouring runs of the same format";
    for (char32_t c : runs[i].text)
      if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return "a character outside Unicode";
  }
  return {};
}

std::string WaveFile(std::string_view input) {
  const std::string bytes(input);
  platform::WaveData w;
  if (platform::ParseWave(bytes, w) != platform::WaveError::None) return {};
  if (w.channels != 1 && w.channels != 2) return "accepted a channel count other than 1 or 2";
  if (w.bits != 8 && w.bits != 16) return "accepted a sample width other than 8 or 16 bits";
  if (w.rate == 0) return "accepted a rate of 0";
  if (w.samples.size() > bytes.size()) return "more sample bytes than the file holds";
  if (w.samples.size() % w.BlockAlign() != 0) return "a partial frame among the samples";
  if (bytes.find(w.samples) == std::string::npos) return "samples that are not in the file";
  // What was read writes back as a file that reads the same.
  platform::WaveData again;
  if (platform::ParseWave(platform::EncodeWave(w), again) != platform::WaveError::None)
    return "the written form of an accepted file is refused";
  if (again.channels != w.channels || again.bits != w.bits || again.rate != w.rate ||
      again.samples != w.samples)
    return "the written form of an accepted file reads differently";
  return {};
}

std::string BankText(std::string_view input) {
  std::vector<std::string> elements;
  std::vector<std::size_t> lines;
  try {
    elements = banks::ParseElements(input, &lines);
  } catch (const banks::BankTextError& e) {
    if (e.Line() < 1) return "a fault reported on line 0";
    return {};
  }
  if (lines.size() != elements.size()) return "start lines do not match the elements";
  // The text was whole elements only, so writing them again gives the same text.
  std::string written;
  for (const std::string& e : elements) written += banks::WriteElement(e);
  if (written != input) return "accepted text that is not the written form of its elements";
  return {};
}

}  // namespace fuzz
