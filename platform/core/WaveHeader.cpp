#include "platform/core/WaveHeader.h"

namespace platform {
namespace {

using Header = std::array<std::uint8_t, kWaveHeaderSize>;

void Put32(Header& b, std::size_t at, std::uint32_t v) {
  for (std::size_t k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}
void Put16(Header& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutTag(Header& b, std::size_t at, const char* tag) {
  for (std::size_t k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(tag[k]);
}

}  // namespace

Header WaveHeader(const WaveFormat& format, std::uint32_t dataBytes) {
  Header b{};
  PutTag(b, 0, "RIFF");
  Put32(b, 4, dataBytes + 36);  // the size of all that follows these 8 bytes
  PutTag(b, 8, "WAVE");
  PutTag(b, 12, "fmt ");
  Put32(b, 16, 16);
  Put16(b, 20, 1);  // PCM
  Put16(b, 22, format.channels);
  Put32(b, 24, format.rate);
  Put32(b, 28, format.rate * format.BlockAlign());
  Put16(b, 32, static_cast<std::uint16_t>(format.BlockAlign()));
  Put16(b, 34, format.bits);
  PutTag(b, 36, "data");
  Put32(b, 40, dataBytes);
  return b;
}

}  // namespace platform
