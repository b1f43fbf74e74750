#include <gtest/gtest.h>

#include "tests/engine/SampleFixture.h"

using namespace enginetest;

TEST(PeriodShaping, ShapePeriodRamps) {
  struct Case {
    const char* name;
    std::vector<int> in;
    int inDiv, outDiv;
    std::vector<int> out;
  };
  const Case cases[] = {
      {"quarters", Repeat(1000, 8), 4, 4, {0, 500, 1000, 1000, 1000, 1000, 1000, 0}},
      {"rise over eight ninths",
       Repeat(1000, 9),
       0,
       9,
       {0, 125, 250, 375, 500, 625, 750, 875, 1000}},
      {"fall over eight ninths", Repeat(1000, 9), 9, 0, {0, 1000, 750, 625, 500, 375, 250, 125, 0}},
      {"both divisors 0: fall back to the second sample",
       Repeat(1000, 9),
       0,
       0,
       {1000, 778, 667, 556, 444, 333, 222, 111, 0}},
      {"negative samples keep their sign",
       Repeat(-1000, 8),
       4,
       4,
       {0, -500, -1000, -1000, -1000, -1000, -1000, 0}},
      {"divisor -1 leaves it alone", Repeat(1000, 8), -1, 4, Repeat(1000, 8)},
      {"divisor -128 leaves it alone", Repeat(1000, 8), 4, -128, Repeat(1000, 8)},
      {"divisor -129 counts as 0",
       Repeat(1000, 9),
       -129,
       9,
       {0, 125, 250, 375, 500, 625, 750, 875, 1000}},
      {"one sample is left alone", {1234}, 4, 4, {1234}},
  };
  for (const Case& c : cases) {
    Voice v;
    std::string result;
    v.ShapePeriod(SampleBytes(c.in), c.inDiv, c.outDiv, result);
    EXPECT_EQ(Samples(result), c.out) << c.name;
  }
}

TEST(PeriodShaping, VoicingPeriodIsRoundedToEven) {
  Voice v;
  v.FVoicingAmp = 12800;
  v.MakeVoicingWave(2, 100);  // 220.5 samples round to 220
  std::vector<int> w = Samples(*v.FVoicingStream);
  ASSERT_EQ(w.size(), 220u);
  // sin at the quarter, half and three quarters of the period; the octave is 0 there.
  EXPECT_EQ(w[0], 0);
  EXPECT_EQ(w[55], 12800);
  EXPECT_EQ(w[110], 0);
  EXPECT_EQ(w[165], -12800);
  // An 8-sample period shows the octave at 40 %: 12800 (sin - sin2 / 2.5).
  v.MakeVoicingWave(2, 2756);
  EXPECT_EQ(Samples(*v.FVoicingStream),
            (std::vector<int>{0, 3931, 12800, 14171, 0, -14171, -12800, -3931}));
}

TEST(PeriodShaping, WholePhonemeWaveFadesOverItsLast64Samples) {
  // At pitch 5512 the period is 4 samples: the wave is A_i times 0, 1, 0, -1.
  struct Case {
    const char* name;
    int phoneme;    // samples in the phoneme stream
    int fullUntil;  // samples at full amplitude
  };
  const Case cases[] = {{"100 samples", 100, 36}, {"fewer than 64", 10, 0}, {"exactly 64", 64, 0}};
  for (const Case& c : cases) {
    Voice v;
    v.FVoicingAmp = 12800;
    v.FPhoneStream->SetSize(static_cast<std::size_t>(c.phoneme) * 2);
    v.MakeVoicingWave(1, 5512);
    std::vector<int> w = Samples(*v.FVoicingStream);
    ASSERT_EQ(w.size(), static_cast<std::size_t>(c.phoneme)) << c.name;
    for (int i = 0; i < c.phoneme; ++i) {
      const int amp = i < c.fullUntil ? 12800 : 12800 - 200 * (i - c.fullUntil + 1);
      const int expected = (i % 4 == 1) ? amp : (i % 4 == 3) ? -amp : 0;
      EXPECT_EQ(w[i], expected) << c.name << " at " << i;
    }
    // Only a phoneme of 64 samples or more steps all the way down to 0.
    if (c.phoneme >= 64) {
      EXPECT_EQ(w.back(), 0) << c.name;
    }
  }
}

// The sine and arcsine values are kept between calls: what one call made must never leak
// into another with different inputs, whatever the order of the calls.
TEST(PeriodShaping, WavesAndRampsDoNotDependOnEarlierCalls) {
  struct Wave {
    std::int16_t amp, pitch, count;
    int phoneme;
  };
  const Wave waves[] = {{12800, 120, 6, 0},   {9984, 120, 6, 0},   {12800, 121, 6, 0},
                        {12800, 120, 1, 300}, {9984, 120, 1, 300}, {12800, 120, 1, 250},
                        {1536, 80, 1, 40},    {1536, 80, 3, 0},    {7168, 100, 2, 0}};
  auto make = [](const Wave& w) {
    Voice v;
    v.FVoicingAmp = w.amp;
    v.FPhoneStream->SetSize(static_cast<std::size_t>(w.phoneme) * 2);
    v.MakeVoicingWave(w.count, w.pitch);
    return Samples(*v.FVoicingStream);
  };
  std::vector<std::vector<int>> forward;
  for (const Wave& w : waves) forward.push_back(make(w));
  for (std::size_t k = std::size(waves); k-- > 0;) {
    EXPECT_EQ(make(waves[k]), forward[k]) << "wave " << k;
  }
  // Each wave peaks at the quarter of its period with its own amplitude.
  EXPECT_EQ(forward[0][46], 12800);  // 184 samples at 120 Hz
  EXPECT_EQ(forward[1][46], 9984);
  EXPECT_EQ(forward.back()[55], 7168);  // 220 samples at 100 Hz

  struct Shape {
    int samples, inDiv, outDiv;
  };
  const Shape shapes[] = {{9, 0, 9}, {9, 9, 0}, {90, 4, 4}, {91, 0, 9}, {8, 4, 4}, {180, 9, 0}};
  auto shape = [](const Shape& sh) {
    Voice v;
    std::string result;
    v.ShapePeriod(SampleBytes(Repeat(1000, sh.samples)), sh.inDiv, sh.outDiv, result);
    return Samples(result);
  };
  std::vector<std::vector<int>> shaped;
  for (const Shape& sh : shapes) shaped.push_back(shape(sh));
  for (std::size_t k = std::size(shapes); k-- > 0;) {
    EXPECT_EQ(shape(shapes[k]), shaped[k]) << "shape " << k;
  }
  EXPECT_EQ(shaped[0], (std::vector<int>{0, 125, 250, 375, 500, 625, 750, 875, 1000}));
}

TEST(PeriodShaping, BlendPeriodsWeights) {
  struct Case {
    int speed, remaining, fromWeight;
  };
  // FromSlot's weight W for a glide: the first and last periods of the window.
  const Case cases[] = {{10, 1, 66}, {10, 0, 33}, {1, 10, 95}, {1, 0, 5},  {5, 6, 99},
                        {5, 0, 15},  {4, 7, 96},  {4, 0, 5},   {9, 2, 83}, {9, 0, 17}};
  for (const Case& c : cases) {
    Voice v;
    v.FSpeed = static_cast<std::uint16_t>(c.speed);
    v.FBank[1] = SampleBytes(Repeat(1000, 4));
    v.FBank[28] = SampleBytes(Repeat(100, 4));
    v.FPeriod.clear();
    v.BlendPeriods(1, 28, static_cast<std::uint8_t>(c.remaining), 0);
    const int expected = 10 * c.fromWeight + (100 - c.fromWeight);
    EXPECT_EQ(Samples(v.FPeriod), Repeat(expected, 4))
        << "speed " << c.speed << " remaining " << c.remaining;
  }
}

TEST(PeriodShaping, BlendPeriodsFadeFromTheEmptySlot) {
  // Slot 0 is the empty slot: the vowel comes out at 83, 50 and 17 percent, at any speed.
  const int expected[] = {170, 500, 830};  // remaining 0, 1, 2
  for (int remaining = 0; remaining <= 2; ++remaining) {
    Voice v;
    v.FSpeed = 3;
    v.FBank[10] = SampleBytes(Repeat(1000, 3));
    v.BlendPeriods(0, 10, static_cast<std::uint8_t>(remaining), 1);
    EXPECT_EQ(Samples(v.FPeriod), Repeat(expected[remaining], 3)) << remaining;
  }
}

TEST(PeriodShaping, BlendPeriodsLetsTheShorterRecordingLinger) {
  Voice v;
  v.FSpeed = 10;
  v.FBank[17] = SampleBytes({1000});
  v.FBank[115] = SampleBytes({0, 0, 0});
  v.BlendPeriods(17, 115, 1, 0);  // W = 66
  EXPECT_EQ(Samples(v.FPeriod), (std::vector<int>{660, 435, 287}));
}
