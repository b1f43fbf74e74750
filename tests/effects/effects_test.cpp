#include "speech/Effects.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/core/MemoryStream.h"
#include "platform/core/Numeric.h"
#include "platform/core/Random.h"

namespace {

using Samples = std::vector<std::int16_t>;

// A header area whose bytes are all distinct from zero, so a lost byte shows.
std::uint8_t HeaderByte(std::size_t i) { return static_cast<std::uint8_t>(0xA0 + i); }

platform::MemoryStream Stream(const Samples& s, std::size_t header) {
  platform::MemoryStream m;
  for (std::size_t i = 0; i < header; ++i) m.WriteByte(HeaderByte(i));
  for (std::int16_t v : s) m.WriteSample(v);
  return m;
}
platform::MemoryStream Image(const Samples& s) { return Stream(s, speech::kWaveHeaderSize); }

Samples Read(const platform::MemoryStream& m, std::size_t header) {
  Samples out;
  for (std::size_t i = header / 2; i < m.SampleCount(); ++i) out.push_back(m.SampleAt(i));
  return out;
}
Samples ImageSamples(const platform::MemoryStream& m) {
  EXPECT_GE(m.Size(), speech::kWaveHeaderSize);
  EXPECT_EQ(m.Size() % 2, 0u);
  return Read(m, speech::kWaveHeaderSize);
}

bool HeaderAreaAsGiven(const platform::MemoryStream& m) {
  if (m.Size() < speech::kWaveHeaderSize) return false;
  for (std::size_t i = 0; i < speech::kWaveHeaderSize; ++i)
    if (m.Data()[i] != HeaderByte(i)) return false;
  return true;
}

// ---- ConvertRate ----

struct RateCase {
  std::uint32_t rate;
  std::size_t count;
  std::vector<std::size_t> kept;  // indexes of the input samples that remain
};

TEST(ConvertRate, KeepsTheSamplesChosenByTheRate) {
  const RateCase cases[] = {
      {11025, 5, {0, 2}},
      {11025, 6, {0, 2, 4}},  // the last sample never stays at 11025
      {11025, 2, {0}},
      {11025, 1, {}},
      {8000, 7, {0, 3}},
      {8000, 4, {0}},  // nor at 8000
      {8000, 0, {}},
      {16000, 6, {0, 2, 3, 5}},
      {16000, 7, {0, 2, 3, 5}},
      {16000, 9, {0, 2, 3, 5, 6, 8}},  // the last stays when its index leaves remainder 2
      {16000, 8, {0, 2, 3, 5, 6}},
      {22050, 3, {0, 2}},
      {16000, 1, {}},
  };
  for (const RateCase& c : cases) {
    // Extreme neighbours: a difference of the two that wrapped wrongly would show.
    Samples in;
    for (std::size_t i = 0; i < c.count; ++i)
      in.push_back(static_cast<std::int16_t>(i % 2 ? -32768 + int(i) : 32767 - int(i)));
    Samples expected;
    for (std::size_t i : c.kept) expected.push_back(in[i]);

    platform::MemoryStream wave = Image(in);
    speech::ConvertRate(wave, c.rate);
    EXPECT_EQ(ImageSamples(wave), expected) << "rate " << c.rate << ", " << c.count << " samples";
    EXPECT_TRUE(HeaderAreaAsGiven(wave)) << "rate " << c.rate << ", " << c.count << " samples";
  }
}

TEST(ConvertRate, OneSecondAt8000HoldsOneThirdOfTheMaterial) {
  Samples in(22050);
  for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<std::int16_t>(i * 7);
  platform::MemoryStream wave = Image(in);
  speech::ConvertRate(wave, 8000);
  const Samples out = ImageSamples(wave);
  ASSERT_EQ(out.size(), 7350u);
  EXPECT_EQ(out[1], in[3]);
  EXPECT_EQ(out[7349], in[22047]);
}

// ---- CutTreble ----

struct TrebleCase {
  std::uint8_t passes;
  Samples in, out;
};

TEST(CutTreble, SmoothsForwardAndTrimsThePadding) {
  const TrebleCase cases[] = {
      // Nothing quiet at the head: the whole front padding stays.
      {1, {300, 300, 600, 900}, {100, 200, 400, 600, 500, 300}},
      // Means are truncated toward zero, also below zero.
      {1, {-301, -301}, {-100, -200, -200}},
      // A loud end keeps its smoothed decay down to the first sample under 128.
      {2, {30, 30, 3000, 3000, 3000}, {10, 350, 1016, 2010, 2336, 2000, 1000, 333}},
      {1, {0, 0, 0, 0, 3000}, {0, 0, 0, 1000, 1000, 1000}},
      // Head trimmed at the first quiet index found going down from the passes count.
      {2, {0, 0, 0, 0, 1500}, {0, 166, 333, 500, 333, 166}},
      {2, {0, 0, 120}, {13, 26, 40, 26}},
      // The tail stops only under a magnitude of 128, the head at 20 or less.
      {1, {384, 384}, {128, 256, 256, 128}},
      {1, {383, 383}, {127, 255, 255}},
      {1, {-384, -384}, {-128, -256, -256, -128}},
      {1, {30, 30}, {20, 20}},
      {1, {-30, -30}, {-20, -20}},
      {1, {31, 32}, {10, 21, 21}},
      {1, {-31, -32}, {-10, -21, -21}},
      // Fewer than two samples left: filled up with zeros.
      {1, {5}, {1, 0}},
      {1, {}, {0, 0}},
      {4, {}, {0, 0}},
  };
  for (const TrebleCase& c : cases) {
    platform::MemoryStream phone = Stream(c.in, 0);
    speech::CutTreble(phone, c.passes);
    EXPECT_EQ(Read(phone, 0), c.out) << int(c.passes) << " passes on " << c.in.size() << " samples";
  }
}

TEST(CutTreble, NeverShortensAPhoneme) {
  std::uint32_t state = 12345;
  for (std::uint8_t passes = 1; passes <= 4; ++passes) {
    for (std::size_t n : {2u, 3u, 7u, 250u}) {
      // Silence keeps its length exactly.
      platform::MemoryStream silence = Stream(Samples(n, 0), 0);
      speech::CutTreble(silence, passes);
      EXPECT_EQ(Read(silence, 0), Samples(n, 0)) << int(passes) << " passes, " << n;

      // Any sound keeps at least its length.
      Samples noise(n);
      for (auto& v : noise) {
        state = state * 1103515245u + 12345u;
        v = static_cast<std::int16_t>(state >> 16);
      }
      platform::MemoryStream phone = Stream(noise, 0);
      speech::CutTreble(phone, passes);
      EXPECT_GE(phone.SampleCount(), n) << int(passes) << " passes, " << n;
    }
  }
}

// ---- Compress ----

struct CompressCase {
  const char* what;
  std::uint8_t level;
  Samples in, out;
};

TEST(Compress, ScalesLoudSegmentsAndDropsTheLastSample) {
  const CompressCase cases[] = {
      {"peak at the limit", 1, {3276, -2000, 5, 7}, {3276, -2000, 5}},
      {"peak one above", 1, {3277, 2000, -2000, 9}, {3276, 1999, -1999}},
      {"-32768 counts as 32768, halves to even",
       3,
       {-32768, 16384, -16384, 1, 0},
       {-655, 328, -328, 0}},
      {"level 2", 2, {3932, 983, -1, 77}, {1966, 492, 0}},
      // The first zero comes with six samples held: no cut, so 2000 is scaled with 4000.
      {"zero after six",
       1,
       {4000, 1, 1, 1, 1, 1, 0, 2000, 0, 2000, 9},
       {3276, 1, 1, 1, 1, 1, 0, 1638, 0, 2000}},
      // With seven held the zero opens a quiet segment of its own.
      {"zero after seven",
       1,
       {4000, 1, 1, 1, 1, 1, 1, 0, 2000, 9},
       {3276, 1, 1, 1, 1, 1, 1, 0, 2000}},
      {"one sample", 1, {5000}, {}},
      {"no samples", 3, {}, {}},
  };
  for (const CompressCase& c : cases) {
    platform::MemoryStream wave = Image(c.in);
    speech::Compress(wave, c.level);
    EXPECT_EQ(ImageSamples(wave), c.out) << c.what;
    EXPECT_TRUE(HeaderAreaAsGiven(wave)) << c.what;
  }
}

TEST(Compress, OtherLevelsLeaveTheImageAlone) {
  const Samples in = {30000, -30000, 0, 0, 0, 0, 0, 0, 0, 0, 12345};
  for (std::uint8_t level : {0, 4, 255}) {
    platform::MemoryStream wave = Image(in);
    const auto before = wave.Bytes();
    speech::Compress(wave, level);
    EXPECT_EQ(wave.Bytes(), before) << "level " << int(level);
  }
}

// ---- AddReverb ----

struct ReverbShape {
  std::uint16_t setting;
  std::int32_t taps, step;
};
const ReverbShape kShapes[] = {{1, 4, 600}, {2, 9, 900},  {3, 16, 1200},
                               {4, 4, 900}, {5, 9, 1350}, {6, 16, 1800}};

// The draws the reverberation makes, in its order: gains up, then jitters down.
struct Draws {
  std::vector<std::int32_t> gain, delay;
};
Draws DrawFor(const ReverbShape& s, std::uint32_t seed) {
  platform::RandSeed(seed);
  Draws d{std::vector<std::int32_t>(s.taps), std::vector<std::int32_t>(s.taps)};
  for (std::int32_t k = 0; k < s.taps; ++k) d.gain[k] = 75 + platform::Random(25);
  for (std::int32_t k = s.taps - 1; k >= 0; --k)
    d.delay[k] = (s.taps - k) * s.step + platform::Random(2 * s.step / 3);
  return d;
}

TEST(AddReverb, LengthensByTheLongestDelayAndKeepsTheHeaderArea) {
  const Samples in = {100, -200, 300, 0, 5, 32767, -32768, 7};
  for (const ReverbShape& s : kShapes) {
    const std::int32_t lo = s.taps * s.step, hi = lo + 2 * s.step / 3 - 1;
    for (std::uint32_t seed = 1; seed <= 120; ++seed) {
      platform::RandSeed(seed);
      platform::MemoryStream wave = Image(in);
      speech::AddReverb(wave, s.setting);
      const std::size_t added = wave.SampleCount() - speech::kWaveHeaderSize / 2 - in.size();
      ASSERT_GE(added, std::size_t(lo)) << "setting " << s.setting << " seed " << seed;
      ASSERT_LE(added, std::size_t(hi)) << "setting " << s.setting << " seed " << seed;
      EXPECT_EQ(int(added), DrawFor(s, seed).delay[0]);
      ASSERT_TRUE(HeaderAreaAsGiven(wave)) << "setting " << s.setting << " seed " << seed;
    }
  }
}

TEST(AddReverb, OtherSettingsLeaveTheImageAloneAndDrawNothing) {
  platform::RandSeed(77);
  const std::int32_t first = platform::Random(1000);
  for (std::uint16_t setting : {0, 7, 65535}) {
    platform::RandSeed(77);
    platform::MemoryStream wave = Image({1000, -1000, 3});
    const auto before = wave.Bytes();
    speech::AddReverb(wave, setting);
    EXPECT_EQ(wave.Bytes(), before) << "setting " << setting;
    EXPECT_EQ(platform::Random(1000), first) << "setting " << setting;
  }
}

TEST(AddReverb, SilentSentenceComesBackSilentAndLonger) {
  for (std::uint16_t setting : {1, 6}) {
    platform::RandSeed(5);
    platform::MemoryStream wave = Image(Samples(300, 0));
    ASSERT_NO_THROW(speech::AddReverb(wave, setting)) << "setting " << setting;
    const Samples out = ImageSamples(wave);
    const auto& shape = kShapes[setting - 1];
    EXPECT_EQ(out, Samples(300 + DrawFor(shape, 5).delay[0], 0)) << "setting " << setting;
    EXPECT_TRUE(HeaderAreaAsGiven(wave)) << "setting " << setting;
  }
}

// Two clicks, one at each end: every tap repeats each of them once, weakest latest,
// and the last one's dry term dies away after the end.
TEST(AddReverb, EchoesAndDryTailOfTwoClicks) {
  const ReverbShape& s = kShapes[0];
  const std::size_t n = 10;
  Samples in(n, 0);
  in.front() = -1000;
  in.back() = 1000;
  for (std::uint32_t seed : {3u, 99u, 2024u}) {
    const Draws d = DrawFor(s, seed);
    Samples expected(n + d.delay[0], 0);
    expected[0] = -870;
    std::int32_t dry = 870;
    for (std::size_t t = n - 1; dry != 0; ++t, dry = dry * 87 / 100) expected[t] = dry;
    for (std::int32_t k = 0; k < s.taps; ++k) {
      for (std::size_t at : {std::size_t(0), n - 1}) {
        const std::int64_t o = platform::Round(platform::Extended(in[at]) / (s.taps - k));
        const std::int64_t e = platform::Round(platform::Extended(o * d.gain[k]) / 100);
        expected[at + d.delay[k]] += static_cast<std::int16_t>(e * 13 / 100);
      }
    }
    ASSERT_EQ(expected[n], 756);
    ASSERT_EQ(expected[n + 2], 571);

    platform::RandSeed(seed);
    platform::MemoryStream wave = Image(in);
    speech::AddReverb(wave, s.setting);
    EXPECT_EQ(ImageSamples(wave), expected) << "seed " << seed;
  }
}

// A full-scale sample echoed by the tap that halves it: 32767 / 2 lies at an exact half, and
// the echo takes the floating-point steps through the peak, which land below the half and
// give 16383 where rounding the half to even would give 16384.
TEST(AddReverb, EchoAtAnExactHalfFollowsTheStepsThroughThePeak) {
  const ReverbShape& s = kShapes[0];  // 4 taps; tap 2 divides by 2
  const std::int32_t halved = 16383;
  int discriminating = 0;
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    const Draws d = DrawFor(s, seed);
    Samples expected(1 + d.delay[0], 0);
    for (std::int32_t dry = 32767 * 87 / 100, t = 0; dry != 0; dry = dry * 87 / 100, ++t)
      expected[t] = static_cast<std::int16_t>(dry);
    for (std::int32_t k = 0; k < s.taps; ++k) {
      const std::int64_t o =
          k == 2 ? halved : platform::Round(platform::Extended(32767) / (s.taps - k));
      const std::int64_t e = platform::Round(platform::Extended(o * d.gain[k]) / 100);
      expected[d.delay[k]] = static_cast<std::int16_t>(e * 13 / 100);
    }
    const std::int64_t evenHalf = platform::Round(platform::Extended(16384 * d.gain[2]) / 100);
    if (evenHalf * 13 / 100 != expected[d.delay[2]]) ++discriminating;

    platform::RandSeed(seed);
    platform::MemoryStream wave = Image({32767});
    speech::AddReverb(wave, s.setting);
    ASSERT_EQ(ImageSamples(wave), expected) << "seed " << seed;
  }
  EXPECT_GT(discriminating, 0);  // some gains make the difference audible
}

// Sixteen loud taps add up far beyond 32767; the sum wraps before 13 % of it are taken.
TEST(AddReverb, EchoSumOfSixteenTapsWraps) {
  for (const ReverbShape& s : {kShapes[2], kShapes[5]}) {
    const std::size_t n = 31000;  // longer than any delay: all taps sound at the end
    const std::uint32_t seed = 11;
    const Draws d = DrawFor(s, seed);
    std::int64_t sum = 0;
    for (std::int32_t k = 0; k < s.taps; ++k) {
      const std::int64_t o = platform::Round(platform::Extended(30000) / (s.taps - k));
      sum += platform::Round(platform::Extended(o * d.gain[k]) / 100);
    }
    ASSERT_GT(sum, 32767);
    const std::int16_t wrapped = platform::Wrap16(sum);

    platform::RandSeed(seed);
    platform::MemoryStream wave = Image(Samples(n, 30000));
    speech::AddReverb(wave, s.setting);
    const Samples out = ImageSamples(wave);
    ASSERT_EQ(out.size(), n + d.delay[0]);
    EXPECT_EQ(out[n - 1], wrapped * 13 / 100 + 26100) << "setting " << s.setting;
  }
}

}  // namespace
