#include "tools/bankrec/Joins.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bankrec {

constexpr double Pi = std::numbers::pi;

std::vector<int> Clicks(const Wave& x, double ratio, double rate) {
  const int n = static_cast<int>(x.size());
  std::vector<int> out;
  if (n < 2) return out;
  double energy = 0;
  for (double v : x) energy += v * v;
  if (energy <= 0) return out;
  const double scale = 0.1 * 32767 / std::sqrt(energy / n);
  std::vector<double> d(n, 0), sum(n + 1, 0);
  for (int i = 1; i < n; ++i) d[i] = (x[i] - x[i - 1]) * scale;
  for (int i = 0; i < n; ++i) sum[i + 1] = sum[i] + d[i] * d[i];
  const int half = static_cast<int>(std::lround(0.005 * rate));
  const int merge = static_cast<int>(std::lround(0.002 * rate));
  int last = -merge - 1;
  for (int i = 1; i < n; ++i) {
    const double jump = std::fabs(d[i]);
    if (jump <= 600 || i - last <= merge) continue;
    const int lo = std::max(1, i - half), hi = std::min(n - 1, i + half);
    const int count = hi - lo;  // the jump itself left out
    const double around = count > 0 ? (sum[hi + 1] - sum[lo] - d[i] * d[i]) / count : 0;
    if (jump > ratio * std::sqrt(std::max(0.0, around))) {
      out.push_back(i);
      last = i;
    }
  }
  return out;
}

namespace {

// Steps of x with a zero before and after it: d[i] = x[i] - x[i - 1], i = 0 .. n.
Wave Steps(const Wave& x) {
  const int n = static_cast<int>(x.size());
  Wave d(n + 1);
  for (int i = 0; i <= n; ++i) d[i] = (i < n ? x[i] : 0) - (i > 0 ? x[i - 1] : 0);
  return d;
}

// Each step's size over the RMS of the other steps within `reach` of it (all when 0). Beyond
// the ends of x the engine renders silence or voicing that is quiet next to a burst, so the
// steps there count as zero.
Wave Relative(const Wave& d, int reach) {
  const int m = static_cast<int>(d.size());
  std::vector<double> sum(m + 1, 0);
  for (int i = 0; i < m; ++i) sum[i + 1] = sum[i] + d[i] * d[i];
  Wave r(m, 0);
  for (int i = 0; i < m; ++i) {
    const int lo = reach > 0 ? std::max(0, i - reach) : 0;
    const int hi = reach > 0 ? std::min(m - 1, i + reach) : m - 1;
    const int count = reach > 0 ? 2 * reach : m - 1;
    const double rms = std::sqrt((sum[hi + 1] - sum[lo] - d[i] * d[i]) / std::max(1, count));
    r[i] = rms > 0 ? std::fabs(d[i]) / rms : 0;
  }
  return r;
}

}  // namespace

double SteepestStep(const Wave& x, int reach) {
  if (x.empty()) return 0;
  const Wave r = Relative(Steps(x), reach);
  return *std::max_element(r.begin(), r.end());
}

// x low-passed at `cutoff` Hz: a Hann-windowed sinc of 33 taps, zero beyond the ends.
Wave LowPass(const Wave& x, double cutoff) {
  constexpr int Half = 16;
  double taps[2 * Half + 1], sum = 0;
  for (int k = -Half; k <= Half; ++k) {
    const double w = 0.5 + 0.5 * std::cos(Pi * k / (Half + 1));
    const double f = 2 * cutoff / Rate;
    taps[k + Half] = w * (k == 0 ? f : std::sin(Pi * f * k) / (Pi * k));
    sum += taps[k + Half];
  }
  const int n = static_cast<int>(x.size());
  Wave y(n, 0);
  for (int i = 0; i < n; ++i)
    for (int k = -Half; k <= Half; ++k)
      if (i + k >= 0 && i + k < n) y[i] += taps[k + Half] / sum * x[i + k];
  return y;
}

void SoftenSteps(Wave& x, double limit, int reach) {
  const int n = static_cast<int>(x.size());
  if (n < 5) return;
  // Around each steep step the wave is crossfaded into a low-passed copy of itself over a
  // raised cosine of 21 samples: the slow crossfade keeps the change to the band the
  // low-pass removes. Each round that leaves a step too steep lowers the cutoff.
  constexpr int Half = 10;
  double cutoff = 5000;
  for (int round = 0; round < 60; ++round) {
    const Wave r = Relative(Steps(x), reach);
    Wave weight(n, 0);
    bool steep = false;
    for (int i = 0; i <= n; ++i) {
      if (r[i] <= limit) continue;
      steep = true;
      for (int j = std::max(0, i - Half); j < std::min(n, i + Half); ++j)
        weight[j] = std::max(weight[j], 0.5 + 0.5 * std::cos(Pi * (j - i + 0.5) / Half));
    }
    if (!steep) return;
    const Wave low = LowPass(x, cutoff);
    for (int j = 0; j < n; ++j) x[j] += weight[j] * (low[j] - x[j]);
    cutoff = std::max(2500.0, cutoff - 250);
  }
}

int EdgeTaper(int length, double fraction) {
  return std::max(2, static_cast<int>(std::lround(length * fraction)));
}

void SmoothPeriod(Wave& period, double fraction) {
  // Tapered first, so that the softening works on the period's inside, not on its edges.
  const int taper = EdgeTaper(static_cast<int>(period.size()), fraction);
  Fade(period, taper, taper);
  SoftenSteps(period, 3);
}

void Fft(std::vector<std::complex<double>>& a, bool inverse) {
  const std::size_t n = a.size();
  for (std::size_t i = 1, j = 0; i < n; ++i) {
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const double turn = (inverse ? 2 : -2) * Pi / static_cast<double>(len);
    for (std::size_t i = 0; i < n; i += len) {
      for (std::size_t k = 0; k < len / 2; ++k) {
        const std::complex<double> w = std::polar(1.0, turn * static_cast<double>(k));
        const auto u = a[i + k], t = a[i + k + len / 2] * w;
        a[i + k] = u + t;
        a[i + k + len / 2] = u - t;
      }
    }
  }
  if (inverse)
    for (auto& v : a) v /= static_cast<double>(n);
}

Wave RotatePhase(const Wave& x, double angle) {
  std::size_t n = 1;
  while (n < 2 * x.size()) n <<= 1;
  std::vector<std::complex<double>> a(n);
  for (std::size_t i = 0; i < x.size(); ++i) a[i] = x[i];
  Fft(a);
  // Positive frequencies turn by +angle, negative ones by -angle: the result stays real.
  const std::complex<double> up = std::polar(1.0, angle), down = std::conj(up);
  for (std::size_t k = 1; k < n / 2; ++k) {
    a[k] *= up;
    a[n - k] *= down;
  }
  a[n / 2] *= std::cos(angle);
  Fft(a, true);
  Wave y(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) y[i] = a[i].real();
  return y;
}

Wave RenderedPeriod(const Wave& period, double voicing, int hz) {
  const double bytes = std::nearbyint(22050.0 / (hz + 1) * 2);
  int from = 0, to = static_cast<int>(period.size());
  while (2 * (to - from) >= bytes && to - from > 2) {
    ++from;
    --to;
  }
  Wave p(period.begin() + from, period.begin() + to);
  if (from > 0) {
    const int n = static_cast<int>(p.size()), ramp = n / 4;
    for (int c = 0; c < ramp; ++c) {
      p[c] *= static_cast<double>(c) / ramp;
      p[n - 1 - c] *= static_cast<double>(c) / ramp;
    }
  }
  const int cycle = static_cast<int>(std::nearbyint(22050.0 / hz));
  Wave y(cycle);
  double last = 0;
  for (int i = 0; i < cycle; ++i) {
    const double v = voicing * (std::sin(2 * Pi * i / cycle) - std::sin(4 * Pi * i / cycle) / 2.5);
    // A recording that has ended keeps giving its last value, halved at every sample.
    last = i < static_cast<int>(p.size()) ? p[i] : last / 2;
    y[i] = 0.5 * (v + last);
  }
  return y;
}

void RemoveOffset(Wave& x) {
  const int n = static_cast<int>(x.size());
  if (n < 3) return;
  double sum = 0, shape = 0;
  for (int i = 0; i < n; ++i) {
    sum += x[i];
    shape += 0.5 - 0.5 * std::cos(2 * Pi * i / (n - 1));
  }
  for (int i = 0; i < n; ++i) x[i] -= sum / shape * (0.5 - 0.5 * std::cos(2 * Pi * i / (n - 1)));
}

void SmoothOnsets(Wave& sound) {
  SoftenSteps(sound, 5, static_cast<int>(std::lround(0.005 * Rate)));
}

}  // namespace bankrec
