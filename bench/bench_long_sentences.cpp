// Texts whose sentences never end: what one sentence costs the window, and how big its WAV
// file grows.
//
//   bench_long_sentences [SAMPLE]     (SAMPLE: sentences synthesised per text, 40 by default)
//
// First the cost of one sentence by its length: the paragraph below cut at a blank after
// 250 to 32 000 bytes, each synthesised once with the first voice's preset. The synthesis
// runs on the main thread as one call, so its wall time is how long the window stays frozen.
// Then texts whose sentences never end: a 1 MB paragraph of commas, a 20 MB line of
// "palabra ", 2 MB lines of "a" and of consonants, cut as a reading cuts them. Prints the
// time to cut the whole text, the longest cut, and over the first SAMPLE sentences the
// longest freeze (cut plus synthesis) and the largest WAV file. Targets: no freeze over
// 0.1 s and no WAV file over 10 MB.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "banks/VoiceBanks.h"
#include "bench/BenchSupport.h"
#include "platform/core/Random.h"
#include "speech/CreateVoice.h"
#include "speech/SentenceCutter.h"
#include "speech/SpeechSettings.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Repeated;
using bench::Seconds;

namespace {

struct Engine : TCreateVoice {};

struct Synthesis {
  double seconds;
  std::uintmax_t wavBytes;
};

// One sentence as a reading's synthesis makes it, with the first voice's preset.
Synthesis Synthesise(const std::string& sentence, const fs::path& wav) {
  const SpeechSettings settings{
      .SampleRate = 22050, .Pitch = 40, .Speed = 5, .Volume = 99, .Bass = 2};
  Engine v;
  v.FSentence = sentence;
  SetUpSynthesis(v, settings, banks::VoiceBankTable(0), wav.string());
  std::error_code ec;
  fs::remove(wav, ec);
  platform::RandSeed(1);
  const auto start = Clock::now();
  v.Synthesize();
  const double s = Seconds(start);
  return {s, fs::exists(wav) ? fs::file_size(wav) : 0};
}

void Text(const char* what, std::string text, int sample, const fs::path& wav) {
  const std::size_t bytes = text.size();
  SentenceCursor cursor;
  std::string s;
  int count = 0;
  double cutTotal = 0, cutMax = 0, freezeMax = 0;
  std::size_t longest = 0;
  std::uintmax_t wavMax = 0;
  for (;;) {
    const auto start = Clock::now();
    const bool found = CutSentenceToSay(text, cursor, s);
    const double cut = Seconds(start);
    if (!found) break;
    ConsumeSeparator(text, cursor);
    cutTotal += cut;
    cutMax = std::max(cutMax, cut);
    longest = std::max(longest, s.size());
    if (count++ < sample) {
      const Synthesis syn = Synthesise(s, wav);
      freezeMax = std::max(freezeMax, cut + syn.seconds);
      wavMax = std::max(wavMax, syn.wavBytes);
    }
  }
  std::printf(
      "%s (%zu bytes): %d sentences, the longest %zu bytes; cutting all %.3f s, "
      "longest cut %.3f ms\n",
      what, bytes, count, longest, cutTotal, cutMax * 1000.0);
  std::printf("  first %d sentences: longest freeze %.3f s, largest WAV %ju bytes\n",
              std::min(count, sample), freezeMax, wavMax);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int sample = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
  const testsupport::TempDir dir{"bench_long"};
  const fs::path wav = dir.path / "sentence.wav";
  const std::string commas = "la casa de la abuela tiene un patio con flores, ";

  std::printf("one sentence by its length (the bound is %d bytes):\n", MaxSentenceBytes);
  std::printf("%10s %12s %14s\n", "bytes", "freeze s", "WAV bytes");
  const std::string paragraph = Repeated(commas, 40000);
  for (std::size_t length : {250, 500, 1000, 2000, 4000, 8000, 16000, 32000}) {
    const std::string sentence = paragraph.substr(0, paragraph.rfind(' ', length - 1) + 1);
    const Synthesis syn = Synthesise(sentence, wav);
    std::printf("%10zu %12.3f %14ju\n", sentence.size(), syn.seconds, syn.wavBytes);
    std::fflush(stdout);
  }
  constexpr std::size_t MB = 1000 * 1000;
  Text("paragraph of commas, 1 MB", Repeated(commas, 1 * MB), sample, wav);
  Text("line of \"palabra \", 20 MB", Repeated("palabra ", 20 * MB), sample, wav);
  // Without a blank every sentence is cut at the bound itself; consonants alone are spelled
  // out letter by letter, the most sound per byte.
  Text("line of \"a\", 2 MB", std::string(2 * MB, 'a'), sample, wav);
  Text("line of consonants, 2 MB", Repeated("bcdfghjklmnpqrstvwxz", 2 * MB), sample, wav);
  return 0;
}
