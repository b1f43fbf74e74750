// The temporary file's 44-byte RIFF WAVE header.
#include "speech/CreateVoice.h"

namespace {
void Put32(std::array<std::uint8_t, 44>& b, int at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}
void Put16(std::array<std::uint8_t, 44>& b, int at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutTag(std::array<std::uint8_t, 44>& b, int at, const char* tag) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(tag[k]);
}
}  // namespace

std::array<std::uint8_t, 44> TWaveHeader::Bytes() const {
  std::array<std::uint8_t, 44> b{};
  PutTag(b, 0, "RIFF");
  Put32(b, 4, RiffSize);
  PutTag(b, 8, "WAVE");
  PutTag(b, 12, "fmt ");
  Put32(b, 16, 16);
  Put16(b, 20, 1);  // PCM
  Put16(b, 22, 1);  // mono
  Put32(b, 24, SampleRate);
  Put32(b, 28, SampleRate * 2);
  Put16(b, 32, 2);
  Put16(b, 34, 16);
  PutTag(b, 36, "data");
  Put32(b, 40, DataSize);
  return b;
}
