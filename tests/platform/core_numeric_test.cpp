#include <gtest/gtest.h>

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

TEST(Numeric, TruncAndDivGoTowardZero) {
  EXPECT_EQ(Div(-7, 2), -3);
  EXPECT_EQ(Div(7, -2), -3);
  EXPECT_EQ(Mod(-7, 2), -1);
  EXPECT_EQ(Trunc(-2.9L), -2);
  EXPECT_EQ(Trunc(2.9L), 2);
  EXPECT_THROW(Div(1, 0), FloatFault);
}

TEST(Numeric, Wrap16KeepsLowBits) {
  EXPECT_EQ(Wrap16(40000), -25536);
  EXPECT_EQ(Wrap16(32768), -32768);
  EXPECT_EQ(Wrap16(-32769), 32767);
  EXPECT_EQ(Wrap16(65536 + 5), 5);
  EXPECT_EQ(WrapU16(-1), 65535);
}

TEST(Numeric, FloatFaultsAreExceptions) {
  EXPECT_THROW(FDiv(1, 0), FloatFault);
  EXPECT_THROW(FDiv(0, 0), FloatFault);
  EXPECT_THROW(FSqrt(-1), FloatFault);
  EXPECT_THROW(Round(1e30L), FloatFault);
  EXPECT_THROW(Checked(std::numeric_limits<Extended>::infinity()), FloatFault);
  EXPECT_EQ(FDiv(1, 4), 0.25L);
}

TEST(Numeric, ExtendedHasA64BitMantissa) { EXPECT_EQ(std::numeric_limits<Extended>::digits, 64); }
