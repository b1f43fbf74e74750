#include "tools/bankrec/Voiceless.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace bankrec {

namespace {

constexpr double Pi = std::numbers::pi;

// splitmix64: a generator whose sequence depends on its seed alone.
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : s_(seed) {}
  double Next() {
    std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1;
  }
  Wave Take(int n) {
    Wave w(n);
    for (double& v : w) v = Next();
    return w;
  }

 private:
  std::uint64_t s_;
};

// Band-pass biquad with 0 dB at its centre.
Wave BandPass(const Wave& x, double centre, double q) {
  centre = std::clamp(centre, 100.0, Rate * 0.45);
  const double w0 = 2 * Pi * centre / Rate, alpha = std::sin(w0) / (2 * q);
  const double a0 = 1 + alpha, b0 = alpha / a0, b2 = -alpha / a0;
  const double a1 = -2 * std::cos(w0) / a0, a2 = (1 - alpha) / a0;
  Wave y(x.size());
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (std::size_t n = 0; n < x.size(); ++n) {
    double v = b0 * x[n] + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x[n];
    y2 = y1;
    y1 = v;
    y[n] = v;
  }
  return y;
}

// First-order high-pass at `corner` Hz.
Wave HighPass(const Wave& x, double corner) {
  const double a = std::exp(-2 * Pi * corner / Rate);
  Wave y(x.size());
  double prevX = 0, prevY = 0;
  for (std::size_t n = 0; n < x.size(); ++n) {
    prevY = a * (prevY + x[n] - prevX);
    prevX = x[n];
    y[n] = prevY;
  }
  return y;
}

// Noise through 1 / A(z).
Wave AllPole(const Wave& x, const std::vector<double>& a) {
  Wave y(x.size(), 0);
  for (std::size_t n = 0; n < x.size(); ++n) {
    double v = x[n];
    for (std::size_t k = 1; k < a.size() && k <= n; ++k) v -= a[k] * y[n - k];
    y[n] = v;
  }
  return y;
}

Wave Normalised(Wave x) {
  double e = 0;
  for (double v : x) e += v * v;
  const double rms = std::sqrt(e / std::max<std::size_t>(1, x.size()));
  if (rms > 0)
    for (double& v : x) v /= rms;
  return x;
}

void Add(Wave& into, const Wave& x, int at, double gain) {
  for (std::size_t i = 0; i < x.size() && at + static_cast<int>(i) < static_cast<int>(into.size());
       ++i)
    into[at + i] += gain * x[i];
}

// Envelope 0..1: raised-cosine rise over `rise` samples, hold, fall over `fall` samples.
Wave Envelope(int n, int rise, int fall) {
  Wave e(n, 1);
  for (int i = 0; i < rise && i < n; ++i) e[i] = 0.5 - 0.5 * std::cos(Pi * i / rise);
  for (int i = 0; i < fall && i < n; ++i) e[n - 1 - i] *= 0.5 - 0.5 * std::cos(Pi * i / fall);
  return e;
}

Wave Times(Wave x, const Wave& e) {
  for (std::size_t i = 0; i < x.size() && i < e.size(); ++i) x[i] *= e[i];
  return x;
}

// A burst: noise in a band, struck hard and decaying over `decay` samples.
Wave Burst(Noise& noise, int n, double centre, double q, int decay, double sharpness) {
  Wave b = BandPass(noise.Take(n), centre, q);
  const int attack = std::max(2, static_cast<int>(6 / sharpness));
  for (int i = 0; i < n; ++i) {
    double rise = i < attack ? static_cast<double>(i) / attack : 1;
    b[i] *= rise * std::exp(-static_cast<double>(i) / decay);
  }
  return Normalised(b);
}

// The whispered vowel: noise through the vowel's tract, for aspiration and transitions.
Wave Whisper(Noise& noise, int n, const VowelColour& v) {
  if (v.lpc.size() < 2) return Normalised(noise.Take(n));
  // Run the filter in on some noise first, so that it starts settled.
  const int settle = 256;
  Wave w = AllPole(noise.Take(n + settle), v.lpc);
  return Normalised(Wave(w.begin() + settle, w.end()));
}

// Frication of `n` samples: noise in a band, then the last part turning into the whisper
// of the following vowel.
Wave Frication(Noise& noise, int n, double centre, double q, double highPass, int rise, int fall,
               const VowelColour& v, double tailGain) {
  Wave f = Normalised(HighPass(BandPass(noise.Take(n), centre, q), highPass));
  f = Times(f, Envelope(n, rise, fall));
  const int tail = std::min(n / 3, static_cast<int>(0.012 * Rate));
  Wave w = Times(Whisper(noise, tail, v), Envelope(tail, tail / 2, tail / 4));
  Add(f, w, n - tail, tailGain);
  return f;
}

}  // namespace

VowelColour ColourOf(const Wave& period, bool rounded) {
  VowelColour c;
  c.rounded = rounded;
  Wave stretch;
  while (stretch.size() < 1323) stretch.insert(stretch.end(), period.begin(), period.end());
  c.lpc = Lpc(stretch, 18);
  double f1 = 0, f2 = 0;
  if (FirstFormants(period, f1, f2)) c.f2 = f2;
  return c;
}

Wave MakeVoiceless(Voiceless c, int length, const VoicelessTraits& t, const VowelColour& v,
                   std::uint64_t seed) {
  Noise noise(seed);
  Wave out(length, 0);
  const double s = t.scale;
  const double ms = Rate / 1000;
  // Lips rounded for the next vowel lower the sibilants' band; a front vowel raises it.
  const double lip = v.rounded ? 0.86 : (v.f2 > 2000 ? 1.05 : 1);
  switch (c) {
    case Voiceless::P:
    case Voiceless::T:
    case Voiceless::K: {
      // Closure tail (silence), the burst, then breath shaped by the vowel.
      const int closure = static_cast<int>((c == Voiceless::K ? 1.0 : 2.0) * ms);
      const int rest = length - closure;
      double centre, q;
      int decay;
      if (c == Voiceless::P) {
        centre = 900 * s, q = 0.5, decay = static_cast<int>(1.5 * ms);
      } else if (c == Voiceless::T) {
        centre = 4200 * s, q = 1.0, decay = static_cast<int>(2.0 * ms);
      } else {  // velar: the burst sits near the vowel's second formant
        centre = std::clamp(v.f2 * 1.05, 1000.0 * s, 3200.0 * s), q = 3.0;
        decay = static_cast<int>(4.0 * ms);
      }
      Wave burst = Burst(noise, rest, centre, q, decay, t.sharpness);
      Add(out, burst, closure, 1.0);
      if (c == Voiceless::K && rest > static_cast<int>(10 * ms)) {
        // Velar stops often release twice.
        Wave second =
            Burst(noise, rest - static_cast<int>(7 * ms), centre * 1.02, q, decay / 2, t.sharpness);
        Add(out, second, closure + static_cast<int>(7 * ms), 0.45);
      }
      if (c == Voiceless::P) out[closure] += 2.5;  // the lips' sudden opening
      const int start = closure + decay / 2;
      const int breath = length - start;
      if (breath > 8) {
        Wave asp = Times(Whisper(noise, breath, v), Envelope(breath, decay, breath / 5));
        Add(out, asp, start, 0.22 * t.aspiration * (c == Voiceless::K ? 1.4 : 1.0));
      }
      break;
    }
    case Voiceless::Ch: {
      const int closure = static_cast<int>(1.5 * ms);
      const int burstLen = static_cast<int>(8 * ms);
      Add(out, Burst(noise, burstLen, 3300 * s * lip, 1.5, static_cast<int>(2 * ms), t.sharpness),
          closure, 1.0);
      const int fric = length - closure - static_cast<int>(2 * ms);
      Wave f = Frication(noise, fric, 3000 * s * lip, 1.6, 1500,
                         static_cast<int>(4 * ms / t.sharpness), fric / 3, v, 0.35 * t.aspiration);
      Add(out, f, closure + static_cast<int>(2 * ms), 0.75);
      break;
    }
    case Voiceless::F: {
      Wave f = Frication(noise, length, 3800 * s, 0.35, 900, length / 4, length / 4, v,
                         0.5 * t.aspiration);
      Add(out, f, 0, 1.0);
      break;
    }
    case Voiceless::S: {
      Wave f = Frication(noise, length, 5600 * s * lip, 2.2, 3200, length / 5, length / 5, v,
                         0.3 * t.aspiration);
      Add(out, f, 0, 1.0);
      break;
    }
    case Voiceless::Z: {
      Wave f = Frication(noise, length, 4800 * s, 0.6, 1800, length / 5, length / 5, v,
                         0.4 * t.aspiration);
      Add(out, f, 0, 1.0);
      break;
    }
    case Voiceless::J: {
      // Velar frication: noise through the vowel's tract and a narrow band at its F2.
      Wave band = Normalised(BandPass(noise.Take(length), std::clamp(v.f2, 1000.0, 2600.0), 5));
      Wave tract = Whisper(noise, length, v);
      Wave scrape(length);
      for (int i = 0; i < length; ++i)
        scrape[i] =
            (0.6 * band[i] + 0.5 * tract[i]) * (0.8 + 0.2 * std::sin(2 * Pi * 45 * s * i / Rate));
      Add(out, Times(scrape, Envelope(length, length / 5, length / 5)), 0, 1.0);
      break;
    }
    case Voiceless::X: {
      // k, a short breath, then s.
      const int closure = static_cast<int>(1 * ms);
      const int kLen = static_cast<int>(18 * ms);
      Add(out, Burst(noise, kLen, 1600 * s, 2.5, static_cast<int>(4 * ms), t.sharpness), closure,
          1.0);
      const int sStart = closure + kLen;
      const int sLen = length - sStart;
      Wave f = Frication(noise, sLen, 5600 * s * lip, 2.2, 3200, sLen / 4, sLen / 5, v,
                         0.3 * t.aspiration);
      Add(out, f, sStart, 0.8);
      break;
    }
  }
  return out;
}

}  // namespace bankrec
