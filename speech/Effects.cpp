#include "speech/Effects.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "platform/core/Numeric.h"
#include "platform/core/Random.h"
#include "platform/core/SampleCodec.h"

namespace speech {

using platform::Extended;

namespace {

std::vector<std::int16_t> ReadSamples(const platform::MemoryStream& s, std::size_t offset) {
  std::vector<std::int16_t> out;
  if (s.Size() <= offset) return out;
  const std::size_t n = (s.Size() - offset) / 2;
  out.resize(n);
  const std::uint8_t* p = s.Data() + offset;
  for (std::size_t i = 0; i < n; ++i) out[i] = platform::LoadSample(p + 2 * i);
  return out;
}

// Keeps the first `offset` bytes and puts `samples` after them.
void ReplaceSamples(platform::MemoryStream& s, std::size_t offset,
                    const std::vector<std::int16_t>& samples) {
  s.SetSize(offset + 2 * samples.size());
  std::uint8_t* p = s.Data() + offset;
  for (std::size_t i = 0; i < samples.size(); ++i) platform::StoreSample(p + 2 * i, samples[i]);
  s.Seek(0);
}

std::int32_t Magnitude(std::int16_t v) { return v < 0 ? -static_cast<std::int32_t>(v) : v; }

}  // namespace

void CutTreble(platform::MemoryStream& phone, std::uint8_t passes) {
  const std::vector<std::int16_t> x = ReadSamples(phone, 0);
  const std::size_t n = x.size();
  const std::size_t pad = static_cast<std::size_t>(passes) + 1;

  std::vector<std::int32_t> y(n + 2 * pad, 0);
  std::copy(x.begin(), x.end(), y.begin() + static_cast<std::ptrdiff_t>(pad));

  // The window looks forward, so the padding in front absorbs the shift of each pass.
  std::vector<std::int32_t> next(y.size());
  for (unsigned pass = 0; pass < passes; ++pass) {
    for (std::size_t i = 0; i < y.size(); ++i) {
      std::int32_t sum = y[i];
      if (i + 1 < y.size()) sum += y[i + 1];
      if (i + 2 < y.size()) sum += y[i + 2];
      next[i] = sum / 3;  // toward zero
    }
    y.swap(next);
  }

  // The last padding sample stays 0 through every pass, so the tail search always ends.
  std::size_t t = passes + n;
  while (y[t] <= -128 || y[t] >= 128) ++t;
  std::size_t h = 0;
  for (std::size_t i = passes; i >= 1; --i) {
    if (y[i] >= -20 && y[i] <= 20) {
      h = i;
      break;
    }
  }

  std::vector<std::int16_t> out;
  for (std::size_t i = h; i < t; ++i) out.push_back(platform::Wrap16(y[i]));
  if (out.size() < 2) out.resize(2, 0);
  ReplaceSamples(phone, 0, out);
}

void ConvertRate(platform::MemoryStream& wave, std::uint32_t sampleRate) {
  const std::vector<std::int16_t> x = ReadSamples(wave, kWaveHeaderSize);
  std::uint32_t l = 2, m = 3;
  if (sampleRate == 11025) {
    l = 1;
    m = 2;
  } else if (sampleRate == 8000) {
    l = 1;
    m = 3;
  }

  // No filtering: of the values emitted per neighbour pair, every m-th one is kept.
  std::vector<std::int16_t> out;
  std::uint64_t emitted = 0;
  for (std::size_t i = 0; i + 1 < x.size(); ++i) {
    for (std::uint32_t k = 0; k < l; ++k, ++emitted) {
      if (emitted % m != 0) continue;
      const std::int32_t a = x[i], b = x[i + 1];
      out.push_back(platform::Wrap16(a + static_cast<std::int32_t>(k) * (b - a)));
    }
  }
  if (wave.Size() < kWaveHeaderSize) wave.SetSize(kWaveHeaderSize);
  ReplaceSamples(wave, kWaveHeaderSize, out);
}

void Compress(platform::MemoryStream& wave, std::uint8_t level) {
  std::int32_t limit;
  switch (level) {
    case 1:
      limit = 3276;
      break;
    case 2:
      limit = 1966;
      break;
    case 3:
      limit = 655;
      break;
    default:
      return;
  }
  std::vector<std::int16_t> x = ReadSamples(wave, kWaveHeaderSize);
  if (!x.empty()) x.pop_back();  // the last sample never reaches a closed segment

  auto scale = [&](std::size_t begin, std::size_t end) {
    std::int32_t peak = 0;
    for (std::size_t i = begin; i < end; ++i) peak = std::max(peak, Magnitude(x[i]));
    if (peak <= limit) return;
    for (std::size_t i = begin; i < end; ++i) {
      const Extended v = static_cast<Extended>(x[i]) * limit / peak;
      x[i] = platform::Wrap16(platform::Round(v));
    }
  };

  // A zero sample starts a new segment once the open one holds at least 7 samples.
  std::size_t start = 0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i] == 0 && i - start >= 7) {
      scale(start, i);
      start = i;
    }
  }
  scale(start, x.size());

  if (wave.Size() < kWaveHeaderSize) wave.SetSize(kWaveHeaderSize);
  ReplaceSamples(wave, kWaveHeaderSize, x);
}

void AddReverb(platform::MemoryStream& wave, std::uint16_t reverbSetting) {
  if (reverbSetting < 1 || reverbSetting > 6) return;
  const std::int32_t m = reverbSetting <= 3 ? reverbSetting + 1 : reverbSetting - 2;
  const std::int32_t step = (reverbSetting <= 3 ? 300 : 450) * m;
  const std::int32_t taps = m * m;

  std::vector<std::int32_t> gain(taps), jitter(taps);
  for (std::int32_t k = 0; k < taps; ++k) gain[k] = 75 + platform::Random(25);
  for (std::int32_t k = taps - 1; k >= 0; --k) jitter[k] = platform::Random(2 * step / 3);

  const std::vector<std::int16_t> x = ReadSamples(wave, kWaveHeaderSize);
  const std::size_t n = x.size();
  std::int32_t peak = 0;
  for (std::int16_t v : x) peak = std::max(peak, Magnitude(v));

  std::vector<std::size_t> delay(taps);
  for (std::int32_t k = 0; k < taps; ++k)
    delay[k] = static_cast<std::size_t>((taps - k) * step + jitter[k]);
  const std::size_t length = n + delay[0];

  // Echo sums, wrapped to 16 bits only when read: the wrap is the same either way.
  std::vector<std::int32_t> echoes(length, 0);
  // A silent sentence has no peak to divide by; its echoes are all silent too.
  if (peak > 0) {
    for (std::int32_t k = 0; k < taps; ++k) {
      const Extended part = platform::FDiv(static_cast<Extended>((taps - k) * peak), 100.0L);
      const Extended ratio = platform::FDiv(static_cast<Extended>(peak), part);
      for (std::size_t i = 0; i < n; ++i) {
        const Extended v = platform::FDiv(platform::Checked(ratio * x[i]), 100.0L);
        const std::int16_t o = platform::Wrap16(platform::Round(v));
        const std::int64_t e =
            platform::Round(static_cast<Extended>(static_cast<std::int32_t>(o) * gain[k]) / 100);
        echoes[i + delay[k]] += static_cast<std::int32_t>(e);
      }
    }
  }

  std::vector<std::int16_t> out(length);
  std::int32_t dry = 0;
  for (std::size_t t = 0; t < length; ++t) {
    dry = t < n ? x[t] * 87 / 100 : dry * 87 / 100;  // the dry tail dies away after the end
    const std::int32_t wet = platform::Wrap16(echoes[t]) * 13 / 100;
    out[t] = platform::Wrap16(wet + dry);
  }

  if (wave.Size() < kWaveHeaderSize) wave.SetSize(kWaveHeaderSize);
  ReplaceSamples(wave, kWaveHeaderSize, out);
}

}  // namespace speech
