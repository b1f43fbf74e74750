// Growable byte buffer with a position, the engine's working store for samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class MemoryStream {
 public:
  MemoryStream() = default;

  std::size_t Size() const { return data_.size(); }
  // Grows with zero bytes or cuts; the position is clamped to the new size.
  void SetSize(std::size_t size);
  std::size_t Position() const { return pos_; }
  // Any position is allowed; writing past the end grows the buffer with zeros first.
  void Seek(std::size_t pos) { pos_ = pos; }

  // Reads up to count bytes at the position; returns how many were read.
  std::size_t Read(void* dst, std::size_t count);
  void Write(const void* src, std::size_t count);

  // Byte and 16-bit little-endian sample access. Reads past the end throw
  // std::out_of_range: the engine treats that as a failure, never as data.
  std::uint8_t ReadByte();
  void WriteByte(std::uint8_t b);
  std::int16_t ReadSample();
  void WriteSample(std::int16_t s);

  // Random access without moving the position (offsets in bytes / samples).
  std::int16_t SampleAt(std::size_t sampleIndex) const;
  void SetSampleAt(std::size_t sampleIndex, std::int16_t s);
  std::size_t SampleCount() const { return data_.size() / 2; }

  // Appends count bytes of src from src's position (count 0: the whole of src from its
  // start), as the class-library CopyFrom does. Both positions advance.
  void CopyFrom(MemoryStream& src, std::size_t count);

  void Clear() {
    data_.clear();
    pos_ = 0;
  }

  // Creates or replaces the file; throws std::runtime_error naming the file on failure.
  void SaveToFile(const std::string& path) const;

  const std::uint8_t* Data() const { return data_.data(); }
  std::uint8_t* Data() { return data_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  std::string ToString() const { return std::string(data_.begin(), data_.end()); }
  void Assign(const std::string& bytes);

 private:
  std::vector<std::uint8_t> data_;
  std::size_t pos_ = 0;
};

}  // namespace platform
