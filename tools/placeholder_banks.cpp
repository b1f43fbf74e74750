// Writes placeholder recordings for the ten voice banks into <dir>/<Voice>.bank, until real
// recordings replace them. The output is deterministic: same program, same files.
//
// Each bank keeps the slot layout of the real voices (which slots hold a recording in which
// bank, slot 0 always empty). Vowel, l, m and n slots hold a single pitch period at the
// voice's pitch, built from a few harmonics shaped by the sound's formants; every other
// recording is a whole consonant-like sound (plosive bursts after a closure, fricative
// noise, voiced buzz). Lengths and peak levels stay inside each phoneme's range.
//
// Usage: placeholder_banks <dir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "banks/BankText.h"

namespace {

constexpr int Banks = 10;
constexpr int Slots = 120;
constexpr double Rate = 22050;
constexpr double Pi = std::numbers::pi;

const char* const Voices[Banks] = {"Varquelo", "Lidrena", "Burtalo", "Tesmira", "Odelmo",
                                   "Crestia",  "Hermodo", "Quirela", "Dorvano", "Nevrina"};
// Mean length in samples of the five vowel periods of each voice.
const int VowelPeriod[Banks] = {187, 79, 151, 141, 319, 139, 210, 124, 187, 119};

enum class Kind { Vowel, Sonorant, Unvoiced, Voiced, Fricative, Affricate, Buzz, Tap, Trill };

struct Phoneme {
  const char* label;
  int base;
  int variant[4];     // 0: the phoneme has no variant slots
  bool baseFilled;    // in every bank
  unsigned variants;  // banks (bit per bank) whose variant slots hold a recording
  int minLen, maxLen, minPeak, maxPeak;
  Kind kind;
  double f1, f2, f3;  // formants, or noise centre frequencies
};

constexpr unsigned All = 0x3FF, None = 0;
const Phoneme Table[] = {
    {"a", 1, {2, 3, 4, 5}, true, None, 65, 253, 40, 64, Kind::Vowel, 800, 1250, 2600},
    {"b", 6, {45, 46, 47, 48}, true, None, 202, 1063, 7, 13, Kind::Voiced, 300, 900, 0},
    {"k", 7, {49, 50, 51, 52}, true, All, 311, 1540, 5, 12, Kind::Unvoiced, 1900, 2600, 0},
    {"ch", 8, {53, 54, 55, 56}, true, All, 829, 2045, 6, 11, Kind::Affricate, 3200, 4200, 0},
    {"d", 9, {57, 58, 59, 60}, true, None, 190, 1274, 5, 11, Kind::Voiced, 300, 1700, 0},
    {"e", 10, {11, 12, 13, 14}, true, None, 81, 360, 40, 70, Kind::Vowel, 450, 1900, 2550},
    {"f", 15, {61, 62, 63, 64}, true, All, 1181, 2010, 2, 11, Kind::Fricative, 6500, 2500, 0},
    {"g", 16, {65, 66, 67, 68}, true, 0x003, 168, 1000, 6, 11, Kind::Voiced, 300, 2100, 0},
    {"i", 17, {18, 19, 20, 21}, true, None, 87, 299, 39, 71, Kind::Vowel, 300, 2250, 3000},
    {"j", 22, {69, 70, 71, 72}, true, All, 1223, 1794, 5, 11, Kind::Fricative, 1700, 700, 0},
    {"l antigua", 23, {0, 0, 0, 0}, false, None, 0, 0, 0, 0, Kind::Sonorant, 0, 0, 0},
    {"ll", 24, {97, 98, 99, 100}, true, All, 890, 1657, 7, 35, Kind::Buzz, 280, 2100, 2900},
    {"m antigua", 25, {0, 0, 0, 0}, false, None, 0, 0, 0, 0, Kind::Sonorant, 0, 0, 0},
    {"n antigua", 26, {0, 0, 0, 0}, false, None, 0, 0, 0, 0, Kind::Sonorant, 0, 0, 0},
    {"\xF1", 27, {0, 0, 0, 0}, true, None, 722, 2182, 4, 17, Kind::Buzz, 260, 1900, 2600},
    {"o", 28, {29, 30, 31, 32}, true, None, 83, 309, 36, 61, Kind::Vowel, 500, 900, 2450},
    {"p", 33, {73, 74, 75, 76}, true, 0x013, 78, 1344, 7, 13, Kind::Unvoiced, 800, 600, 0},
    {"r", 34, {77, 78, 79, 80}, true, 0x1FF, 290, 734, 8, 20, Kind::Tap, 400, 1300, 2500},
    {"rr", 35, {81, 82, 83, 84}, true, 0x1FF, 966, 1981, 8, 27, Kind::Trill, 420, 1300, 2400},
    {"s", 36, {85, 86, 87, 88}, true, All, 1142, 1624, 4, 9, Kind::Fricative, 5500, 1500, 0},
    {"t", 37, {89, 90, 91, 92}, true, 0x003, 178, 1238, 4, 15, Kind::Unvoiced, 4000, 2000, 0},
    {"u", 38, {39, 40, 41, 42}, true, None, 80, 374, 38, 65, Kind::Vowel, 350, 800, 2300},
    {"x", 43, {93, 94, 95, 96}, true, All, 1178, 2601, 5, 10, Kind::Affricate, 2000, 5500, 0},
    {"z", 44, {101, 102, 103, 104}, true, All, 974, 1635, 5, 14, Kind::Fricative, 4800, 3000, 0},
    {"l", 105, {106, 107, 108, 109}, true, None, 43, 399, 25, 62, Kind::Sonorant, 360, 1300, 2700},
    {"m", 110, {111, 112, 113, 114}, true, None, 45, 356, 25, 62, Kind::Sonorant, 250, 1100, 2200},
    {"n", 115, {116, 117, 118, 119}, true, None, 36, 316, 25, 63, Kind::Sonorant, 250, 1700, 2500},
};

// splitmix64: a tiny generator whose sequence is fixed by its seed.
struct Rng {
  std::uint64_t s;
  std::uint64_t Next() {
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Between(int lo, int hi) { return lo + static_cast<int>(Next() % (hi - lo + 1)); }
  double Uniform() { return (Next() >> 11) * (1.0 / 9007199254740992.0) * 2 - 1; }
};

// Magnitude of a resonance at centre fc (bandwidth bw) at frequency f.
double Resonance(double f, double fc, double bw) {
  double x = f / fc;
  return 1 / std::sqrt((1 - x * x) * (1 - x * x) + (f * bw / (fc * fc)) * (f * bw / (fc * fc)));
}

// A periodic voiced wave of the given period, harmonics shaped by up to three formants.
std::vector<double> Voicing(int length, int period, double f1, double f2, double f3, double tilt) {
  double f0 = Rate / period;
  std::vector<double> w(length, 0.0);
  for (int k = 1; k * f0 < 4500; ++k) {
    double f = k * f0;
    double a = std::pow(k, -tilt) * Resonance(f, f1, 90);
    if (f2 > 0) a *= 0.4 + Resonance(f, f2, 120);
    if (f3 > 0) a *= 0.6 + 0.5 * Resonance(f, f3, 180);
    double phase = -0.5 * Pi * (k - 1);
    for (int n = 0; n < length; ++n) w[n] += a * std::sin(2 * Pi * k * n / period + phase);
  }
  return w;
}

// White noise through a two-pole resonator at fc.
std::vector<double> Noise(Rng& rng, int length, double fc, double bw) {
  std::vector<double> w(length);
  double r = std::exp(-Pi * bw / Rate), c = 2 * r * std::cos(2 * Pi * fc / Rate);
  double y1 = 0, y2 = 0;
  for (int n = 0; n < length; ++n) {
    double y = rng.Uniform() + c * y1 - r * r * y2;
    y2 = y1;
    y1 = y;
    w[n] = y;
  }
  return w;
}

// Raised-cosine fade in over `in` and out over `out` samples.
void Fade(std::vector<double>& w, int from, int in, int out) {
  int n = static_cast<int>(w.size());
  for (int i = 0; i < in && from + i < n; ++i) w[from + i] *= 0.5 - 0.5 * std::cos(Pi * i / in);
  for (int i = 0; i < out && i < n; ++i) w[n - 1 - i] *= 0.5 - 0.5 * std::cos(Pi * i / out);
}

std::vector<double> Shape(const Phoneme& p, Rng& rng, int length, int period) {
  std::vector<double> w;
  switch (p.kind) {
    case Kind::Vowel:
    case Kind::Sonorant:
      // One period only: the engine repeats it.
      return Voicing(length, length, p.f1, p.f2, p.f3, p.kind == Kind::Vowel ? 1.0 : 1.8);
    case Kind::Unvoiced: {
      // Closure (silence), a short burst, then aspiration dying away.
      int closure = length * rng.Between(20, 35) / 100;
      w.assign(length, 0.0);
      auto burst = Noise(rng, length - closure, p.f1, p.f1 * 0.6);
      auto breath = Noise(rng, length - closure, p.f2, 1500);
      int rest = length - closure;
      for (int i = 0; i < rest; ++i) {
        double t = static_cast<double>(i) / rest;
        w[closure + i] = burst[i] * std::exp(-t * 12) + 0.25 * breath[i] * std::exp(-t * 3);
      }
      Fade(w, closure, 4, std::max(2, rest / 6));
      return w;
    }
    case Kind::Voiced: {
      // Voice bar under the closure, then a weak release burst.
      w = Voicing(length, period, p.f1, 0, 0, 2.5);
      int release = length * 3 / 4;
      auto burst = Noise(rng, length - release, p.f2, 900);
      for (int i = 0; i < length - release; ++i) {
        double t = static_cast<double>(i) / (length - release);
        w[release + i] = 0.4 * w[release + i] + 1.6 * burst[i] * std::exp(-t * 5);
      }
      Fade(w, 0, length / 8, length / 8);
      return w;
    }
    case Kind::Fricative: {
      w = Noise(rng, length, p.f1, p.f1 * 0.5);
      auto low = Noise(rng, length, p.f2, 800);
      for (int i = 0; i < length; ++i) w[i] += 0.3 * low[i];
      Fade(w, 0, length / 5, length / 4);
      return w;
    }
    case Kind::Affricate: {
      // A stop closure released into hiss.
      int closure = length * rng.Between(8, 15) / 100;
      w.assign(length, 0.0);
      auto burst = Noise(rng, length - closure, p.f1, 1200);
      auto hiss = Noise(rng, length - closure, p.f2, p.f2 * 0.5);
      int rest = length - closure;
      for (int i = 0; i < rest; ++i) {
        double t = static_cast<double>(i) / rest;
        w[closure + i] = burst[i] * std::exp(-t * 20) + 0.6 * hiss[i] * std::sin(Pi * t);
      }
      Fade(w, closure, 6, rest / 5);
      return w;
    }
    case Kind::Buzz:
      w = Voicing(length, period, p.f1, p.f2, p.f3, 1.6);
      Fade(w, 0, length / 6, length / 5);
      return w;
    case Kind::Tap: {
      // Voicing with one brief closure in the middle.
      w = Voicing(length, period, p.f1, p.f2, p.f3, 1.4);
      for (int i = 0; i < length; ++i) {
        double t = static_cast<double>(i) / length - 0.5;
        w[i] *= 1 - 0.85 * std::exp(-t * t * 120);
      }
      Fade(w, 0, length / 6, length / 6);
      return w;
    }
    case Kind::Trill: {
      // Voicing interrupted by tongue taps about 25 times a second.
      w = Voicing(length, period, p.f1, p.f2, p.f3, 1.4);
      for (int i = 0; i < length; ++i) w[i] *= 0.55 + 0.45 * std::cos(2 * Pi * 25 * i / Rate);
      Fade(w, 0, length / 10, length / 8);
      return w;
    }
  }
  return w;
}

// Scales the wave so that its largest magnitude gives exactly `level` percent, as 16-bit
// little-endian samples.
std::string Samples(const std::vector<double>& w, int level) {
  double top = 0;
  for (double v : w) top = std::max(top, std::fabs(v));
  const int peak = (level * 32767 + 50) / 100;
  std::string bytes;
  for (double v : w) {
    auto s = static_cast<std::int16_t>(std::lround(top > 0 ? v * peak / top : 0));
    auto u = static_cast<std::uint16_t>(s);
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

// Vowel period lengths inside each vowel's range whose mean is the voice's vowel period.
std::vector<int> VowelLengths(int period, const std::vector<const Phoneme*>& vowels) {
  std::vector<int> len;
  int sum = 0;
  for (auto* v : vowels) {
    len.push_back(std::clamp(period, v->minLen, v->maxLen));
    sum += len.back();
  }
  int diff = period * static_cast<int>(vowels.size()) - sum;
  for (bool moved = true; diff != 0 && moved;) {
    moved = false;
    for (std::size_t i = 0; i < vowels.size() && diff != 0; ++i) {
      int step = diff > 0 ? 1 : -1;
      if (len[i] + step < vowels[i]->minLen || len[i] + step > vowels[i]->maxLen) continue;
      len[i] += step;
      diff -= step;
      moved = true;
    }
  }
  return len;
}

std::string Bank(int bank) {
  std::vector<std::string> slots(Slots, std::string(2, '\0'));
  const int period = VowelPeriod[bank];
  std::vector<const Phoneme*> vowels;
  for (const auto& p : Table)
    if (p.kind == Kind::Vowel) vowels.push_back(&p);
  std::vector<int> vowelLen = VowelLengths(period, vowels);

  for (const auto& p : Table) {
    if (!p.baseFilled) continue;
    std::vector<int> filled{p.base};
    if (p.variants & (1u << bank))
      for (int v : p.variant) filled.push_back(v);
    for (int slot : filled) {
      Rng rng{static_cast<std::uint64_t>(bank) * 1000 + static_cast<std::uint64_t>(slot)};
      int length;
      if (p.kind == Kind::Vowel)
        length = vowelLen[std::find(vowels.begin(), vowels.end(), &p) - vowels.begin()];
      else if (p.kind == Kind::Sonorant)
        length = std::clamp(period, p.minLen, p.maxLen);
      else
        length = rng.Between(p.minLen, p.maxLen);
      int level = rng.Between(p.minPeak, p.maxPeak);
      slots[slot] = Samples(Shape(p, rng, length, period), level);
    }
  }
  std::string text;
  for (const auto& s : slots) text += banks::WriteElement(s);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: placeholder_banks <dir>\n";
    return 2;
  }
  for (int b = 0; b < Banks; ++b) {
    std::string path = std::string(argv[1]) + "/" + Voices[b] + ".bank";
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << Bank(b);
    if (!f.flush()) {
      std::cerr << path << ": cannot write\n";
      return 1;
    }
  }
  return 0;
}
