// 16-bit little-endian samples in byte buffers, as the memory streams, the voices and the WAV
// files hold them.
#pragma once

#include <cstdint>

namespace platform {

inline std::int16_t LoadSample(const std::uint8_t* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

inline void StoreSample(std::uint8_t* p, std::int16_t s) {
  const auto v = static_cast<std::uint16_t>(s);
  p[0] = static_cast<std::uint8_t>(v & 0xFF);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline std::int16_t LoadSample(const char* p) {
  return LoadSample(reinterpret_cast<const std::uint8_t*>(p));
}
inline void StoreSample(char* p, std::int16_t s) {
  StoreSample(reinterpret_cast<std::uint8_t*>(p), s);
}

}  // namespace platform
