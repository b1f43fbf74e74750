// Synthesis throughput per voice: the text is cut into sentences as a reading cuts it, and
// each sentence is synthesised to a WAV file with the voice's first preset. Prints, per voice,
// the seconds of audio made per second of CPU time, and a last line with the figure over all
// voices.
//
//   bench_reading TEXT_FILE [RATE [PASSES]]
//
// TEXT_FILE holds Windows-1252 text (as the text box gives it to a reading); RATE is the
// output rate, 22050 by default; each voice reads the text PASSES times (20 by default), so
// that the CPU time is long enough to measure.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "banks/VoiceBanks.h"
#include "bench/BenchSupport.h"
#include "platform/core/Random.h"
#include "platform/core/RichText.h"
#include "speech/CreateVoice.h"
#include "speech/SpeechSettings.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

using bench::CpuSeconds;
using bench::Sentences;

struct Engine : TCreateVoice {};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TEXT_FILE [RATE]\n", argv[0]);
    return 2;
  }
  const std::uint32_t rate = argc > 2 ? std::uint32_t(std::atoi(argv[2])) : 22050;
  const int passes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 20;
  std::string text;
  try {
    text = platform::ReadWholeFile(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
  const std::vector<std::string> sentences = Sentences(text);
  const testsupport::TempDir dir{"bench"};
  const fs::path wav = dir.path / "sentence.wav";

  std::printf("%zu sentences, %zu bytes, output rate %u, %d passes\n", sentences.size(),
              text.size(), rate, passes);
  std::printf("%-10s %10s %10s %12s %12s %12s\n", "voice", "audio s", "cpu s", "x realtime",
              "worst sent.", "failed");
  double allAudio = 0, allCpu = 0;
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    const bool odd = bank % 2 == 1;
    double audio = 0, cpu = 0, worst = 1e30;
    int failed = 0;
    for (int pass = 0; pass < passes; ++pass)
      for (const std::string& sentence : sentences) {
        // The voice's first preset: pitch "40" ("110" for the odd voices), speed "5",
        // treble/bass "0 -2", volume "99".
        const SpeechSettings settings{.SampleRate = static_cast<std::int32_t>(rate),
                                      .Pitch = static_cast<std::int16_t>(odd ? 110 : 40),
                                      .Speed = 5,
                                      .Volume = 99,
                                      .Bass = 2};
        Engine v;
        v.FSentence = sentence;
        SetUpSynthesis(v, settings, banks::VoiceBankTable(bank), wav.string());
        std::error_code ec;
        fs::remove(wav, ec);
        platform::RandSeed(1);
        const double t0 = CpuSeconds();
        v.Synthesize();
        const double t = CpuSeconds() - t0;
        const auto size = fs::exists(wav) ? fs::file_size(wav) : 0;
        if (size <= 44) {
          failed += pass == 0;
          continue;
        }
        const double secs = double(size - 44) / 2.0 / double(rate);
        audio += secs;
        cpu += t;
        if (t > 0 && secs / t < worst) worst = secs / t;
      }
    allAudio += audio;
    allCpu += cpu;
    std::printf("%-10s %10.2f %10.4f %12.1f %12.1f %12d\n",
                std::string(banks::VoiceName(bank)).c_str(), audio, cpu,
                cpu > 0 ? audio / cpu : 0.0, worst < 1e30 ? worst : 0.0, failed);
  }
  std::printf("all voices: %.2f s of audio in %.4f s of CPU: %.1f x realtime\n", allAudio, allCpu,
              allCpu > 0 ? allAudio / allCpu : 0.0);
  return 0;
}
