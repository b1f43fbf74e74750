// Small helpers for engine tests: sample strings and streams from plain numbers, and a
// synthesis object that never runs its thread body.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/core/MemoryStream.h"
#include "speech/CreateVoice.h"

namespace enginetest {

inline std::string Bytes(const std::vector<int>& samples) {
  std::string s;
  for (int v : samples) {
    const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
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

inline std::vector<int> Samples(const platform::MemoryStream& s, std::size_t from = 0) {
  return Samples(s.ToString(), from);
}

inline void Fill(platform::MemoryStream& s, const std::vector<int>& samples) {
  s.Assign(Bytes(samples));
}

// Whole files and the little-endian fields of a WAV header.
inline std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
inline std::uint32_t U32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<std::uint8_t>(s[at + k]);
  return v;
}
inline std::uint32_t U16(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | (static_cast<std::uint8_t>(s[at + 1]) << 8);
}

inline std::vector<int> Repeat(int value, int count) { return std::vector<int>(count, value); }

// A TCreateVoice that no thread runs, with its work streams in place, for calling single
// stages.
struct Voice : TCreateVoice {
  Voice() {
    FPhoneStream = std::make_unique<platform::MemoryStream>();
    FPeriodStream = std::make_unique<platform::MemoryStream>();
    FVoicingStream = std::make_unique<platform::MemoryStream>();
    ReverseScratch = std::make_unique<platform::MemoryStream>();
    WaveStream = std::make_unique<platform::MemoryStream>();
    for (auto& slot : FBank) slot = std::string(2, '\0');
  }
};

}  // namespace enginetest
