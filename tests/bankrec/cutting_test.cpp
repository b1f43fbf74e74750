// Cutting periods and consonants out of recorded speech, and measuring vowels, on waves
// whose answers are known by construction.
#include "tools/bankrec/Cutting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tests/support/Resonator.h"

using namespace bankrec;

namespace {

constexpr double Pi = std::numbers::pi;

// A voiced wave: a pulse every `period` samples (may be fractional) through two resonances
// of 120 Hz bandwidth, `count` samples long. Its energy gathers after each pulse, as in
// speech.
Wave Voiced(double period, double f1, double f2, int count) {
  Wave x(count, 0);
  for (double at = 5; at < count; at += period) x[static_cast<int>(std::lround(at))] = 1000;
  testsupport::Resonate(x, {f1, f2}, 120, Rate);
  return x;
}

}  // namespace

TEST(PeriodCut, FindsThePeriodAndCutsOneThatRepeatsSmoothly) {
  struct Case {
    int period;
    double f1, f2;
  } cases[] = {{65, 900, 1600}, {141, 700, 1200}, {187, 300, 2300}, {374, 350, 800}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.period);
    const Wave x = Voiced(c.period, c.f1, c.f2, 12 * c.period + 2000);
    const int from = 4 * c.period;
    // The search range holds twice the period too: the period itself must win.
    const int found =
        EstimatePeriod(x, from, 600, 40, 420 * 2 > 2 * c.period ? 2 * c.period + 5 : 420);
    EXPECT_EQ(found, c.period);

    const int start = PeriodStart(x, from + 4 * c.period, c.period);
    EXPECT_LT(x[start - 1], 0);
    EXPECT_GE(x[start], 0);
    // One period exactly: the next one repeats it.
    const double peak = Peak(x);
    for (int n = 0; n < c.period; ++n)
      ASSERT_NEAR(x[start + n], x[start + c.period + n], peak * 0.005) << n;
    // Joined to itself it steps no more than the wave itself does there, and less than its
    // steepest step; the pulse's energy sits inside, not at an edge.
    double top = 0, steepest = 0;
    for (int n = start; n < start + c.period; ++n) {
      top = std::max(top, std::fabs(x[n]));
      steepest = std::max(steepest, std::fabs(x[n] - x[n - 1]));
    }
    const double wrap = WrapStep(x, start, c.period);
    EXPECT_NEAR(wrap, std::fabs(x[start] - x[start - 1]) / top, 0.01);
    EXPECT_LT(wrap, 0.75 * steepest / top);
    double e = 0, moment = 0;
    for (int n = 0; n < c.period; ++n) {
      e += x[start + n] * x[start + n];
      moment += x[start + n] * x[start + n] * n;
    }
    EXPECT_NEAR(moment / e / c.period, 0.5, 0.2);
  }
}

TEST(PeriodCut, MeasuresAPeriodBetweenWholeSamples) {
  for (double period : {80.25, 140.5, 253.75}) {
    const Wave x = Voiced(period, 500, 1500, 4000);
    EXPECT_NEAR(MeanPeriod(x, 500, static_cast<int>(period), 3000), period, 0.2) << period;
  }
}

TEST(ConsonantCut, StartsAtTheBurstAfterASilence) {
  struct Case {
    int silence;
    double floor;  // a faint hiss under the silence
  } cases[] = {{300, 0}, {1200, 0}, {700, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.silence);
    Wave x(c.silence + 1500, 0);
    unsigned seed = 7;
    auto noise = [&] {
      seed = seed * 1103515245u + 12345u;
      return static_cast<double>((seed >> 16) & 0x7FFF) / 16384.0 - 1;
    };
    for (int n = 0; n < c.silence; ++n) x[n] = c.floor * noise();
    // The burst: loud at once, then dying into weaker aspiration.
    for (int n = c.silence; n < static_cast<int>(x.size()); ++n)
      x[n] = (6000 * std::exp(-(n - c.silence) / 60.0) + 400) * noise();
    x[c.silence] = 5000;
    const int onset = SoundOnset(x, 0, static_cast<int>(x.size()));
    EXPECT_GE(onset, c.silence - 2);
    EXPECT_LE(onset, c.silence + 2);
  }
}

// A periodic sound shows its spectrum only at the harmonics, so no estimate from one period
// can be closer than a good part of the harmonic spacing.
TEST(Formants, LpcFindsTheResonancesOfAVowelPeriod) {
  struct Case {
    int period;
    double f1, f2;
  } cases[] = {{187, 750, 1300}, {187, 300, 2250}, {119, 350, 850}, {80, 450, 1950}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.period << " " << c.f1 << " " << c.f2);
    const Wave x = Voiced(c.period, c.f1, c.f2, 12 * c.period);
    const int start = PeriodStart(x, 6 * c.period, c.period);
    const Wave one(x.begin() + start, x.begin() + start + c.period);
    double f1 = 0, f2 = 0;
    ASSERT_TRUE(FirstFormants(one, f1, f2));
    const double f0 = Rate / c.period;
    EXPECT_NEAR(f1, c.f1, std::max(c.f1 * 0.12, 0.6 * f0));
    EXPECT_NEAR(f2, c.f2, std::max(c.f2 * 0.08, 0.6 * f0));
  }
}

TEST(Samples, ScaleToTheLevelAndBack) {
  const Wave x = Voiced(100, 600, 1800, 400);
  for (int level : {2, 40, 71}) {
    const std::string bytes = ToSamples(x, level);
    ASSERT_EQ(bytes.size(), 2 * x.size());
    const Wave back = FromSamples(bytes);
    EXPECT_EQ(std::lround(Peak(back) * 100 / 32767), level);
  }
  EXPECT_THROW(ToSamples(Wave(10, 0), 50), std::runtime_error);
}

TEST(PeriodCut, CentredStartsPutThePeriodsEnergyInItsMiddle) {
  // A decaying burst every 120 samples, starting at offset 10 of each period: the most
  // centred cut puts it in the middle half.
  Wave x(1200);
  for (int i = 0; i < 1200; ++i) {
    const int phase = (i + 110) % 120;
    x[i] = 8000 * std::exp(-phase / 12.0) * std::sin(2 * Pi * phase / 11.0);
  }
  const std::vector<int> starts = CentredStarts(x, 500, 120);
  ASSERT_EQ(starts.size(), 121u);
  EXPECT_GT(MiddleShare(x, starts.front(), 120), 0.9);
  EXPECT_LT(MiddleShare(x, 490, 120), 0.3);  // a cut at the burst leaves it at the edge
  for (std::size_t k = 1; k < starts.size(); ++k)
    EXPECT_GE(MiddleShare(x, starts[k - 1], 120), MiddleShare(x, starts[k], 120));
}
