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
//      in the voice's worst cell;
//   3. running-speech vowels: every stressed vowel of the text, found by the step trace, by
//      linear prediction of order 12 at 11025 Hz over the middle half of its samples; per
//      vowel the median F1/F2, the share of tokens inside the vowel's region and the number
//      of tokens, and the closest pair of medians in semitones on the F1/F2 plane;
//   4. DC: the mean of the non-zero samples of each sentence in percent of full scale, its
//      most negative and most positive sentence and the sentences beyond 0.5 %.
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
#include "speech/SynthesisSteps.h"
#include "tests/support/Files.h"
#include "tools/bankrec/Cutting.h"
#include "tools/bankrec/Joins.h"

namespace fs = std::filesystem;
using bankrec::Wave;

namespace {

constexpr double Rate = 22050;
constexpr int Pitches[] = {20, 40, 80, 110, 200, 400};
constexpr int PitchCount = 6, TimbreCount = 10;
constexpr int Workers = 4;
constexpr int MaxTokens = 96, MaxSentences = 64;

int PresetPitch(int bank) { return bank % 2 == 1 ? 110 : 40; }

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

// One phoneme of a sentence as the step trace finds it in the output.
struct Phone {
  int start, length, slot, repeats;
  std::uint8_t letter;
  bool stressed;
};

// The synthesis being traced (one per process) and the phonemes it has appended.
TCreateVoice* g_traced = nullptr;
std::vector<Phone>* g_phones = nullptr;

bool IsAccented(std::uint8_t c) {
  return c == 0xE1 || c == 0xE9 || c == 0xED || c == 0xF3 || c == 0xFA;
}

// The plain vowel of a (possibly accented) vowel letter, 0 for any other.
char PlainVowel(std::uint8_t c) {
  switch (c) {
    case 'a':
    case 0xE1:
      return 'a';
    case 'e':
    case 0xE9:
      return 'e';
    case 'i':
    case 0xED:
      return 'i';
    case 'o':
    case 0xF3:
      return 'o';
    case 'u':
    case 0xFA:
      return 'u';
    default:
      return 0;
  }
}

void Collect(const char* step, std::int32_t position, const std::string& sentence) {
  if (!g_traced || !g_phones || std::strcmp(step, "append phoneme") != 0) return;
  const TCreateVoice& v = *g_traced;
  Phone p{};
  p.start = static_cast<int>(v.WaveStream->Size() - 44) / 2;
  p.length = static_cast<int>(v.FPhoneStream->Size()) / 2;
  p.slot = v.Loop.ChosenSlot;
  p.repeats = v.Prosody.Repeats;
  p.letter = v.Loop.CurrentLetter;
  const auto at = position >= 1 && position <= static_cast<std::int32_t>(sentence.size())
                      ? static_cast<std::uint8_t>(sentence[position - 1])
                      : std::uint8_t{0};
  p.stressed = IsAccented(p.letter) || (IsAccented(at) && PlainVowel(at) == PlainVowel(p.letter));
  g_phones->push_back(p);
}

struct Setting {
  int pitch = 40, timbre = 0;
};

// One sentence through the engine with the first preset of the voice, at `s`'s pitch and
// timbre; the phonemes appended go to `phones` when it is given.
Wave Speak(const SlotArray& voice, const Setting& s, const std::string& sentence,
           const fs::path& wav, std::vector<Phone>* phones = nullptr) {
  std::error_code ec;
  fs::remove(wav, ec);
  TCreateVoice v;
  v.FSentence = sentence;
  v.FSampleRate = 22050;
  v.FPitch = static_cast<std::int16_t>(s.pitch);
  v.FSpeed = 5;
  v.FTimbre = static_cast<std::uint16_t>(s.timbre);
  v.FReverb = 0;
  v.FCompressor = 0;
  v.FVolume = 99;
  v.FVoicingAmp = 28 * 256;  // bass cut 2
  v.FTreble = 0;
  v.FBank = voice;
  v.FWavFile = wav.string();
  g_traced = &v;
  g_phones = phones;
  v.Synthesize();
  g_traced = nullptr;
  g_phones = nullptr;
  const std::string bytes = testsupport::ReadFile(wav);
  if (bytes.size() <= 44) return {};
  return bankrec::FromSamples(bytes.substr(44));
}

void Fft(std::vector<std::complex<double>>& a) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w =
        std::polar(1.0, -2 * std::numbers::pi / static_cast<double>(len));
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> wk = 1;
      for (std::size_t k = 0; k < len / 2; ++k, wk *= w) {
        const auto u = a[i + k], t = a[i + k + len / 2] * wk;
        a[i + k] = u + t;
        a[i + k + len / 2] = u - t;
      }
    }
  }
}

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
    Fft(a);
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

// F1 and F2 of the middle half of a vowel: linear prediction of order 12 at half the rate,
// the two lowest resonances above 150 Hz narrower than 600 Hz.
bool Formants(const Wave& vowel, double& f1, double& f2) {
  const std::size_t n = vowel.size();
  const Wave mid(vowel.begin() + static_cast<long>(n / 4),
                 vowel.begin() + static_cast<long>(3 * n / 4));
  Wave half;
  for (std::size_t i = 2; i + 1 < mid.size(); i += 2)
    half.push_back(0.25 * mid[i - 1] + 0.5 * mid[i] + 0.25 * mid[i + 1]);
  if (half.size() < 26) return false;
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
  char vowel;
  double f1Lo, f1Hi, f2Lo, f2Hi;
  bool Holds(double f1, double f2) const {
    return f1 >= f1Lo && f1 <= f1Hi && f2 >= f2Lo && f2 <= f2Hi;
  }
} const Words[] = {
    {"papa", 'a', 650, 1150, 1100, 1900}, {"pepe", 'e', 350, 650, 1600, 2600},
    {"pipa", 'i', 200, 420, 2000, 3200},  {"popa", 'o', 400, 750, 700, 1250},
    {"pupa", 'u', 200, 450, 600, 1200},
};

// What one cell measures. A cell at the voice's preset also measures the vowels, the DC
// and the spectrum.
struct Cell {
  int bank;
  Setting setting;
  bool preset;
  double seconds;
  int clicks;
  int clicksBySlot[banks::SlotCount];
  // preset only
  double band[BandCount], all;
  double wordF1[5], wordF2[5];
  bool wordFound[5];
  int tokens[5];
  double tokF1[5][MaxTokens], tokF2[5][MaxTokens];
  bool tokFound[5][MaxTokens];
  int sentences;
  double dc[MaxSentences];
};

void Measure(Cell& c, const std::vector<std::string>& sentences, const fs::path& wav) {
  const SlotArray voice = LoadedVoice(c.bank);
  platform::RandSeed(12345);
  std::vector<Phone> phones;
  for (const std::string& s : sentences) {
    phones.clear();
    const Wave x = Speak(voice, c.setting, s, wav, &phones);
    c.seconds += static_cast<double>(x.size()) / Rate;
    for (int at : bankrec::Clicks(x)) {
      ++c.clicks;
      for (const Phone& p : phones)
        if (at >= p.start && at < p.start + p.length) ++c.clicksBySlot[p.slot];
    }
    if (!c.preset) continue;
    BandEnergy(x, c.band, c.all);
    double sum = 0;
    int count = 0;
    for (double v : x)
      if (v != 0) {
        sum += v;
        ++count;
      }
    if (c.sentences < MaxSentences) c.dc[c.sentences++] = count ? 100 * sum / count / 32767 : 0;
    for (const Phone& p : phones) {
      const char vowel = PlainVowel(p.letter);
      if (!vowel || !p.stressed || p.repeats < 2) continue;
      const int v = static_cast<int>(std::strchr("aeiou", vowel) - "aeiou");
      if (c.tokens[v] >= MaxTokens || p.start + p.length > static_cast<int>(x.size())) continue;
      const int k = c.tokens[v]++;
      c.tokFound[v][k] = Formants(Wave(x.begin() + p.start, x.begin() + p.start + p.length),
                                  c.tokF1[v][k], c.tokF2[v][k]);
    }
  }
  if (!c.preset) return;
  for (int v = 0; v < 5; ++v) {
    const Wave x = Speak(voice, c.setting, std::string(Words[v].word) + ".", wav);
    int from = 0, to = 0;
    c.wordFound[v] = FirstVowel(x, from, to) &&
                     Formants(Wave(x.begin() + from, x.begin() + to), c.wordF1[v], c.wordF2[v]);
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Semitones(double a, double b) { return 12 * std::log2(a / b); }

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
  SetStepTrace(Collect);

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
  for (const Region& r : Words) std::printf("  %11s", r.word);
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
    std::printf("%-9s worst %.2f at pitch %d timbre %d: slot %d holds %d of %d clicks\n",
                name(bank).c_str(), worst, Pitches[wp], wt, slot, w.clicksBySlot[slot], w.clicks);
  }

  std::printf(
      "\nRunning-speech vowels at the preset: median F1/F2 of the stressed vowels, "
      "share in region and tokens; closest pair in semitones\n");
  std::printf("%-9s", "voice");
  for (const Region& r : Words) std::printf("  %-20c", r.vowel);
  std::printf("  %s\n", "closest");
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    const Cell& c = preset(bank);
    double m1[5] = {}, m2[5] = {};
    bool have[5] = {};
    std::printf("%-9s", name(bank).c_str());
    for (int v = 0; v < 5; ++v) {
      std::vector<double> f1, f2;
      int in = 0;
      for (int k = 0; k < c.tokens[v]; ++k) {
        if (!c.tokFound[v][k]) continue;
        f1.push_back(c.tokF1[v][k]);
        f2.push_back(c.tokF2[v][k]);
        if (Words[v].Holds(c.tokF1[v][k], c.tokF2[v][k])) ++in;
      }
      if (f1.empty()) {
        std::printf("  %-20s", "--");
        continue;
      }
      have[v] = true;
      m1[v] = Median(f1);
      m2[v] = Median(f2);
      char cellText[64];
      std::snprintf(cellText, sizeof cellText, "%4.0f/%4.0f%s %3.0f%% %2d", m1[v], m2[v],
                    Words[v].Holds(m1[v], m2[v]) ? " " : "*", 100.0 * in / std::max(1, c.tokens[v]),
                    c.tokens[v]);
      std::printf("  %-20s", cellText);
    }
    double closest = 1e9;
    int ca = -1, cb = -1;
    for (int a = 0; a < 5; ++a)
      for (int b = a + 1; b < 5; ++b) {
        if (!have[a] || !have[b]) continue;
        const double d = std::hypot(Semitones(m1[a], m1[b]), Semitones(m2[a], m2[b]));
        if (d < closest) {
          closest = d;
          ca = a;
          cb = b;
        }
      }
    if (ca >= 0)
      std::printf("  %c-%c %4.1f%s\n", Words[ca].vowel, Words[cb].vowel, closest,
                  closest < 6 ? "*" : "");
    else
      std::printf("  --\n");
  }

  std::printf(
      "\nDC at the preset: mean of the non-zero samples of each sentence, %% of full "
      "scale\n");
  std::printf("%-9s %8s %8s %8s %8s\n", "voice", "lowest", "highest", "mean", ">0.5%");
  for (int bank = 0; bank < banks::BankCount; ++bank) {
    const Cell& c = preset(bank);
    double lo = 1e9, hi = -1e9, sum = 0;
    int over = 0;
    for (int s = 0; s < c.sentences; ++s) {
      lo = std::min(lo, c.dc[s]);
      hi = std::max(hi, c.dc[s]);
      sum += c.dc[s];
      if (std::fabs(c.dc[s]) > 0.5) ++over;
    }
    std::printf("%-9s %8.2f %8.2f %8.2f %5d/%-2d\n", name(bank).c_str(), lo, hi,
                sum / std::max(1, c.sentences), over, c.sentences);
  }
  munmap(shared, bytes);
  return 0;
}
