// Voice quality of the ten voices in the engine's own output: a fixed Spanish news text is
// read with each voice's first item and its preset pitch, and for each voice the program
// prints
//   - clicks per second: isolated discontinuities in each sentence's file (a jump above 6
//     times the RMS of the jumps in the 10 ms around it and above 600 once the file is
//     scaled to -20 dBFS RMS; jumps within 2 ms count once), over the seconds of all files;
//   - F1/F2 of the stressed vowel of "papa", "pepe", "pipa", "popa" and "pupa", each word
//     spoken as a sentence of its own, by linear prediction over the middle of the vowel;
//     "--" where fewer than two resonances are found, "*" after a pair outside the
//     vowel's Spanish region;
//   - the share of the text's energy below 300 Hz.
//
//   bench_voice_quality [TEXT]   (default: texto_noticias.txt beside this source; the text
//                                  is Windows-1252 with CR LF line ends)

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "banks/VoiceBanks.h"
#include "bench/BenchSupport.h"
#include "platform/core/Random.h"
#include "speech/CreateVoice.h"
#include "tests/support/Files.h"
#include "tools/bankrec/Cutting.h"
#include "tools/bankrec/Joins.h"

namespace fs = std::filesystem;
using bankrec::Wave;

namespace {

constexpr double Rate = 22050;

using Synthesis = TCreateVoice;

// The voice as a load with analog speed 0 prepares it.
SlotArray LoadedVoice(int bank) {
  const banks::TVoiceBank& b = banks::VoiceBankTable(bank);
  SlotArray slots;
  for (int s = 0; s < banks::SlotCount; ++s) {
    const auto i = static_cast<std::size_t>(s);
    slots[i] = banks::IsEmptySlot(b[i]) ? banks::EmptySlot : b[i];
  }
  return slots;
}

// One sentence through the engine with the first preset of the voice: its pitch (40 for
// the lower voices, 110 for the higher ones), speed 5, treble/bass "0 -2", timbre 0,
// volume 99, no reverberation or compressor, 22050 samples per second.
Wave Speak(const SlotArray& voice, int bank, const std::string& sentence, const fs::path& wav) {
  std::error_code ec;
  fs::remove(wav, ec);
  Synthesis v;
  v.FSentence = sentence;
  v.FSampleRate = 22050;
  v.FPitch = static_cast<std::int16_t>(bank % 2 == 1 ? 110 : 40);
  v.FSpeed = 5;
  v.FTimbre = 0;
  v.FReverb = 0;
  v.FCompressor = 0;
  v.FVolume = 99;
  v.FVoicingAmp = 28 * 256;  // bass cut 2
  v.FTreble = 0;
  v.FBank = voice;
  v.FWavFile = wav.string();
  v.Synthesize();
  const std::string bytes = testsupport::ReadFile(wav);
  if (bytes.size() <= 44) return {};
  return bankrec::FromSamples(bytes.substr(44));
}

// Energy below `cut` Hz and in all, by Hann-windowed frames of 2048 samples.
void LowEnergy(const Wave& x, double cut, double& low, double& all) {
  constexpr int N = 2048;
  const int bins = static_cast<int>(cut * N / Rate);
  for (std::size_t at = 0; at + N <= x.size(); at += N / 2) {
    std::vector<double> w(N);
    double e = 0;
    for (int i = 0; i < N; ++i) {
      w[i] = x[at + i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / N));
      e += w[i] * w[i];
    }
    all += e;
    for (int k = 0; k <= bins; ++k) {
      double re = 0, im = 0;
      for (int i = 0; i < N; ++i) {
        const double ph = 2 * std::numbers::pi * k * i / N;
        re += w[i] * std::cos(ph);
        im -= w[i] * std::sin(ph);
      }
      low += (k == 0 ? 1.0 : 2.0) * (re * re + im * im) / N;
    }
  }
}

// The first run of at least four 5 ms frames louder than a fifth of the loudest frame: in a
// word that starts with a consonant, its first vowel (a burst is shorter).
bool FirstVowel(const Wave& x, int& from, int& to) {
  constexpr int F = 110;
  std::vector<double> rms;
  for (std::size_t at = 0; at + F <= x.size(); at += F) {
    double e = 0;
    for (int i = 0; i < F; ++i) e += x[at + i] * x[at + i];
    rms.push_back(std::sqrt(e / F));
  }
  if (rms.empty()) return false;
  const double top = *std::max_element(rms.begin(), rms.end());
  for (std::size_t i = 0; i < rms.size();) {
    std::size_t j = i;
    while (j < rms.size() && rms[j] >= top / 5) ++j;
    if (j - i >= 4) {
      from = static_cast<int>(i) * F;
      to = static_cast<int>(j) * F;
      return true;
    }
    i = j + 1;
  }
  return false;
}

// F1 and F2 of the middle half of a vowel: linear prediction of order 12 at half the rate,
// the two lowest resonances above 150 Hz narrower than 600 Hz.
bool Formants(const Wave& vowel, double& f1, double& f2) {
  const std::size_t n = vowel.size();
  const Wave mid(vowel.begin() + static_cast<long>(n / 4),
                 vowel.begin() + static_cast<long>(3 * n / 4));
  Wave half;
  for (std::size_t i = 2; i + 1 < mid.size(); i += 2)
    half.push_back(0.25 * mid[i - 1] + 0.5 * mid[i] + 0.25 * mid[i + 1]);
  std::vector<double> found;
  for (const auto& r : bankrec::Resonances(bankrec::Lpc(half, 12), Rate / 2))
    if (r.freq > 150 && r.bandwidth < 600) found.push_back(r.freq);
  if (found.size() < 2) return false;
  f1 = found[0];
  f2 = found[1];
  return true;
}

// Spanish vowel regions (Hz) that hold men's and women's vowels alike.
struct Region {
  const char* word;
  double f1Lo, f1Hi, f2Lo, f2Hi;
} const Words[] = {
    {"papa", 650, 1150, 1100, 1900}, {"pepe", 350, 650, 1600, 2600}, {"pipa", 200, 420, 2000, 3200},
    {"popa", 400, 750, 700, 1250},   {"pupa", 200, 450, 600, 1200},
};

std::string ReadText(const fs::path& file) {
  const auto text = testsupport::ReadFileIfThere(file);
  if (!text) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    std::exit(2);
  }
  return *text;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const fs::path textFile =
      args.empty() ? fs::path(ORV_BENCH_DIR) / "texto_noticias.txt" : fs::path(args[0]);
  const std::vector<std::string> sentences = bench::Sentences(ReadText(textFile));
  const testsupport::TempDir dir("quality");
  const fs::path wav = dir.File("sentence.wav");
  std::printf("%zu sentences; first item of each voice, preset pitch, 22050 samples/s\n",
              sentences.size());
  std::printf("%-9s %5s %8s %8s", "voice", "pitch", "seconds", "clicks/s");
  for (const Region& r : Words) std::printf("  %11s", r.word);
  std::printf("  %6s\n", "<300Hz");
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    const SlotArray voice = LoadedVoice(bank);
    platform::RandSeed(12345);
    double seconds = 0, low = 0, all = 0;
    std::size_t clicks = 0;
    for (const std::string& s : sentences) {
      const Wave x = Speak(voice, bank, s, wav);
      seconds += static_cast<double>(x.size()) / Rate;
      clicks += bankrec::Clicks(x).size();
      LowEnergy(x, 300, low, all);
    }
    std::printf("%-9s %5d %8.2f %8.2f", std::string(banks::VoiceName(bank)).c_str(),
                bank % 2 == 1 ? 110 : 40, seconds, static_cast<double>(clicks) / seconds);
    for (const Region& r : Words) {
      const Wave x = Speak(voice, bank, std::string(r.word) + ".", wav);
      int from = 0, to = 0;
      double f1 = 0, f2 = 0;
      if (FirstVowel(x, from, to) && Formants(Wave(x.begin() + from, x.begin() + to), f1, f2)) {
        const bool in = f1 >= r.f1Lo && f1 <= r.f1Hi && f2 >= r.f2Lo && f2 <= r.f2Hi;
        std::printf("  %4.0f/%4.0f%s", f1, f2, in ? " " : "*");
      } else {
        std::printf("  %11s", "--");
      }
    }
    std::printf("  %5.1f%%\n", all > 0 ? 100 * low / all : 0.0);
  }
  return 0;
}
