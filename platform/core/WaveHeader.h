// The canonical 44-byte header of a RIFF WAVE file holding PCM: the RIFF chunk's head, one
// 16-byte fmt chunk and the data chunk's head, little-endian. The samples follow it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

inline constexpr std::size_t kWaveHeaderSize = 44;

struct WaveFormat {
  std::uint16_t channels = 1;
  std::uint16_t bits = 16;
  std::uint32_t rate = 22050;

  std::uint32_t BlockAlign() const { return std::uint32_t{channels} * bits / 8; }
};

// The header in front of dataBytes bytes of samples. Every size field is 32 bits and wraps
// as such; a caller with more data has to refuse it first.
std::array<std::uint8_t, kWaveHeaderSize> WaveHeader(const WaveFormat& format,
                                                     std::uint32_t dataBytes);

}  // namespace platform
