// Period shaping: edge fades of one period, the synthetic voicing wave, and the blend of
// two slots' recordings for glides and fade-outs.
//
// The arcsine and sine values repeat for every period length, pitch and amplitude, so
// they (and the samples made from them) are kept in caches keyed by exactly those
// inputs; a cached value is the very value the direct computation gives.
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/core/Numeric.h"
#include "platform/core/SampleCodec.h"
#include "speech/CreateVoice.h"
#include "speech/SampleBuffer.h"

using platform::Extended;
using platform::LoadSample;
using platform::Round;
using platform::StoreSample;
using platform::Wrap16;

namespace {
constexpr double TwoPi = 6.283185307179586;

// Sample strings as the bytes the mixing loop takes.
const std::uint8_t* Bytes(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}
std::uint8_t* Bytes(std::string& s) { return reinterpret_cast<std::uint8_t*>(s.data()); }

// Indexed by speed 1 to 10.
constexpr std::uint8_t GlideStartWeight[11] = {0, 95, 95, 94, 96, 99, 90, 90, 88, 83, 66};
constexpr std::uint8_t GlideWeightStep[11] = {0, 9, 10, 11, 13, 14, 16, 20, 25, 33, 33};

// Caches are dropped whole when they grow past these sizes; they refill on demand.
constexpr std::size_t MaxRampLengths = 8192;
constexpr std::size_t MaxSteadyWaves = 4096;
constexpr std::size_t MaxFadeTails = 65536;

// asin(c / 22050 / N) for a ramp of N bytes, c = 0 .. N/2.
const std::vector<Extended>& RampTable(std::int32_t N) {
  thread_local std::unordered_map<std::int32_t, std::vector<Extended>> tables;
  auto it = tables.find(N);
  if (it != tables.end()) return it->second;
  if (tables.size() >= MaxRampLengths) tables.clear();
  std::vector<Extended> t(static_cast<std::size_t>(N / 2 + 1));
  for (std::size_t c = 0; c < t.size(); ++c)
    t[c] = platform::Checked(std::asin(static_cast<Extended>(c) / 22050 / N));
  return tables.emplace(N, std::move(t)).first->second;
}

std::int16_t Ramped(std::int16_t s, Extended gain) {
  return Wrap16(Round(static_cast<Extended>(s * 44100) * gain));
}

// One sample of the voicing wave: the pitch's sine minus its octave at 1/2.5.
std::int16_t VoicingSample(std::int16_t A, std::int64_t i, std::int64_t P) {
  const Extended s1 = std::sin(static_cast<Extended>(TwoPi) * i / P);
  const Extended s2 = std::sin(static_cast<Extended>(TwoPi) * 2 * i / P);
  return Wrap16(Round(A * s1 - A * s2 / 2.5));
}

// The wave at full amplitude A, period P, at least count samples long.
const std::vector<std::int16_t>& SteadyWave(std::int16_t A, std::int64_t P, std::int64_t count) {
  thread_local std::unordered_map<std::uint64_t, std::vector<std::int16_t>> waves;
  const std::uint64_t key = (static_cast<std::uint64_t>(P) << 16) | static_cast<std::uint16_t>(A);
  auto it = waves.find(key);
  if (it == waves.end()) {
    if (waves.size() >= MaxSteadyWaves) waves.clear();
    it = waves.emplace(key, std::vector<std::int16_t>{}).first;
  }
  std::vector<std::int16_t>& w = it->second;
  for (std::int64_t i = static_cast<std::int64_t>(w.size()); i < count; ++i)
    w.push_back(VoicingSample(A, i, P));
  return w;
}

// The fading tail of a whole-phoneme wave of n samples: from max(0, n - 64) to n - 1.
const std::vector<std::int16_t>& FadeTail(std::int16_t A0, std::int64_t P, std::int64_t n) {
  struct Key {
    std::int64_t P, n;
    std::int16_t A;
    bool operator==(const Key&) const = default;
  };
  struct Hash {
    std::size_t operator()(const Key& k) const {
      return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(k.P) * 0x9E3779B97F4A7C15ull ^
                                        static_cast<std::uint64_t>(k.n) << 16 ^
                                        static_cast<std::uint16_t>(k.A));
    }
  };
  thread_local std::unordered_map<Key, std::vector<std::int16_t>, Hash> tails;
  const Key key{P, n, A0};
  auto it = tails.find(key);
  if (it != tails.end()) return it->second;
  if (tails.size() >= MaxFadeTails) tails.clear();
  std::vector<std::int16_t> t;
  const std::int16_t step = static_cast<std::int16_t>(A0 / 64);
  std::int16_t A = A0;
  for (std::int64_t i = std::max<std::int64_t>(0, n - 64); i < n; ++i) {
    A = Wrap16(A - step);
    t.push_back(VoicingSample(A, i, P));
  }
  return tails.emplace(key, std::move(t)).first->second;
}
}  // namespace

void TCreateVoice::ShapePeriod(const std::string& Data, std::int32_t InDiv, std::int32_t OutDiv,
                               std::string& Result) {
  auto negativeByte = [](std::int32_t d) { return d >= -128 && d <= -1; };
  if (Data.size() < 2 || negativeByte(InDiv) || negativeByte(OutDiv)) {
    Result = Data;
    return;
  }
  if (InDiv < 1) InDiv = 0;
  if (OutDiv < 1) OutDiv = 0;
  const auto L = static_cast<std::int32_t>(Data.size());
  std::int32_t inEnd = InDiv > 0 ? L / InDiv : 0;
  std::int32_t outStart = OutDiv > 0 ? L - L / OutDiv : 0;
  // A divisor of 0 lets its ramp reach to where the other one begins.
  if (inEnd == 0 && outStart > 0) inEnd = outStart;
  if (outStart == 0 && inEnd > 0) outStart = inEnd;
  if (inEnd < 0) inEnd = 0;
  if (inEnd >= L) inEnd = L - 2;
  if (outStart < 0) outStart = 0;
  if (outStart >= L) outStart = L - 2;

  std::string out = Data;
  const char* src = Data.data();
  char* dst = out.data();
  if (inEnd > 0) {
    const std::vector<Extended>& g = RampTable(inEnd);
    for (std::int32_t c = 0; 2 * c < inEnd; ++c)
      StoreSample(dst + 2 * c, Ramped(LoadSample(src + 2 * c), g[static_cast<std::size_t>(c)]));
  }
  // Counted back from the last sample; where the ramps overlap this one wins.
  const std::int32_t N = L - outStart;
  const std::vector<Extended>& g = RampTable(N);
  for (std::int32_t c = 0;; ++c) {
    const std::int32_t pos = 2 * (L / 2 - 1 - c);
    if (pos <= outStart) break;
    StoreSample(dst + pos, Ramped(LoadSample(src + pos), g[static_cast<std::size_t>(c)]));
  }
  Result = std::move(out);
}

void TCreateVoice::MakeVoicingWave(std::int16_t Count, std::int16_t Pitch) {
  const std::int64_t P = Round(platform::FDiv(22050, Pitch));
  const std::int64_t n = Count > 1 ? P : static_cast<std::int64_t>(FPhoneStream->Size() / 2);
  FVoicingStream->Clear();
  if (n <= 0) return;
  FVoicingStream->SetSize(static_cast<std::size_t>(n) * 2);
  std::uint8_t* out = FVoicingStream->Data();
  const std::int16_t A0 = FVoicingAmp;
  const std::int64_t steadyEnd = Count == 1 ? std::max<std::int64_t>(0, n - 64) : n;
  if (P < 1) {
    // Only a wrapped-around pitch gets here; worked out directly.
    const std::int16_t step = static_cast<std::int16_t>(A0 / 64);
    std::int16_t A = A0;
    for (std::int64_t i = 0; i < n; ++i) {
      if (i >= steadyEnd) A = Wrap16(A - step);
      StoreSample(out + 2 * i, VoicingSample(A, i, P));
    }
  } else {
    const std::vector<std::int16_t>& w = SteadyWave(A0, P, steadyEnd);
    for (std::int64_t i = 0; i < steadyEnd; ++i)
      StoreSample(out + 2 * i, w[static_cast<std::size_t>(i)]);
    if (steadyEnd < n) {
      const std::vector<std::int16_t>& t = FadeTail(A0, P, n);
      for (std::int64_t i = steadyEnd; i < n; ++i)
        StoreSample(out + 2 * i, t[static_cast<std::size_t>(i - steadyEnd)]);
    }
  }
  FVoicingStream->Seek(FVoicingStream->Size());
}

void TCreateVoice::BlendPeriods(std::uint8_t FromSlot, std::uint8_t ToSlot, std::uint8_t Remaining,
                                std::uint8_t Fade) {
  std::int32_t k = FSpeed;
  if (Fade != 0) k = 9;
  if (k < 1 || k > 10) throw std::out_of_range("speed outside 1 to 10");
  auto W =
      static_cast<std::uint8_t>(GlideStartWeight[k] - GlideWeightStep[k] * (11 - k - Remaining));
  if (Fade != 0) W = static_cast<std::uint8_t>(100 - W);
  const std::string& A = FBank.at(FromSlot);
  const std::string& B = FBank.at(ToSlot);
  const std::size_t at = FPeriod.size();
  FPeriod.resize(at + std::max(A.size(), B.size()) / 2 * 2);
  // ToSlot's weight is 100 - W in 32 bits: negative for a W above 100.
  MixSamples(Bytes(A), A.size(), Bytes(B), B.size(), W, 100 - static_cast<std::int32_t>(W),
             Bytes(FPeriod) + at, Fade);
}
