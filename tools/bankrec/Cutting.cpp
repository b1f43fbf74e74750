#include "tools/bankrec/Cutting.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <stdexcept>

namespace bankrec {

namespace {

constexpr double Pi = std::numbers::pi;

double Correlation(const Wave& x, int from, int count, int lag) {
  double xy = 0, xx = 0, yy = 0;
  for (int n = from; n < from + count; ++n) {
    xy += x[n] * x[n + lag];
    xx += x[n] * x[n];
    yy += x[n + lag] * x[n + lag];
  }
  return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
}

}  // namespace

int EstimatePeriod(const Wave& x, int from, int count, int minLag, int maxLag) {
  if (from < 0 || minLag < 1 || maxLag < minLag ||
      from + count + maxLag + 1 > static_cast<int>(x.size()))
    throw std::invalid_argument("period search outside the wave");
  std::vector<double> r(maxLag + 2, 0);
  for (int lag = minLag - 1; lag <= maxLag + 1; ++lag)
    if (lag >= 1) r[lag] = Correlation(x, from, count, lag);
  double best = *std::max_element(r.begin() + minLag, r.begin() + maxLag + 1);
  for (int lag = minLag; lag <= maxLag; ++lag) {
    bool localTop = r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1];
    if (localTop && r[lag] >= best - 0.03) return lag;
  }
  return static_cast<int>(std::max_element(r.begin() + minLag, r.begin() + maxLag + 1) - r.begin());
}

double MeanPeriod(const Wave& x, int from, int period, int span) {
  const int count = std::max(1, span / period - 1);
  const int window = std::min(period * 2, 600);
  const int lag =
      EstimatePeriod(x, from, window, count * period - count - 2, count * period + count + 2);
  return static_cast<double>(lag) / count;
}

double WrapStep(const Wave& x, int start, int period) {
  double peak = 0;
  for (int n = start; n < start + period; ++n) peak = std::max(peak, std::fabs(x[n]));
  return peak > 0 ? std::fabs(x[start + period - 1] - x[start]) / peak : 0;
}

int PeriodStart(const Wave& x, int around, int period) {
  const int size = static_cast<int>(x.size());
  int best = -1;
  double bestScore = 0;
  for (int s = std::max(1, around - period); s <= around + period && s + period <= size; ++s) {
    if (!(x[s - 1] < 0 && x[s] >= 0)) continue;
    double e = 0, moment = 0;
    for (int n = 0; n < period; ++n) {
      double v = x[s + n] * x[s + n];
      e += v;
      moment += v * n;
    }
    if (e <= 0) continue;
    double offCentre = std::fabs(moment / e / period - 0.5);
    double score = offCentre + WrapStep(x, s, period);
    if (best < 0 || score < bestScore) {
      best = s;
      bestScore = score;
    }
  }
  if (best < 0) throw std::runtime_error("no positive-going zero crossing to cut a period at");
  return best;
}

std::vector<int> QuietStarts(const Wave& x, int around, int period, int edge) {
  const int size = static_cast<int>(x.size());
  const int from = std::max(edge, around - period / 2);
  const int to = std::min(size - period - edge, around + period / 2);
  if (from > to) throw std::invalid_argument("period cut outside the wave");
  std::vector<std::pair<double, int>> starts;
  for (int s = from; s <= to; ++s) {
    double e = 0;
    for (int n = s - edge; n < s + edge; ++n) e += x[n] * x[n];
    starts.push_back({e, s});
  }
  std::sort(starts.begin(), starts.end());
  std::vector<int> out;
  for (const auto& [e, s] : starts) out.push_back(s);
  return out;
}

double MiddleShare(const Wave& x, int start, int period) {
  double all = 0, middle = 0;
  for (int n = 0; n < period; ++n) {
    const double e = x[start + n] * x[start + n];
    all += e;
    if (4 * n >= period && 4 * n < 3 * period) middle += e;
  }
  return all > 0 ? middle / all : 0;
}

std::vector<int> CentredStarts(const Wave& x, int around, int period) {
  const int size = static_cast<int>(x.size());
  const int from = std::max(0, around - period / 2);
  const int to = std::min(size - period, around + period / 2);
  if (from > to) throw std::invalid_argument("period cut outside the wave");
  std::vector<std::pair<double, int>> starts;
  for (int s = from; s <= to; ++s) starts.push_back({-MiddleShare(x, s, period), s});
  std::sort(starts.begin(), starts.end());
  std::vector<int> out;
  for (const auto& [share, s] : starts) out.push_back(s);
  return out;
}

int SoundOnset(const Wave& x, int from, int to, double fraction) {
  constexpr int Window = 16;
  if (from < 0 || to > static_cast<int>(x.size()) || to - from <= Window)
    throw std::invalid_argument("onset search outside the wave");
  std::vector<double> env(to - from, 0);
  double sum = 0, top = 0, peak = 0;
  for (int n = from; n < to; ++n) {
    sum += std::fabs(x[n]);
    if (n - Window >= from) sum -= std::fabs(x[n - Window]);
    env[n - from] = sum / Window;
    top = std::max(top, env[n - from]);
    peak = std::max(peak, std::fabs(x[n]));
  }
  if (top <= 0) return from;
  int n = from;
  while (env[n - from] < fraction * top) ++n;
  // Back to where the sound rises out of the quiet before it.
  const double quiet = 0.02 * peak;
  auto loudBefore = [&](int at) {
    for (int k = std::max(from, at - 8); k < at; ++k)
      if (std::fabs(x[k]) >= quiet) return true;
    return false;
  };
  while (n > from && loudBefore(n)) --n;
  while (n < to - 1 && std::fabs(x[n]) < quiet) ++n;
  return n;
}

void Fade(Wave& x, int in, int out) {
  const int n = static_cast<int>(x.size());
  for (int i = 0; i < in && i < n; ++i) x[i] *= 0.5 - 0.5 * std::cos(Pi * i / in);
  for (int i = 0; i < out && i < n; ++i) x[n - 1 - i] *= 0.5 - 0.5 * std::cos(Pi * i / out);
}

double Peak(const Wave& x) {
  double p = 0;
  for (double v : x) p = std::max(p, std::fabs(v));
  return p;
}

std::string ToSamples(const Wave& x, int level) {
  const double top = Peak(x);
  if (top <= 0) throw std::runtime_error("silent recording");
  if (level < 1 || level > 100) throw std::invalid_argument("level outside 1 to 100");
  const double peak = std::round(level * 327.67);
  std::string bytes;
  bytes.reserve(x.size() * 2);
  for (double v : x) {
    long s = std::lround(v * peak / top);
    s = std::clamp(s, -32767L, 32767L);
    auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(s));
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

Wave FromSamples(const std::string& bytes) {
  Wave w(bytes.size() / 2);
  for (std::size_t i = 0; i < w.size(); ++i)
    w[i] = static_cast<std::int16_t>(
        static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8)));
  return w;
}

std::vector<double> Lpc(const Wave& x, int order) {
  const int n = static_cast<int>(x.size());
  Wave w(n);
  for (int i = 0; i < n; ++i) {
    double pre = x[i] - (i > 0 ? 0.97 * x[i - 1] : 0);
    w[i] = pre * (0.54 - 0.46 * std::cos(2 * Pi * i / (n - 1)));
  }
  std::vector<double> r(order + 1, 0);
  for (int k = 0; k <= order; ++k)
    for (int i = k; i < n; ++i) r[k] += w[i] * w[i - k];
  std::vector<double> a(order + 1, 0), prev;
  a[0] = 1;
  double err = r[0] * (1 + 1e-9);
  if (err <= 0) return a;
  for (int i = 1; i <= order; ++i) {
    double acc = r[i];
    for (int j = 1; j < i; ++j) acc += a[j] * r[i - j];
    double k = -acc / err;
    prev = a;
    for (int j = 1; j < i; ++j) a[j] = prev[j] + k * prev[i - j];
    a[i] = k;
    err *= 1 - k * k;
  }
  return a;
}

std::vector<Resonance> Resonances(const std::vector<double>& a, double rate) {
  using C = std::complex<double>;
  const int p = static_cast<int>(a.size()) - 1;
  if (p < 1) return {};
  // Aberth-Ehrlich iteration on z^p + a1 z^(p-1) + ... + ap.
  auto eval = [&](C z, C& d) {
    C v = 1;
    d = 0;
    for (int k = 1; k <= p; ++k) {
      d = d * z + v;
      v = v * z + a[k];
    }
    return v;
  };
  std::vector<C> z(p);
  for (int k = 0; k < p; ++k) z[k] = std::polar(0.9, 2 * Pi * (k + 0.25) / p);
  for (int iter = 0; iter < 500; ++iter) {
    double moved = 0;
    for (int k = 0; k < p; ++k) {
      C d;
      C v = eval(z[k], d);
      if (std::abs(d) == 0) continue;
      C ratio = v / d;
      C sum = 0;
      for (int j = 0; j < p; ++j)
        if (j != k) sum += 1.0 / (z[k] - z[j]);
      C step = ratio / (1.0 - ratio * sum);
      z[k] -= step;
      moved = std::max(moved, std::abs(step));
    }
    if (moved < 1e-12) break;
  }
  std::vector<Resonance> out;
  for (const C& root : z) {
    if (root.imag() <= 0) continue;
    double r = std::abs(root);
    out.push_back({std::arg(root) * rate / (2 * Pi), -std::log(r) * rate / Pi});
  }
  std::sort(out.begin(), out.end(),
            [](const Resonance& l, const Resonance& r) { return l.freq < r.freq; });
  return out;
}

bool FirstFormants(const Wave& period, double& f1, double& f2) {
  if (period.size() < 8) return false;
  Wave stretch;
  while (stretch.size() < 1323 || stretch.size() < 3 * period.size())
    stretch.insert(stretch.end(), period.begin(), period.end());
  Wave half;
  for (std::size_t i = 2; i + 1 < stretch.size(); i += 2)
    half.push_back(0.25 * stretch[i - 1] + 0.5 * stretch[i] + 0.25 * stretch[i + 1]);
  // Harmonics of a high voice lie far apart; a high order then splits a formant between
  // two of them.
  const int order = period.size() >= 150 ? 12 : 10;
  std::vector<double> found;
  for (const Resonance& r : Resonances(Lpc(half, order), Rate / 2))
    if (r.freq > 150 && r.bandwidth < 600) found.push_back(r.freq);
  if (found.size() < 2) return false;
  f1 = found[0];
  f2 = found[1];
  return true;
}

}  // namespace bankrec
