// Whether a file is the engine's output form (header only, for GoogleTest programs): the
// 44-byte header of 16-bit mono PCM at `rate`, with the sizes the file's length gives.
//   EXPECT_TRUE(testsupport::IsMonoPcmWave(wav, 22050));
// On failure it names every field that is wrong, with the value found and the one expected.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "tests/support/Wav.h"

namespace testsupport {

inline ::testing::AssertionResult IsMonoPcmWave(const std::string& wav, std::uint32_t rate) {
  const std::size_t n = wav.size();
  if (n < 44) return ::testing::AssertionFailure() << n << " bytes: no room for the header";
  std::ostringstream wrong;
  const auto text = [&](const char* field, std::size_t at, const std::string& want) {
    const std::string got = wav.substr(at, want.size());
    if (got != want) wrong << "\n  " << field << ": \"" << got << "\", not \"" << want << "\"";
  };
  const auto number = [&](const char* field, std::size_t at, int bytes, std::uint64_t want) {
    const std::uint64_t got = bytes == 2 ? U16(wav, at) : U32(wav, at);
    if (got != want) wrong << "\n  " << field << ": " << got << ", not " << want;
  };
  text("chunk id", 0, "RIFF");
  number("RIFF size", 4, 4, n - 8);
  text("form and format chunk", 8, "WAVEfmt ");
  number("format chunk size", 16, 4, 16);
  number("format (PCM)", 20, 2, 1);
  number("channels", 22, 2, 1);
  number("rate", 24, 4, rate);
  number("bytes per second", 28, 4, 2ull * rate);
  number("block size", 32, 2, 2);
  number("bits per sample", 34, 2, 16);
  text("data chunk id", 36, "data");
  number("data size", 40, 4, n - 44);
  if (n % 2 != 0) wrong << "\n  " << n << " bytes: not whole 16-bit samples";
  if (wrong.str().empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "not a 16-bit mono PCM file at " << rate << wrong.str();
}

}  // namespace testsupport
