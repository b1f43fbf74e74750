#include "tools/bankrec/Listening.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "speech/Letters.h"
#include "speech/SpeechSettings.h"
#include "speech/SynthesisSteps.h"

namespace bankrec {

namespace {

// The index (a e i o u) of a plain or accented vowel letter, -1 for any other.
int VowelIndex(std::uint8_t c) {
  return IsVowel(c) ? static_cast<int>(PlainVowels.find(static_cast<char>(PlainVowelOf(c)))) : -1;
}

// The synthesis being traced, the phonemes it has appended and their samples.
const TCreateVoice* g_traced = nullptr;
std::vector<Phone>* g_phones = nullptr;
Wave* g_unscaled = nullptr;

void Collect(const char* step, std::int32_t position, const std::string& sentence) {
  if (!g_traced || std::strcmp(step, "append phoneme") != 0) return;
  const TCreateVoice& v = *g_traced;
  if (g_unscaled) {
    // The preset cuts no treble, so the phoneme goes out as it stands.
    const auto* data = reinterpret_cast<const char*>(v.FPhoneStream->Data());
    const Wave w = FromSamples(std::string(data, v.FPhoneStream->Size()));
    g_unscaled->insert(g_unscaled->end(), w.begin(), w.end());
  }
  if (!g_phones) return;
  Phone p{};
  p.start = static_cast<int>(v.WaveStream->Size() - 44) / 2;
  p.length = static_cast<int>(v.FPhoneStream->Size()) / 2;
  p.slot = v.Loop.ChosenSlot;
  p.repeats = v.Prosody.Repeats;
  p.letter = v.Loop.CurrentLetter;
  const auto at = position >= 1 && position <= static_cast<std::int32_t>(sentence.size())
                      ? static_cast<std::uint8_t>(sentence[position - 1])
                      : std::uint8_t{0};
  p.stressed =
      IsAccentedVowel(p.letter) || (IsAccentedVowel(at) && VowelIndex(at) == VowelIndex(p.letter));
  g_phones->push_back(p);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int PresetPitch(int bank) { return bank % 2 == 1 ? 110 : 40; }

Wave Speak(const SlotArray& voice, int pitch, int timbre, const std::string& sentence,
           const std::string& wav, std::vector<Phone>* phones, Wave* unscaled) {
  std::error_code ec;
  std::filesystem::remove(wav, ec);
  const SpeechSettings settings{.SampleRate = 22050,
                                .Timbre = static_cast<std::uint8_t>(timbre),
                                .Pitch = static_cast<std::int16_t>(pitch),
                                .Speed = 5,
                                .Volume = 99,
                                .Bass = 2};
  TCreateVoice v;
  v.FSentence = sentence;
  SetUpSynthesis(v, settings, voice, wav);
  const bool traced = phones || unscaled;
  if (unscaled) unscaled->clear();
  if (traced) {
    g_traced = &v;
    g_phones = phones;
    g_unscaled = unscaled;
    SetStepTrace(Collect);
  }
  v.Synthesize();
  if (traced) {
    SetStepTrace(nullptr);
    g_traced = nullptr;
    g_phones = nullptr;
    g_unscaled = nullptr;
  }
  std::ifstream f(wav, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (bytes.size() <= 44) return {};
  return FromSamples(bytes.substr(44));
}

bool VowelFormants(const Wave& vowel, double& f1, double& f2) {
  const std::size_t n = vowel.size();
  const Wave mid(vowel.begin() + static_cast<long>(n / 4),
                 vowel.begin() + static_cast<long>(3 * n / 4));
  Wave half;
  for (std::size_t i = 2; i + 1 < mid.size(); i += 2)
    half.push_back(0.25 * mid[i - 1] + 0.5 * mid[i] + 0.25 * mid[i + 1]);
  if (half.size() < 26) return false;
  std::vector<double> found;
  for (const auto& r : Resonances(Lpc(half, 12), Rate / 2))
    if (r.freq > 150 && r.bandwidth < 600) found.push_back(r.freq);
  if (found.size() < 2) return false;
  f1 = found[0];
  f2 = found[1];
  return true;
}

const VowelRegion VowelRegions[5] = {
    {'a', "papa", 650, 1150, 1100, 1900}, {'e', "pepe", 350, 650, 1600, 2600},
    {'i', "pipa", 200, 420, 2000, 3200},  {'o', "popa", 400, 750, 700, 1250},
    {'u', "pupa", 200, 450, 600, 1200},
};

void RunningVowels::Add(const Wave& x, const std::vector<Phone>& phones) {
  for (const Phone& p : phones) {
    const int v = VowelIndex(p.letter);
    if (v < 0 || !p.stressed || p.repeats < 2) continue;
    if (p.start + p.length > static_cast<int>(x.size())) continue;
    ++tokens_[v];
    double f1 = 0, f2 = 0;
    if (!VowelFormants(Wave(x.begin() + p.start, x.begin() + p.start + p.length), f1, f2)) continue;
    f1_[v].push_back(f1);
    f2_[v].push_back(f2);
    if (VowelRegions[v].Holds(f1, f2)) ++inRegion_[v];
  }
}

RunningVowels::Vowel RunningVowels::Of(int vowel) const {
  Vowel out;
  out.tokens = tokens_[vowel];
  out.inRegion = inRegion_[vowel];
  out.resolved = !f1_[vowel].empty();
  if (out.resolved) {
    out.f1 = Median(f1_[vowel]);
    out.f2 = Median(f2_[vowel]);
  }
  return out;
}

double RunningVowels::ClosestPair(int& a, int& b) const {
  double closest = 1e9;
  a = b = -1;
  for (int i = 0; i < 5; ++i)
    for (int j = i + 1; j < 5; ++j) {
      const Vowel p = Of(i), q = Of(j);
      if (!p.resolved || !q.resolved) continue;
      const double d = std::hypot(12 * std::log2(p.f1 / q.f1), 12 * std::log2(p.f2 / q.f2));
      if (d < closest) {
        closest = d;
        a = i;
        b = j;
      }
    }
  return closest;
}

double Offset(const Wave& x) {
  double sum = 0;
  int count = 0;
  for (double v : x)
    if (v != 0) {
      sum += v;
      ++count;
    }
  return count ? 100 * sum / count / 32767 : 0;
}

double PeakRatio(const Wave& x) {
  double high = 0, low = 0;
  for (double v : x) {
    high = std::max(high, v);
    low = std::min(low, v);
  }
  return low < 0 ? high / -low : 0;
}

}  // namespace bankrec
