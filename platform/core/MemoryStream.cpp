#include "platform/core/MemoryStream.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace platform {

void MemoryStream::SetSize(std::size_t size) {
  data_.resize(size, 0);
  if (pos_ > size) pos_ = size;
}

std::size_t MemoryStream::Read(void* dst, std::size_t count) {
  if (pos_ >= data_.size()) return 0;
  std::size_t n = std::min(count, data_.size() - pos_);
  if (n) std::memcpy(dst, data_.data() + pos_, n);
  pos_ += n;
  return n;
}

void MemoryStream::Write(const void* src, std::size_t count) {
  if (count == 0) return;
  if (pos_ + count > data_.size()) data_.resize(pos_ + count, 0);
  std::memcpy(data_.data() + pos_, src, count);
  pos_ += count;
}

std::uint8_t MemoryStream::ReadByte() {
  if (pos_ >= data_.size()) throw std::out_of_range("MemoryStream: read past end");
  return data_[pos_++];
}

void MemoryStream::WriteByte(std::uint8_t b) { Write(&b, 1); }

std::int16_t MemoryStream::ReadSample() {
  if (pos_ + 2 > data_.size()) throw std::out_of_range("MemoryStream: read past end");
  std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return static_cast<std::int16_t>(v);
}

void MemoryStream::WriteSample(std::int16_t s) {
  std::uint16_t v = static_cast<std::uint16_t>(s);
  std::uint8_t b[2] = {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)};
  Write(b, 2);
}

std::int16_t MemoryStream::SampleAt(std::size_t i) const {
  if (2 * i + 2 > data_.size()) throw std::out_of_range("MemoryStream: sample out of range");
  return static_cast<std::int16_t>(
      static_cast<std::uint16_t>(data_[2 * i] | (data_[2 * i + 1] << 8)));
}

void MemoryStream::SetSampleAt(std::size_t i, std::int16_t s) {
  if (2 * i + 2 > data_.size()) throw std::out_of_range("MemoryStream: sample out of range");
  std::uint16_t v = static_cast<std::uint16_t>(s);
  data_[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
  data_[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
}

void MemoryStream::CopyFrom(MemoryStream& src, std::size_t count) {
  if (count == 0) {
    src.pos_ = 0;
    count = src.data_.size();
  }
  if (src.pos_ > src.data_.size() || count > src.data_.size() - src.pos_)
    throw std::out_of_range("MemoryStream: copy past end of source");
  if (&src == this) {
    std::vector<std::uint8_t> tmp(data_.begin() + pos_, data_.begin() + pos_ + count);
    src.pos_ += count;
    Write(tmp.data(), count);
    return;
  }
  Write(src.data_.data() + src.pos_, count);
  src.pos_ += count;
}

void MemoryStream::Assign(const std::string& bytes) {
  data_.assign(bytes.begin(), bytes.end());
  pos_ = 0;
}

void MemoryStream::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out)
    throw std::runtime_error("No se puede crear el archivo " + path + ": " + std::strerror(errno));
  out.write(reinterpret_cast<const char*>(data_.data()),
            static_cast<std::streamsize>(data_.size()));
  out.close();
  if (!out) throw std::runtime_error("Error al escribir " + path);
}

}  // namespace platform
