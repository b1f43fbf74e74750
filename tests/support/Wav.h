// Sample strings and WAV files as bytes (16-bit little-endian), header only:
//   SampleBytes({1, -2})   the bytes of those samples, each wrapped to 16 bits
//   Samples(bytes, from)   the samples of a byte string from byte offset `from`
//   U16(bytes, at), U32(bytes, at)  little-endian fields, e.g. U32(wav, 24) is a WAV's rate
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

inline std::string SampleBytes(const std::vector<int>& samples) {
  std::string s;
  for (int v : samples) {
    const auto u = static_cast<std::uint16_t>(v);
    s.push_back(static_cast<char>(u & 0xFF));
    s.push_back(static_cast<char>(u >> 8));
  }
  return s;
}

inline std::vector<int> Samples(const std::string& bytes, std::size_t from = 0) {
  std::vector<int> v;
  for (std::size_t i = from; i + 1 < bytes.size(); i += 2)
    v.push_back(static_cast<std::int16_t>(static_cast<std::uint16_t>(
        static_cast<std::uint8_t>(bytes[i]) | (static_cast<std::uint8_t>(bytes[i + 1]) << 8))));
  return v;
}

inline std::uint32_t U16(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint8_t>(bytes.at(at)) |
         (static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes.at(at + 1))) << 8);
}

inline std::uint32_t U32(const std::string& bytes, std::size_t at) {
  return U16(bytes, at) | (U16(bytes, at + 2) << 16);
}

}  // namespace testsupport
