#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/core/Numeric.h"

using namespace platform;

TEST(Numeric, RoundHalfToEven) {
  struct Case {
    Extended in;
    std::int64_t out;
  } cases[] = {{2.5L, 2}, {3.5L, 4},    {-2.5L, -2},  {-3.5L, -4}, {0.5L, 0},
               {1.5L, 2}, {2.4999L, 2}, {2.5001L, 3}, {-0.5L, 0},  {16383.5L, 16384}};
  for (const auto& c : cases) EXPECT_EQ(Round(c.in), c.out) << static_cast<double>(c.in);
}

TEST(Numeric, RoundAgreesWithTheLibraryAtEveryMagnitude) {
  // Halves, near-halves and plain values from tiny to beyond 2^63, both signs.
  std::vector<Extended> values = {0.0L, 0.49999999999999999995L, 0.50000000000000000005L,
                                  4503599627370495.5L, 9007199254740993.0L};
  for (Extended scale = 1; scale < 3e19L; scale *= 3) {
    for (Extended frac : {0.0L, 0.25L, 0.5L, 0.75L, 0.5000001L, 0.4999999L}) {
      values.push_back(std::floor(scale) + frac);
      values.push_back(std::floor(scale) + 1 + frac);
    }
  }
  for (Extended m = 4611686018427387904.0L; m < 2e19L; m *= 2) {
    values.push_back(m - 0.5L);
    values.push_back(m + 0.5L);
    values.push_back(m + 1.5L);
  }
  for (Extended v : values) {
    for (Extended x : {v, -v}) {
      const Extended expected = std::nearbyint(x);
      EXPECT_EQ(RoundIntegral(x), expected) << static_cast<double>(x);
      if (expected > -9223372036854775808.0L && expected < 9223372036854775808.0L) {
        EXPECT_EQ(Round(x), static_cast<std::int64_t>(expected)) << static_cast<double>(x);
      }
    }
  }
}

TEST(Numeric, DivGoesTowardZero) {
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Div(7, -2), -3);
  EXPECT_EQ(Mod(-7, 2), -1);
  EXPECT_THROW(Div(1, 0), FloatFault);
}

TEST(Numeric, Wrap16KeepsLowBits) {
  EXPECT_EQ(Wrap16(40000), -25536);
  EXPECT_EQ(Wrap16(32768), -32768);
  EXPECT_EQ(Wrap16(-32769), 32767);
  EXPECT_EQ(Wrap16(65536 + 5), 5);
}

TEST(Numeric, FloatFaultsAreExceptions) {
  EXPECT_THROW(FDiv(1, 0), FloatFault);
  EXPECT_THROW(FDiv(0, 0), FloatFault);
  EXPECT_THROW(Round(1e30L), FloatFault);
  EXPECT_THROW(Checked(std::numeric_limits<Extended>::infinity()), FloatFault);
  EXPECT_EQ(FDiv(1, 4), 0.25L);
}

TEST(Numeric, ExtendedHasA64BitMantissa) { EXPECT_EQ(std::numeric_limits<Extended>::digits, 64); }
