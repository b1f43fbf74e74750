#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/core/Cp1252.h"
#include "platform/core/MemoryStream.h"
#include "platform/core/Random.h"
#include "tests/support/Files.h"

using namespace platform;

TEST(MemoryStream, SamplesAreLittleEndianAndWriteGrows) {
  MemoryStream s;
  s.WriteSample(-2);
  s.WriteSample(0x1234);
  ASSERT_EQ(s.Size(), 4u);
  EXPECT_EQ(s.Bytes()[0], 0xFE);
  EXPECT_EQ(s.Bytes()[1], 0xFF);
  EXPECT_EQ(s.Bytes()[2], 0x34);
  EXPECT_EQ(s.Bytes()[3], 0x12);
  s.Seek(0);
  EXPECT_EQ(s.ReadSample(), -2);
  EXPECT_EQ(s.ReadSample(), 0x1234);
  EXPECT_THROW(s.ReadSample(), std::out_of_range);
  s.Seek(10);
  s.WriteByte(7);
  EXPECT_EQ(s.Size(), 11u);
  EXPECT_EQ(s.Bytes()[5], 0);
}

TEST(MemoryStream, SetSizeClampsPositionAndCopyFromAppends) {
  MemoryStream a, b;
  a.Assign(std::string("\x01\x02\x03\x04", 4));
  b.SetSize(2);
  b.Seek(2);
  b.CopyFrom(a, 0);
  EXPECT_EQ(b.ToString(), std::string("\0\0\x01\x02\x03\x04", 6));
  b.SetSize(1);
  EXPECT_EQ(b.Position(), 1u);
  a.Seek(3);
  EXPECT_THROW(b.CopyFrom(a, 2), std::out_of_range);
}

TEST(MemoryStream, SaveToFileReplacesAndReportsFailure) {
  const testsupport::TempDir temp{"stream"};
  const auto path = temp.path / "saved.bin";
  MemoryStream s;
  s.Assign("hello");
  s.SaveToFile(path.string());
  s.Assign("hi");
  s.SaveToFile(path.string());
  EXPECT_EQ(testsupport::ReadFile(path), "hi");
  EXPECT_THROW(s.SaveToFile("/nonexistent-dir/x.bin"), std::runtime_error);
}

TEST(Cp1252, RoundTripsEveryByteAndMarksTheUnknown) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Cp1252ToUtf8("\xF1"), "\xC3\xB1");      // ñ
  EXPECT_EQ(Cp1252ToUtf8("\x97"), "\xE2\x80\x94");  // em dash
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82\xAC"), "\x80");  // euro sign
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");     // a CJK character
  EXPECT_EQ(Utf8ToCp1252("a\xFF"
                         "b"),
            "a?b");  // malformed byte
  EXPECT_TRUE(
      IsValidUtf8("\xC2\xBF"
                  "Qu\xC3\xA9?"));
  EXPECT_FALSE(
      IsValidUtf8("\xBF"
                  "Qu\xE9?"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
}

TEST(Random, SameSeedSameSequenceAndInRange) {
  RandSeed(42);
  int first[8];
  for (int& v : first) v = Random(1000);
  RandSeed(42);
  for (int v : first) EXPECT_EQ(Random(1000), v);
  for (int k = 0; k < 10000; ++k) {
    int v = Random(7);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 7);
  }
  EXPECT_EQ(Random(0), 0);
}
