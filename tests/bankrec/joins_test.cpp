// Counting clicks and smoothing recordings for the engine's joins, on waves whose answers
// are known by construction.
#include "tools/bankrec/Joins.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tests/support/Resonator.h"

using namespace bankrec;

namespace {

constexpr double Pi = std::numbers::pi;

// A sum of two sines (200 and 1300 Hz), `count` samples long.
Wave Tone(int count, double amp = 8000) {
  Wave x(count);
  for (int i = 0; i < count; ++i)
    x[i] = amp * (std::sin(2 * Pi * 200 * i / Rate) + 0.4 * std::sin(2 * Pi * 1300 * i / Rate));
  return x;
}

// High-frequency energy: the squared output of a first-difference filter applied `order`
// times, which weighs high frequencies far above low ones.
double HighEnergy(const Wave& x, int order) {
  Wave d = x;
  for (int k = 0; k < order; ++k)
    for (std::size_t i = d.size() - 1; i > 0; --i) d[i] -= d[i - 1];
  double e = 0;
  for (std::size_t i = order; i < d.size(); ++i) e += d[i] * d[i];
  return e;
}

}  // namespace

TEST(Clicks, FindsIsolatedJumpsOnlyAndCountsNearbyOnesOnce) {
  Wave x = Tone(22050);
  EXPECT_TRUE(Clicks(x).empty()) << "a smooth wave has no clicks";

  // Steps of the whole wave by a constant: one at 5000, two 1 ms apart at 12000 (one
  // click), one at 15000.
  for (int at : {5000, 12000, 12022, 15000})
    for (std::size_t i = at; i < x.size(); ++i) x[i] += 9000;
  EXPECT_EQ(Clicks(x), (std::vector<int>{5000, 12000, 15000}));

  // A jump that is large but no larger than the jumps around it is no click: white-ish
  // noise, every step large.
  Wave noise(4410);
  unsigned seed = 1;
  for (double& v : noise) {
    seed = seed * 1103515245u + 12345u;
    v = static_cast<double>((seed >> 16) & 0x7FFF) - 16384;
  }
  EXPECT_TRUE(Clicks(noise).empty());
}

TEST(SoftenSteps, BringsTheSteepestStepToTheLimitAndTakesOutOnlyHighFrequencies) {
  struct Case {
    double limit;
    int reach;
  } cases[] = {{3, 0}, {5, 110}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.limit);
    Wave x = Tone(400);
    for (int i = 200; i < 400; ++i) x[i] += 12000;  // an excitation-like step inside
    const Wave before = x;
    ASSERT_GT(SteepestStep(x, c.reach), c.limit);
    SoftenSteps(x, c.limit, c.reach);
    EXPECT_LE(SteepestStep(x, c.reach), c.limit * 1.0001);
    EXPECT_EQ(x.size(), before.size());
    // Away from the step, and in the low band, the wave is unchanged.
    for (int i = 20; i < 180; ++i) ASSERT_NEAR(x[i], before[i], 1e-9) << i;
    EXPECT_LT(HighEnergy(x, 3), HighEnergy(before, 3));
  }
}

TEST(SmoothPeriod, EdgesComeToZeroASpikeSoftensAndTheFormantsStay) {
  // One period of a voiced wave: a pulse through two resonances (700 and 1200 Hz), cut at
  // its loudest, so that both edges step hard.
  const int n = 160;
  Wave longWave(6 * n, 0);
  for (int k = 0; k < 6; ++k) longWave[k * n + 3] = 1000;
  testsupport::Resonate(longWave, {700, 1200}, 100, Rate);
  Wave period(longWave.begin() + 4 * n + 5, longWave.begin() + 5 * n + 5);
  double f1 = 0, f2 = 0, g1 = 0, g2 = 0;
  ASSERT_TRUE(FirstFormants(period, f1, f2));
  // A recording fault on top: a one-sample spike, two steep steps.
  Wave faulty = period;
  faulty[80] += 0.8 * Peak(period);
  Wave smooth = faulty, tapered = faulty;
  SmoothPeriod(smooth);
  Fade(tapered, 16, 16);
  EXPECT_EQ(smooth.size(), period.size());
  EXPECT_NEAR(smooth.front(), 0, 1e-9);
  EXPECT_NEAR(smooth.back(), 0, 1e-9);
  // The spike is softened; the taper alone leaves it.
  auto largestJump = [](const Wave& w) {
    double m = 0;
    for (std::size_t i = 1; i < w.size(); ++i) m = std::max(m, std::fabs(w[i] - w[i - 1]));
    return m;
  };
  ASSERT_GT(SteepestStep(tapered), 3);
  EXPECT_LT(SteepestStep(smooth), SteepestStep(tapered));
  EXPECT_LT(largestJump(smooth), 0.6 * largestJump(tapered));
  ASSERT_TRUE(FirstFormants(smooth, g1, g2));
  EXPECT_NEAR(g1, f1, 0.06 * f1);
  EXPECT_NEAR(g2, f2, 0.06 * f2);
}

TEST(QuietStarts, PutTheQuietestStretchAtTheEdges) {
  // A wave of period 100 whose only quiet stretch is around offset 60 of each period.
  Wave x(1000);
  for (int i = 0; i < 1000; ++i) {
    const int phase = i % 100;
    x[i] = (phase >= 50 && phase < 70 ? 10 : 5000) * std::sin(2 * Pi * i / 9.0);
  }
  const std::vector<int> starts = QuietStarts(x, 400, 100, 8);
  ASSERT_FALSE(starts.empty());
  // The best start has its 8 samples on either side inside the quiet stretch.
  EXPECT_GE(starts.front() % 100, 58);
  EXPECT_LE(starts.front() % 100, 62);
  // Every start within half a period of where it was asked for, each once.
  std::vector<int> sorted = starts;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  EXPECT_GE(sorted.front(), 350);
  EXPECT_LE(sorted.back(), 450);
}

TEST(RotatePhase, TurnsEveryComponentAndKeepsTheSpectrum) {
  // Two cosines turned by an angle are the same cosines with the angle added to their phase;
  // half a turn negates the wave. The ends of the stretch meet the zero padding, so the
  // comparison keeps to its middle.
  const int n = 2000;
  auto wave = [&](double angle) {
    Wave x(n);
    for (int i = 0; i < n; ++i)
      x[i] = 6000 * std::cos(2 * Pi * 300 * i / Rate + angle) +
             3000 * std::cos(2 * Pi * 1700 * i / Rate + angle);
    return x;
  };
  for (double angle : {Pi / 2, Pi, 4.0}) {
    const Wave turned = RotatePhase(wave(0), angle), expected = wave(angle);
    double worst = 0;
    for (int i = n / 4; i < 3 * n / 4; ++i)
      worst = std::max(worst, std::fabs(turned[i] - expected[i]));
    EXPECT_LT(worst, 0.02 * 9000) << "angle " << angle;
  }
}

TEST(RemoveOffset, LeavesNoMeanAndKeepsTheEdgesAtZero) {
  Wave x = Tone(300);
  Fade(x, 30, 30);
  for (int i = 30; i < 270; ++i) x[i] += 1500;
  RemoveOffset(x);
  double sum = 0;
  for (double v : x) sum += v;
  EXPECT_NEAR(sum / 300, 0, 1e-6);
  EXPECT_NEAR(x.front(), 0, 1e-9);
  EXPECT_NEAR(x.back(), 0, 1e-9);
}

TEST(RenderedPeriod, CutsALongPeriodFadesItAndMixesInTheVoicing) {
  const Wave period = Tone(200);
  // At 150 Hz the cut length is 292 bytes: the recording loses 28 samples at each end, to
  // 144, is faded over its quarters, and half of it meets half the voicing wave of 147.
  const Wave y = RenderedPeriod(period, 7168, 150);
  ASSERT_EQ(y.size(), 147u);
  EXPECT_NEAR(y[0], 0, 1e-9);  // both the fade and the voicing start at zero
  const double voicing = 7168 * (std::sin(2 * Pi * 73 / 147) - std::sin(4 * Pi * 73 / 147) / 2.5);
  EXPECT_NEAR(y[73], 0.5 * (voicing + period[28 + 73]), 1e-6);
  // At 60 Hz the pitch period is longer than the recording: uncut and unfaded, and after it
  // the voicing with the recording's last value dying away.
  const Wave z = RenderedPeriod(period, 0, 60);
  ASSERT_EQ(z.size(), 368u);
  EXPECT_NEAR(z[10], 0.5 * period[10], 1e-9);
  EXPECT_NEAR(z[250], 0, 1e-3);
}
