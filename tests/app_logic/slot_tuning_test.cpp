#include <gtest/gtest.h>

#include "app/SlotTuning.h"
#include "platform/core/Beep.h"

namespace {
std::string Samples(std::initializer_list<int> v) {
  std::string s;
  for (int x : v) {
    auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(x));
    s += static_cast<char>(u & 0xFF);
    s += static_cast<char>(u >> 8);
  }
  return s;
}
}  // namespace

TEST(ScaleSampleLevel, DividesTruncatingThenMultiplies) {
  EXPECT_EQ(ScaleSampleLevel(Samples({100, -100, 7, -7, 0}), 10, 11),
            Samples({110, -110, 0, 0, 0}));
  EXPECT_EQ(ScaleSampleLevel(Samples({32000, -32000}), 50, 51), Samples({32640, -32640}));
  // A product beyond 16 bits keeps its low 16 bits.
  EXPECT_EQ(ScaleSampleLevel(Samples({32767}), 1, 2), Samples({-2}));
}

TEST(ScaleSampleLevel, LevelOutsideRangeBeepsAndGivesNothing) {
  for (int level : {0, 100}) {
    int before = platform::BeepCount();
    EXPECT_TRUE(ScaleSampleLevel(Samples({5, 6}), 50, static_cast<std::uint8_t>(level)).empty());
    EXPECT_EQ(platform::BeepCount(), before + 1);
    EXPECT_EQ(platform::LastBeepType(), platform::MB_OK);
  }
  int before = platform::BeepCount();
  ScaleSampleLevel(Samples({5}), 50, 99);
  EXPECT_EQ(platform::BeepCount(), before);
}
