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

TEST(SlotExportText, DropsLeadingZeroSamplesAndKeepsOne) {
  EXPECT_EQ(SlotExportText(Samples({0, 0, 258})), "#2#1,\r\n");
  EXPECT_EQ(SlotExportText(std::string(2, '\0')), "#0#0,\r\n");
  EXPECT_EQ(SlotExportText(Samples({0, 0, 0})), "#0#0,\r\n");
  EXPECT_EQ(SlotExportText(std::string("\x01\x00\xFF\x00", 4)), "#1#0#255#0,\r\n");
}

TEST(SlotExportText, BreaksLinesAfter255Values) {
  // Export works on bytes: 255 of them (an odd count) still make one line.
  std::string bytes255 = std::string("\x07\x00", 2) + std::string(253, '\x07');
  std::string t = SlotExportText(bytes255);
  EXPECT_EQ(t.find("\r\n"), t.size() - 2);  // one line
  std::string bytes256 = std::string("\x07\x00", 2) + std::string(254, '\x09');
  t = SlotExportText(bytes256);
  EXPECT_EQ(t.substr(t.size() - 8), "\r\n+#9,\r\n");
}
