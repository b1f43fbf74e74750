// Voice quality of the ten voices in the engine's own output: a fixed Spanish news text is
// read with each voice's first item (its preset pitch, speed 5, treble/bass "0 -2", timbre
// 0, volume 99, no reverberation or compressor, 22050 samples per second), and the program
// prints five tables:
//   1. per voice at the preset: clicks per second (isolated discontinuities in each
//      sentence's file: a jump above 6 times the RMS of the jumps in the 10 ms around it and
//      above 600 once the file is scaled to -20 dBFS RMS; jumps within 2 ms count once),
//      F1/F2 of the stressed vowel of "papa", "pepe", "pipa", "popa" and "pupa", each word
//      spoken as a sentence of its own ("--" where fewer than two resonances are found, "*"
//      after a pair outside the vowel's Spanish region), the share of the text's energy
//      below 300 Hz and the level of the bands 1-2, 2-3 and 3-4 kHz;
//   2. the click sweep: clicks per second over the text at pitch 20, 40, 80, 110, 200 and
//      400 and timbres 0 to 9, the preset's other settings, with the slot that clicks most
//      in the voice's worst cell and the clicks that cell holds before the volume step;
//   3. running-speech vowels: every stressed vowel of the text, found by the step trace, by
//      linear prediction of order 12 at 11025 Hz over the middle half of its samples; per
//      vowel the median F1/F2, the share of tokens inside the vowel's region and the number
//      of tokens, and the closest pair of medians in semitones on the F1/F2 plane;
//   4. DC: the mean of the non-zero samples of each sentence in percent of full scale, its
//      most negative and most positive sentence and the sentences beyond 0.5 %; and the
//      range over the sentences of the highest sample over the magnitude of the lowest
//      before the volume step, which scales each half-wave to its own peak.
// The cells run in up to four processes (the engine's random sequence is process-wide).
//
//   bench_voice_quality [TEXT]   (default: texto_noticias.txt beside this source; the text
//                                  is Windows-1252 with CR LF line ends)

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
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
#include "tools/bankrec/Listening.h"

namespace fs = std::filesystem;
using bankrec::Wave;

namespace {

constexpr double Rate = 22050;
constexpr int Pitches[] = {20, 40, 80, 110, 200, 400};
constexpr int PitchCount = 6, TimbreCount = 10;
constexpr int Workers = 4;
constexpr int MaxSentences = 64;
const auto& Words = bankrec::VowelRegions;

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

using bankrec::PresetPitch;

struct Setting {
  int pitch = 40, timbre = 0;
};

// Energy in bands (Hz) and in all, by Hann-windowed frames of 2048 samples.
constexpr double Bands[][2] = {{0, 300}, {1000, 2000}, {2000, 3000}, {3000, 4000}};
constexpr int BandCount = 4;

void BandEnergy(const Wave& x, double* band, double& all) {
  constexpr int N = 2048;
  std::vector<std::complex<double>> a(N);
  for (std::size_t at = 0; at + N <= x.size(); at += N / 2) {
    double e = 0;
    for (int i = 0; i < N; ++i) {
      const double w = x[at + i] * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / N));
      a[i] = w;
      e += w * w;
    }
    all += e;
    bankrec::Fft(a);
    for (int b = 0; b < BandCount; ++b) {
      const int lo = static_cast<int>(std::ceil(Bands[b][0] * N / Rate));
      const int hi = static_cast<int>(Bands[b][1] * N / Rate);
      for (int k = lo; k <= hi; ++k) band[b] += (k == 0 ? 1.0 : 2.0) * std::norm(a[k]) / N;
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

// What one cell measures. A cell at the voice's preset also measures the vowels, the DC
// and the spectrum.
struct Cell {
  int bank;
  Setting setting;
  bool preset;
  double seconds;
  int clicks;
  int unscaledClicks;  // before the volume step
  int clicksBySlot[banks::SlotCount];
  // preset only
  double band[BandCount], all;
  double wordF1[5], wordF2[5];
  bool wordFound[5];
  bankrec::RunningVowels::Vowel vowels[5];
  double closest;
  int closestA, closestB;
  int sentences;
  double dc[MaxSentences];
  double peakRatio[MaxSentences];
};

void Measure(Cell& c, const std::vector<std::string>& sentences, const fs::path& wav) {
  const SlotArray voice = LoadedVoice(c.bank);
  platform::RandSeed(12345);
  std::vector<bankrec::Phone> phones;
  bankrec::RunningVowels running;
  Wave unscaled;
  for (const std::string& s : sentences) {
    phones.clear();
    const Wave x = bankrec::Speak(voice, c.setting.pitch, c.setting.timbre, s, wav.string(),
                                  &phones, &unscaled);
    c.seconds += static_cast<double>(x.size()) / Rate;
    c.unscaledClicks += static_cast<int>(bankrec::Clicks(unscaled).size());
    for (int at : bankrec::Clicks(x)) {
      ++c.clicks;
      for (const bankrec::Phone& p : phones)
        if (at >= p.start && at < p.start + p.length) ++c.clicksBySlot[p.slot];
    }
    if (!c.preset) continue;
    BandEnergy(x, c.band, c.all);
    if (c.sentences < MaxSentences) {
      c.peakRatio[c.sentences] = bankrec::PeakRatio(unscaled);
      c.dc[c.sentences++] = bankrec::Offset(x);
    }
    running.Add(x, phones);
  }
  if (!c.preset) return;
  for (int v = 0; v < 5; ++v) c.vowels[v] = running.Of(v);
  c.closest = running.ClosestPair(c.closestA, c.closestB);
  for (int v = 0; v < 5; ++v) {
    const Wave x = bankrec::Speak(voice, c.setting.pitch, c.setting.timbre,
                                  std::string(Words[v].word) + ".", wav.string());
    int from = 0, to = 0;
    c.wordFound[v] =
        FirstVowel(x, from, to) &&
        bankrec::VowelFormants(Wave(x.begin() + from, x.begin() + to), c.wordF1[v], c.wordF2[v]);
  }
}

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

  std::vector<Cell> plan;
  for (int bank = 0; bank < banks::BankCount; ++bank)
    for (int p : Pitches)
      for (int t = 0; t < TimbreCount; ++t) {
        Cell c{};
        c.bank = bank;
        c.setting = {p, t};
        c.preset = p == PresetPitch(bank) && t == 0;
        plan.push_back(c);
      }
  // The cells are shared with the worker processes, which fill them in.
  const std::size_t bytes = plan.size() * sizeof(Cell);
  void* shared = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (shared == MAP_FAILED) {
    std::perror("mmap");
    return 2;
  }
  Cell* cells = static_cast<Cell*>(shared);
  std::memcpy(static_cast<void*>(cells), plan.data(), bytes);
  std::vector<pid_t> workers;
  for (int w = 0; w < Workers; ++w) {
    const pid_t pid = fork();
    if (pid == 0) {
      const fs::path wav = dir.File("w" + std::to_string(w) + ".wav");
      for (std::size_t i = static_cast<std::size_t>(w); i < plan.size(); i += Workers)
        Measure(cells[i], sentences, wav);
      _exit(0);
    }
    workers.push_back(pid);
  }
  bool failed = false;
  for (pid_t pid : workers) {
    int status = 0;
    waitpid(pid, &status, 0);
    failed = failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0;
  }
  if (failed) {
    std::fprintf(stderr, "a worker failed\n");
    return 1;
  }
  auto at = [&](int bank, int pi, int t) -> const Cell& {
    return cells[(bank * PitchCount + pi) * TimbreCount + t];
  };
  auto preset = [&](int bank) -> const Cell& {
    const int pi = static_cast<int>(
        std::find(std::begin(Pitches), std::end(Pitches), PresetPitch(bank)) - std::begin(Pitches));
    return at(bank, pi, 0);
  };
  auto name = [](int bank) { return std::string(banks::VoiceName(bank)); };

  std::printf("%zu sentences; first item of each voice, 22050 samples/s\n\n", sentences.size());
  std::printf(
      "Preset: clicks, vowels of single words, spectrum (dB of the whole below 300 Hz "
      "in %%; bands in dB of full scale)\n");
  std::printf("%-9s %5s %8s %8s", "voice", "pitch", "seconds", "clicks/s");
  for (const bankrec::VowelRegion& r : Words) std::printf("  %11s", r.word);
  std::printf("  %6s %6s %6s %6s\n", "<300Hz", "1-2k", "2-3k", "3-4k");
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    const Cell& c = preset(bank);
    std::printf("%-9s %5d %8.2f %8.2f", name(bank).c_str(), PresetPitch(bank), c.seconds,
                c.clicks / c.seconds);
    for (int v = 0; v < 5; ++v) {
      if (c.wordFound[v])
        std::printf("  %4.0f/%4.0f%s", c.wordF1[v], c.wordF2[v],
                    Words[v].Holds(c.wordF1[v], c.wordF2[v]) ? " " : "*");
      else
        std::printf("  %11s", "--");
    }
    const double norm = c.seconds * Rate * 32767.0 * 32767.0 * 0.375;  // Hann power
    std::printf("  %5.1f%%", c.all > 0 ? 100 * c.band[0] / c.all : 0.0);
    for (int b = 1; b < BandCount; ++b) std::printf(" %6.1f", 10 * std::log10(c.band[b] / norm));
    std::printf("\n");
  }

  std::printf(
      "\nClick sweep: clicks/s over the text by pitch and timbre; the slot that clicks "
      "most in the voice's worst cell\n");
  std::printf("%-9s %5s", "voice", "pitch");
  for (int t = 0; t < TimbreCount; ++t) std::printf("  t%-4d", t);
  std::printf("\n");
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    double worst = -1;
    int wp = 0, wt = 0;
    for (int pi = 0; pi < PitchCount; ++pi) {
      std::printf("%-9s %5d", name(bank).c_str(), Pitches[pi]);
      for (int t = 0; t < TimbreCount; ++t) {
        const Cell& c = at(bank, pi, t);
        const double rate = c.clicks / c.seconds;
        std::printf("  %5.2f%s", rate, rate > 0.5 ? "*" : " ");
        if (rate > worst) {
          worst = rate;
          wp = pi;
          wt = t;
        }
      }
      std::printf("\n");
    }
    const Cell& w = at(bank, wp, wt);
    const int slot =
        static_cast<int>(std::max_element(std::begin(w.clicksBySlot), std::end(w.clicksBySlot)) -
                         std::begin(w.clicksBySlot));
    std::printf(
        "%-9s worst %.2f at pitch %d timbre %d: slot %d holds %d of %d clicks; %d before the "
        "volume step\n",
        name(bank).c_str(), worst, Pitches[wp], wt, slot, w.clicksBySlot[slot], w.clicks,
        w.unscaledClicks);
  }

  std::printf(
      "\nRunning-speech vowels at the preset: median F1/F2 of the stressed vowels, "
      "share in region and tokens; closest pair in semitones\n");
  std::printf("%-9s", "voice");
  for (const bankrec::VowelRegion& r : Words) std::printf("  %-20c", r.vowel);
  std::printf("  %s\n", "closest");
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    const Cell& c = preset(bank);
    std::printf("%-9s", name(bank).c_str());
    for (int v = 0; v < 5; ++v) {
      const bankrec::RunningVowels::Vowel& r = c.vowels[v];
      if (!r.resolved) {
        std::printf("  %-20s", "--");
        continue;
      }
      char cellText[64];
      std::snprintf(cellText, sizeof cellText, "%4.0f/%4.0f%s %3.0f%% %2d", r.f1, r.f2,
                    Words[v].Holds(r.f1, r.f2) ? " " : "*", 100 * r.Share(), r.tokens);
      std::printf("  %-20s", cellText);
    }
    if (c.closestA >= 0)
      std::printf("  %c-%c %4.1f%s\n", Words[c.closestA].vowel, Words[c.closestB].vowel, c.closest,
                  c.closest < 6 ? "*" : "");
    else
      std::printf("  --\n");
  }

  std::printf(
      "\nDC at the preset: mean of the non-zero samples of each sentence, %% of full "
      "scale\n");
  std::printf("%-9s %8s %8s %8s %8s  %s\n", "voice", "lowest", "highest", "mean", ">0.5%",
              "peak ratio before the volume step");
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    const Cell& c = preset(bank);
    double lo = 1e9, hi = -1e9, sum = 0, rlo = 1e9, rhi = 0;
    int over = 0;
    for (int s = 0; s < c.sentences; ++s) {
      rlo = std::min(rlo, c.peakRatio[s]);
      rhi = std::max(rhi, c.peakRatio[s]);
      lo = std::min(lo, c.dc[s]);
      hi = std::max(hi, c.dc[s]);
      sum += c.dc[s];
      if (std::fabs(c.dc[s]) > 0.5) ++over;
    }
    std::printf("%-9s %8.2f %8.2f %8.2f %5d/%-2d  %.3f to %.3f\n", name(bank).c_str(), lo, hi,
                sum / std::max(1, c.sentences), over, c.sentences, rlo, rhi);
  }
  munmap(shared, bytes);
  return 0;
}
