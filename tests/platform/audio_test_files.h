// Sound files made on the spot for the sound tests.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/audio/WaveFile.h"

namespace audio_test {

// Samples that differ from frame to frame, so that a lost, repeated or reordered piece shows.
inline platform::WaveData MakeWave(uint32_t rate, uint16_t channels, uint16_t bits,
                                   uint64_t frames) {
  platform::WaveData w;
  w.rate = rate;
  w.channels = channels;
  w.bits = bits;
  w.samples.resize(size_t(frames * w.BlockAlign()));
  uint32_t x = 12345 + rate + channels * 7 + bits;
  for (char& c : w.samples) {
    x = x * 1103515245u + 12345u;
    c = char(x >> 16);
  }
  return w;
}

// A fresh folder under the system's temporary folder, removed with the object.
struct TempDir {
  std::filesystem::path path;
  explicit TempDir(const std::string& tag) {
    path = std::filesystem::temp_directory_path() /
           ("orv_" + tag + "_" + std::to_string(::getpid()) + "_" +
            std::to_string(reinterpret_cast<uintptr_t>(this) & 0xFFFF));
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
    return File(name);
  }
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace audio_test
