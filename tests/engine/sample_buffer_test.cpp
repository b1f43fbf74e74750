#include <gtest/gtest.h>

#include "tests/engine/SampleFixture.h"

using namespace enginetest;
using platform::MemoryStream;

TEST(SampleBuffer, AppendStreamAddsEverySampleAtTheEnd) {
  Voice v;
  MemoryStream src, dst;
  Fill(src, {5, -6, 7});
  dst.SetSize(44);
  v.AppendStream(src, dst);
  ASSERT_EQ(dst.Size(), 50u);
  EXPECT_EQ(Samples(dst, 44), (std::vector<int>{5, -6, 7}));
  EXPECT_EQ(dst.Position(), 50u);

  // A source longer than 65536 samples goes over whole.
  std::vector<int> longer(70001);
  for (std::size_t i = 0; i < longer.size(); ++i) longer[i] = static_cast<int>(i % 1000) - 500;
  Fill(src, longer);
  dst.Clear();
  v.AppendStream(src, dst);
  EXPECT_EQ(Samples(dst), longer);
}

TEST(SampleBuffer, AppendStreamAfterSamplesAndWriteSilence) {
  Voice v;
  MemoryStream src, dst;
  Fill(dst, {1});
  Fill(src, {2, 3});
  v.AppendStream(src, dst);
  EXPECT_EQ(Samples(dst), (std::vector<int>{1, 2, 3}));

  Fill(dst, {9, 9, 9, 9, 9});
  v.WriteSilence(dst, 3);
  EXPECT_EQ(Samples(dst), (std::vector<int>{0, 0, 0}));
  v.WriteSilence(dst, 0);
  EXPECT_EQ(dst.Size(), 0u);
}

TEST(SampleBuffer, MixStreamsScalesTermsAndLetsAnEndedInputLinger) {
  struct Case {
    const char* name;
    std::vector<int> a, b;
    int wa, wb;
    std::vector<int> mixed;
  };
  const Case cases[] = {
      {"each term truncates toward zero", {-3, 7}, {-3, 7}, 50, 50, {-2, 6}},
      {"shorter B keeps halving its last term",
       {0, 0, 0, 0, 0},
       {0, 1000},
       50,
       50,
       {0, 500, 250, 125, 62}},
      {"weight 100 holds an ended term", {4, 4, 4}, {10}, 50, 100, {12, 12, 12}},
      {"an empty input adds nothing", {100, -100}, {}, 66, 33, {66, -66}},
      {"sums wrap to 16 bits", {32767}, {32767}, 100, 100, {-2}},
      {"two empty inputs give nothing", {}, {}, 50, 50, {}},
  };
  for (const Case& c : cases) {
    Voice v;
    MemoryStream a, b, dest;
    Fill(a, c.a);
    Fill(b, c.b);
    Fill(dest, {1, 2, 3, 4, 5, 6, 7, 8});
    v.MixStreams(a, b, dest, static_cast<std::uint8_t>(c.wa), static_cast<std::uint8_t>(c.wb));
    EXPECT_EQ(Samples(dest), c.mixed) << c.name;
    EXPECT_EQ(dest.Position(), 0u) << c.name;
  }
}

TEST(SampleBuffer, MixStreamsIntoOneOfItsInputs) {
  Voice v;
  MemoryStream a, b;
  Fill(a, {1000, 1000, 1000});
  Fill(b, {200, -200});
  v.MixStreams(a, b, b, 50, 50);
  EXPECT_EQ(Samples(b), (std::vector<int>{600, 400, 450}));
  EXPECT_EQ(Samples(a), (std::vector<int>{1000, 1000, 1000}));
}

TEST(SampleBuffer, NormalizeLevelScalesEachHalfToTheTarget) {
  struct Case {
    const char* name;
    std::vector<int> in;
    int level;
    std::vector<int> out;
  };
  const Case cases[] = {
      {"quiet material is left alone", {200, -327, 0}, 100, {200, -327, 0}},
      {"halves apart, 16383.5 to even", {1000, 500, -250}, 100, {32767, 16384, -32767}},
      {"a target of 16383.5", {1000, -500}, 50, {16384, -16384}},
      {"negative half by its own peak", {328, -100, 164, -50}, 10, {3277, -3277, 1638, -1638}},
  };
  for (const Case& c : cases) {
    Voice v;
    MemoryStream s;
    s.SetSize(44);
    std::string bytes = std::string(44, 'x') + SampleBytes(c.in);
    s.Assign(bytes);
    v.NormalizeLevel(s, 44, static_cast<std::int8_t>(c.level));
    EXPECT_EQ(Samples(s, 44), c.out) << c.name;
    EXPECT_EQ(s.Size(), bytes.size()) << c.name;
  }
}

TEST(SampleBuffer, NormalizeLevelWithNothingAfterTheOffset) {
  Voice v;
  MemoryStream s;
  s.Assign(std::string(44, '\x7f'));
  v.NormalizeLevel(s, 44, 80);
  EXPECT_EQ(s.ToString(), std::string(44, '\x7f'));
}

TEST(SampleBuffer, ReverseStream) {
  Voice v;
  MemoryStream s;
  Fill(s, {1, 2, 3});
  v.ReverseStream(s);
  EXPECT_EQ(Samples(s), (std::vector<int>{3, 2, 1}));
  Fill(s, {});
  v.ReverseStream(s);
  EXPECT_EQ(s.Size(), 0u);
}
