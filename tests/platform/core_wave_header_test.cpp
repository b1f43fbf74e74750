#include <gtest/gtest.h>

#include <string>

#include "platform/core/WaveHeader.h"

using platform::WaveFormat;
using platform::WaveHeader;

namespace {
std::string Text(const std::array<std::uint8_t, platform::kWaveHeaderSize>& b) {
  return std::string(b.begin(), b.end());
}
}  // namespace

// Byte for byte, fields that a reader of the file never checks included (byte rate, block
// align): stereo 8-bit, where no field equals another by accident.
TEST(WaveHeader, StereoEightBitHeaderByteForByte) {
  const std::string expected(
      "RIFF\x2A\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0"
      "\x11\x2B\0\0\x22\x56\0\0\x02\0\x08\0data\x06\0\0\0",
      44);
  EXPECT_EQ(Text(WaveHeader({.channels = 2, .bits = 8, .rate = 11025}, 6)), expected);
}

TEST(WaveHeader, SizesFollowTheData) {
  struct Case {
    WaveFormat format;
    std::uint32_t data, riff, byteRate, align;
  } cases[] = {
      {{1, 16, 22050}, 0, 36, 44100, 2},
      {{1, 16, 8000}, 2 * 7350, 36 + 2 * 7350, 16000, 2},
      {{2, 16, 44100}, 4000, 4036, 176400, 4},
      {{1, 8, 8000}, 0xFFFFFFF0u, 0x14, 8000, 1},  // the RIFF size wraps at 32 bits
  };
  for (const Case& c : cases) {
    const std::string h = Text(WaveHeader(c.format, c.data));
    auto u32 = [&](std::size_t at) {
      return std::uint32_t(std::uint8_t(h[at])) | std::uint32_t(std::uint8_t(h[at + 1])) << 8 |
             std::uint32_t(std::uint8_t(h[at + 2])) << 16 |
             std::uint32_t(std::uint8_t(h[at + 3])) << 24;
    };
    SCOPED_TRACE(testing::Message() << c.format.rate << "/" << c.format.channels << "/"
                                    << c.format.bits << " data " << c.data);
    EXPECT_EQ(u32(4), c.riff);
    EXPECT_EQ(u32(24), c.format.rate);
    EXPECT_EQ(u32(28), c.byteRate);
    EXPECT_EQ(u32(32) & 0xFFFF, c.align);
    EXPECT_EQ(u32(40), c.data);
  }
}
