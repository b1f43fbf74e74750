#include <gtest/gtest.h>

#include "app/VoicePresets.h"

TEST(VoicePresets, EvenAndOddVoicesByVariant) {
  struct Case {
    int item;
    VoicePreset want;
  } cases[] = {
      {0, {39, 4, 2, 0, 0, 0}},   {9, {109, 4, 2, 0, 0, 0}},  {1, {39, 4, 2, 0, 0, 7}},
      {3, {39, 4, 2, 5, 0, 9}},   {13, {155, 4, 7, 6, 0, 5}}, {14, {89, 4, 7, 7, 0, 9}},
      {24, {139, 4, 7, 4, 0, 9}}, {34, {209, 4, 7, 8, 0, 9}}, {8, {59, 4, 7, 5, 0, 9}},
      {89, {139, 4, 7, 5, 0, 9}}, {80, {59, 4, 7, 5, 0, 9}},
  };
  for (const auto& c : cases) {
    VoicePreset p{};
    ASSERT_TRUE(VoicePresetFor(c.item, p)) << c.item;
    EXPECT_EQ(p.Pitch, c.want.Pitch) << c.item;
    EXPECT_EQ(p.Speed, 4);
    EXPECT_EQ(p.Eq, c.want.Eq) << c.item;
    EXPECT_EQ(p.AnalogSpeed, c.want.AnalogSpeed) << c.item;
    EXPECT_EQ(p.Compress, 0);
    EXPECT_EQ(p.WaveForm, c.want.WaveForm) << c.item;
  }
  VoicePreset p{};
  EXPECT_FALSE(VoicePresetFor(-1, p));
  EXPECT_FALSE(VoicePresetFor(90, p));
}

TEST(VoicePresets, EqItemNumbers) {
  struct Case {
    const char* text;
    int treble, bass;
  } cases[] = {{"0 -2", 0, -2},   {"-3 -1", -3, -1}, {"(No filtrar)", 0, 0},
               {"-4 -4", -4, -4}, {"-1 x", -1, 0},   {"", 0, 0}};
  for (const auto& c : cases) {
    std::int16_t t = 99, b = 99;
    ParseEqItem(c.text, t, b);
    EXPECT_EQ(t, c.treble) << c.text;
    EXPECT_EQ(b, c.bass) << c.text;
  }
}
