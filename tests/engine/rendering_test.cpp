#include "speech/Rendering.h"

#include <gtest/gtest.h>

#include "platform/core/Random.h"
#include "speech/TextBytes.h"
#include "tests/engine/SampleFixture.h"

using namespace enginetest;

namespace {
// A voice at a steady 120 Hz (the ceiling holds the rising period step) and, unless a test
// says otherwise, a silent voicing wave, so that every period is its recording halved.
struct RenderVoice : Voice {
  RenderVoice(std::uint8_t letter, int slot, int repeats) {
    Loop.CurrentLetter = letter;
    Loop.ChosenSlot = slot;
    Prosody.Repeats = repeats;
    Prosody.CurrentPitch = 120;
    Prosody.PitchCeiling = 120;
    Prosody.PitchFloor = 60;
    Prosody.Falling = 0;
    FSpeed = 5;
    FVoicingAmp = 0;
  }
  std::vector<int> Render() {
    SetUpTimbre(*this);
    RenderCharacter(*this);
    return Samples(*FPhoneStream);
  }
};

// Sample `at` of each period of `length` samples.
std::vector<int> EachPeriod(const std::vector<int>& s, std::size_t length, std::size_t at) {
  std::vector<int> v;
  for (std::size_t p = 0; p + length <= s.size(); p += length) v.push_back(s[p + at]);
  return v;
}
}  // namespace

TEST(Rendering, LeadInBeforeStopsAndFricatives) {
  struct Case {
    std::uint8_t letter;
    int recording, zeros;
  };
  const Case cases[] = {{'x', 1500, 800},
                        {'t', 1238, 0},
                        {'s', 5, 5},
                        {'s', 1142, 0},
                        {'p', 78, 1122},
                        {'f', 10, 0},
                        {'m', 40, 0},
                        {26, 4, 6},
                        // 20 - 65456 bytes wraps in 16 bits to 100: 50 zero samples.
                        {'s', 32728, 50}};
  for (const Case& c : cases) {
    RenderVoice v(c.letter, 43, 1);
    v.FBank[43] = SampleBytes(Repeat(-700, c.recording));
    std::vector<int> expected(static_cast<std::size_t>(c.zeros), 0);
    for (int i = 0; i < c.recording; ++i) expected.push_back(-700);
    EXPECT_EQ(v.Render(), expected) << "letter " << c.letter << " recording " << c.recording;
  }
}

TEST(Rendering, VoicedConsonantsMixInTheFadingVoicingWave) {
  struct Case {
    std::uint8_t letter;
    int recording, length;
  };
  const Case cases[] = {{0xF1, 900, 900},  // ñ: no lead-in
                        {'d', 200, 1200},
                        {RrMark, 600, 700}};
  for (const Case& c : cases) {
    RenderVoice v(c.letter, 27, 1);
    v.FVoicingAmp = 12800;
    v.FBank[27] = SampleBytes(Repeat(1001, c.recording));
    std::vector<int> s = v.Render();
    ASSERT_EQ(s.size(), static_cast<std::size_t>(c.length)) << c.letter;
    EXPECT_EQ(s.front(), c.length == c.recording ? 500 : 0) << c.letter;  // the wave starts at 0
    EXPECT_EQ(s.back(), 500) << c.letter;  // the voicing has died away at the end
    // The voicing sounds through the lead-in as well.
    const int quarter = 46;  // a quarter of the 184-sample period at 120 Hz
    EXPECT_NE(s[quarter], c.length - c.recording > quarter ? 0 : 500) << c.letter;
  }
}

TEST(Rendering, NothingForNoRepeatsRawPeriodForOne) {
  RenderVoice none('a', 1, 0);
  none.FBank[1] = SampleBytes(Repeat(1000, 100));
  EXPECT_TRUE(none.Render().empty());

  RenderVoice once('a', 1, 1);
  once.FVoicingAmp = 12800;
  once.FBank[1] = SampleBytes(Repeat(1000, 100));
  EXPECT_EQ(once.Render(), Repeat(1000, 100));

  RenderVoice mark('.', 0, 1);
  EXPECT_EQ(mark.Render(), (std::vector<int>{0}));
}

TEST(Rendering, PeriodsAreCutShapedAndAsLongAsTheVoicingPeriod) {
  RenderVoice v('a', 1, 6);
  v.FBank[1] = SampleBytes(Repeat(1000, 300));  // cut to 180 samples, then faded at its edges
  std::vector<int> s = v.Render();
  ASSERT_EQ(s.size(), 6u * 184u);  // 22050 / 120 = 183.75
  EXPECT_EQ(EachPeriod(s, 184, 0), Repeat(0, 6));
  EXPECT_EQ(EachPeriod(s, 184, 1), Repeat(11, 6));  // 1000 x 2/90, halved
  EXPECT_EQ(EachPeriod(s, 184, 90), Repeat(500, 6));
  EXPECT_EQ(EachPeriod(s, 184, 183), Repeat(0, 6));
  EXPECT_EQ(v.Prosody.CurrentPitch, 120);
}

TEST(Rendering, FadeOutBeforeAConsonant) {
  // Period middles (sample 90) of a vowel at speed `speed` followed by a consonant.
  struct Case {
    const char* name;
    int speed, repeats;
    std::vector<int> middles;
  };
  const Case cases[] = {
      {"speed 5, nine periods", 5, 9, {500, 500, 500, 500, 500, 500, 415, 250, 85}},
      {"six periods: only the last", 5, 6, {500, 500, 500, 500, 500, 85}},
      {"seven periods: the last two", 5, 7, {500, 500, 500, 500, 500, 250, 85}},
      {"no fade at speed 8", 8, 9, Repeat(500, 9)},
  };
  for (const Case& c : cases) {
    RenderVoice v('a', 1, c.repeats);
    v.FSpeed = static_cast<std::uint16_t>(c.speed);
    v.Prosody.PairBuffer = std::string("a\xff");
    v.FBank[1] = SampleBytes(Repeat(1000, 300));
    EXPECT_EQ(EachPeriod(v.Render(), 184, 90), c.middles) << c.name;
  }
}

TEST(Rendering, GlidesIntoTheNextVowel) {
  struct Case {
    const char* pair;
    int speed, repeats;
    std::vector<int> middles;
  };
  const Case cases[] = {
      {"ao", 10, 4, {500, 500, 330, 165}},  // W 66 then 33 towards the silent o
      {"ao", 9, 4, {500, 415, 250, 85}},
      {"aa", 10, 4, Repeat(500, 4)},  // the same vowel twice does not glide
      {"ax", 10, 4, Repeat(500, 4)},  // nothing to glide into
  };
  for (const Case& c : cases) {
    RenderVoice v('a', 1, c.repeats);
    v.FSpeed = static_cast<std::uint16_t>(c.speed);
    v.Prosody.PairBuffer = c.pair;
    v.FBank[1] = SampleBytes(Repeat(1000, 300));
    v.FBank[28] = SampleBytes(Repeat(0, 300));
    EXPECT_EQ(EachPeriod(v.Render(), 184, 90), c.middles) << c.pair << " at speed " << c.speed;
  }
}

TEST(Rendering, RepeatsRaisedToFourAfterTheFirstPassStillRendersTheFixedCount) {
  // Two passes; the period step raises Repeats to 4, so the glide window of speed 10
  // (the last two of four) no longer includes the second pass.
  RenderVoice v('a', 1, 2);
  v.FSpeed = 10;
  v.Prosody.PairBuffer = "ao";
  v.FBank[1] = SampleBytes(Repeat(1000, 300));
  v.FBank[28] = SampleBytes(Repeat(0, 300));
  EXPECT_EQ(EachPeriod(v.Render(), 184, 90), (std::vector<int>{330, 500}));
  EXPECT_EQ(v.Prosody.Repeats, 4);
}

TEST(Rendering, TimbreShapesUncutPeriods) {
  // At 60 Hz a 100-sample period needs no cut; timbre decides its edges.
  struct Case {
    int timbre;
    std::vector<std::pair<int, int>> samples;  // (index, value)
  };
  const Case cases[] = {
      {0, {{0, 500}, {37, 500}, {99, 500}, {100, 250}}},
      {1, {{0, 0}, {37, 208}, {89, 500}, {99, 0}}},  // (0, 9) over all 200 bytes
      {3, {{0, 0}, {37, 280}, {72, 62}, {73, 0}}},   // cut to 74 samples first
      {2, {{0, 0}, {1, 45}, {11, 500}, {99, 0}}},    // (9, 0)
  };
  for (const Case& c : cases) {
    RenderVoice v('a', 1, 2);
    v.Prosody.CurrentPitch = v.Prosody.PitchCeiling = 60;
    v.FTimbre = static_cast<std::uint16_t>(c.timbre);
    v.FBank[1] = SampleBytes(Repeat(1000, 100));
    std::vector<int> s = v.Render();
    ASSERT_EQ(s.size(), 2u * 368u) << c.timbre;
    for (auto [i, value] : c.samples)
      EXPECT_EQ(s[i], value) << "timbre " << c.timbre << " at " << i;
  }
}

TEST(Rendering, TimbresMixingTheTwoReversedSamples) {
  struct Case {
    int timbre;
    std::vector<int> first;
  };
  const Case cases[] = {
      {0, {5, 10, 15, 20}},
      {5, {500, 495, 490, 485}},  // the whole period reversed
      {7, {7, 7, 8, 10}},         // 50/50 with the two first samples reversed, dying away
      {6, {8, 6, 6, 7}},
  };
  for (const Case& c : cases) {
    RenderVoice v('o', 28, 2);
    v.Prosody.CurrentPitch = v.Prosody.PitchCeiling = 60;
    v.FTimbre = static_cast<std::uint16_t>(c.timbre);
    std::vector<int> ramp;
    for (int i = 1; i <= 100; ++i) ramp.push_back(10 * i);
    v.FBank[28] = SampleBytes(ramp);
    std::vector<int> s = v.Render();
    EXPECT_EQ(std::vector<int>(s.begin(), s.begin() + 4), c.first) << "timbre " << c.timbre;
  }
}

TEST(Rendering, OneRandomDrawPerPeriodWhateverTheTimbre) {
  for (int timbre : {0, 9}) {
    platform::RandSeed(1234);
    RenderVoice v('e', 10, 6);
    v.FTimbre = static_cast<std::uint16_t>(timbre);
    v.FBank[10] = SampleBytes(Repeat(1000, 150));
    v.Render();
    const int after = platform::Random(1000000);
    platform::RandSeed(1234);
    for (int k = 0; k < 6; ++k) platform::Random(26);
    EXPECT_EQ(after, platform::Random(1000000)) << "timbre " << timbre;
  }
}
