#include "app/SlotTuning.h"

#include "banks/BankText.h"
#include "platform/core/Beep.h"
#include "platform/core/Numeric.h"

std::string ScaleSampleLevel(const std::string& S, std::uint8_t OldLevel, std::uint8_t NewLevel) {
  if (NewLevel < 1 || NewLevel > 99) {
    platform::MessageBeep(0);
    return std::string();
  }
  std::string r(S.size() & ~static_cast<std::size_t>(1), '\0');
  for (std::size_t k = 0; k + 1 < S.size(); k += 2) {
    auto x = static_cast<std::int16_t>(static_cast<std::uint16_t>(
        static_cast<unsigned char>(S[k]) | (static_cast<unsigned char>(S[k + 1]) << 8)));
    std::int16_t y = platform::Wrap16(platform::Div(x, OldLevel) * NewLevel);
    auto u = static_cast<std::uint16_t>(y);
    r[k] = static_cast<char>(u & 0xFF);
    r[k + 1] = static_cast<char>(u >> 8);
  }
  return r;
}

std::string SlotExportText(const std::string& slot) {
  std::size_t from = 0;
  while (slot.size() - from > 2 && slot[from] == 0 && slot[from + 1] == 0) from += 2;
  return banks::WriteElement(std::string_view(slot).substr(from));
}
