#include "app/SlotTuning.h"

#include "banks/BankText.h"
#include "platform/core/Beep.h"
#include "platform/core/Numeric.h"
#include "platform/core/SampleCodec.h"

std::string ScaleSampleLevel(const std::string& S, std::uint8_t OldLevel, std::uint8_t NewLevel) {
  if (NewLevel < 1 || NewLevel > 99) {
    platform::MessageBeep(0);
    return std::string();
  }
  std::string r(S.size() & ~static_cast<std::size_t>(1), '\0');
  for (std::size_t k = 0; k + 1 < S.size(); k += 2) {
    const std::int16_t x = platform::LoadSample(&S[k]);
    platform::StoreSample(&r[k], platform::Wrap16(platform::Div(x, OldLevel) * NewLevel));
  }
  return r;
}

std::string SlotExportText(const std::string& slot) {
  std::size_t from = 0;
  while (slot.size() - from > 2 && slot[from] == 0 && slot[from + 1] == 0) from += 2;
  return banks::WriteElement(std::string_view(slot).substr(from));
}
