#include <gtest/gtest.h>

#include "app/SlotTuning.h"
#include "banks/VoiceBanks.h"
#include "platform/core/Beep.h"
#include "tests/support/Wav.h"

using testsupport::SampleBytes;

TEST(ScaleSampleLevel, DividesTruncatingThenMultiplies) {
  EXPECT_EQ(ScaleSampleLevel(SampleBytes({100, -100, 7, -7, 0}), 10, 11),
            SampleBytes({110, -110, 0, 0, 0}));
  EXPECT_EQ(ScaleSampleLevel(SampleBytes({32000, -32000}), 50, 51), SampleBytes({32640, -32640}));
  // A product beyond 16 bits keeps its low 16 bits.
  EXPECT_EQ(ScaleSampleLevel(SampleBytes({32767}), 1, 2), SampleBytes({-2}));
}

TEST(ScaleSampleLevel, LevelOutsideRangeBeepsAndGivesNothing) {
  for (int level : {0, 100}) {
    int before = platform::BeepCount();
    EXPECT_TRUE(
        ScaleSampleLevel(SampleBytes({5, 6}), 50, static_cast<std::uint8_t>(level)).empty());
    EXPECT_EQ(platform::BeepCount(), before + 1);
    EXPECT_EQ(platform::LastBeepType(), platform::MB_OK);
  }
  int before = platform::BeepCount();
  ScaleSampleLevel(SampleBytes({5}), 50, 99);
  EXPECT_EQ(platform::BeepCount(), before);
}

TEST(SlotExportText, DropsLeadingZeroSamplesAndKeepsOne) {
  EXPECT_EQ(SlotExportText(SampleBytes({0, 0, 258})), "#2#1,\r\n");
  EXPECT_EQ(SlotExportText(banks::EmptySlot), "#0#0,\r\n");
  EXPECT_EQ(SlotExportText(SampleBytes({0, 0, 0})), "#0#0,\r\n");
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
