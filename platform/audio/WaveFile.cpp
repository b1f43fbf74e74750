#include "platform/audio/WaveFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace platform {
namespace {

uint32_t U32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
         uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, size_t at) {
  return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

// Largest file we take in; a sentence of speech is far below it.
constexpr uint64_t kMaxFileBytes = uint64_t{1} << 30;

}  // namespace

WaveError ParseWave(const std::string& bytes, WaveData& out) {
  const size_t n = bytes.size();
  if (n < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
    return WaveError::Malformed;
  const uint64_t riff_end = uint64_t{8} + U32(bytes, 4);
  if (riff_end > n || riff_end < 12) return WaveError::Malformed;

  bool have_fmt = false, have_data = false;
  uint16_t tag = 0, channels = 0, bits = 0, align = 0;
  uint32_t rate = 0;
  size_t data_at = 0;
  uint32_t data_size = 0;

  uint64_t at = 12;
  while (at + 8 <= riff_end) {
    const uint32_t size = U32(bytes, at + 4);
    const uint64_t body = at + 8;
    if (body + size > riff_end) return WaveError::Malformed;
    if (bytes.compare(at, 4, "fmt ") == 0) {
      if (have_fmt || size < 16) return WaveError::Malformed;
      tag = U16(bytes, body);
      channels = U16(bytes, body + 2);
      rate = U32(bytes, body + 4);
      align = U16(bytes, body + 12);
      bits = U16(bytes, body + 14);
      have_fmt = true;
    } else if (bytes.compare(at, 4, "data") == 0) {
      if (have_data) return WaveError::Malformed;
      data_at = size_t(body);
      data_size = size;
      have_data = true;
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  if (!have_fmt || !have_data) return WaveError::Malformed;
  if (tag != 1 || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || rate == 0 ||
      rate > 384000 || align != channels * bits / 8)
    return WaveError::Unsupported;

  out.channels = channels;
  out.bits = bits;
  out.rate = rate;
  out.samples.assign(bytes, data_at, data_size - data_size % align);
  return WaveError::None;
}

WaveError ReadWaveFile(const std::string& path, WaveData& out) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (ec || !fs::exists(st)) return WaveError::NotFound;
  if (!fs::is_regular_file(st)) return WaveError::NotAFile;
  const uintmax_t size = fs::file_size(path, ec);
  if (ec) return WaveError::NotFound;
  if (size > kMaxFileBytes) return WaveError::Unsupported;
  std::ifstream in(path, std::ios::binary);
  if (!in) return WaveError::NotFound;
  std::string bytes(size_t(size), '\0');
  in.read(bytes.data(), std::streamsize(bytes.size()));
  bytes.resize(size_t(in.gcount()));  // the file may have shrunk meanwhile
  return ParseWave(bytes, out);
}

std::string EncodeWave(const WaveData& data) {
  const auto header = WaveHeader(data, uint32_t(data.samples.size()));
  std::string b;
  b.reserve(header.size() + data.samples.size());
  b.append(header.begin(), header.end());
  b += data.samples;
  return b;
}

bool WriteWaveFile(const std::string& path, const WaveData& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  const std::string bytes = EncodeWave(data);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  return bool(out);
}

}  // namespace platform
