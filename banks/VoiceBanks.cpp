#include "banks/VoiceBanks.h"

#include <stdexcept>

#include "banks/BankData.h"

namespace banks {

namespace {

struct BankSource {
  std::string_view name;
  const std::string_view* data;
};

constexpr BankSource Sources[BankCount] = {
    {"Varquelo", Varquelo::VoiceBankData}, {"Lidrena", Lidrena::VoiceBankData},
    {"Burtalo", Burtalo::VoiceBankData},   {"Tesmira", Tesmira::VoiceBankData},
    {"Odelmo", Odelmo::VoiceBankData},     {"Crestia", Crestia::VoiceBankData},
    {"Hermodo", Hermodo::VoiceBankData},   {"Quirela", Quirela::VoiceBankData},
    {"Dorvano", Dorvano::VoiceBankData},   {"Nevrina", Nevrina::VoiceBankData},
};

void CheckBank(int bank) {
  if (bank < 0 || bank >= BankCount)
    throw std::out_of_range("no voice bank " + std::to_string(bank));
}

// Built once, on first use, from the constant data; never changed afterwards.
const std::array<TVoiceBank, BankCount>& Table() {
  static const std::array<TVoiceBank, BankCount> table = [] {
    std::array<TVoiceBank, BankCount> t;
    for (int b = 0; b < BankCount; ++b)
      for (int s = 0; s < SlotCount; ++s) t[b][s] = TSampleString(Sources[b].data[s]);
    return t;
  }();
  return table;
}

}  // namespace

TPeakLevel PeakLevel(std::string_view s) {
  if (s.size() <= 2) return 0;
  std::int32_t hi = 0, lo = 0;
  for (std::size_t i = 0; i + 1 < s.size(); i += 2) {
    auto v = static_cast<std::int16_t>(static_cast<std::uint16_t>(
        static_cast<unsigned char>(s[i]) | (static_cast<unsigned char>(s[i + 1]) << 8)));
    if (v > hi) hi = v;
    if (v < lo) lo = v;
  }
  std::int32_t p = hi > -lo ? hi : -lo;
  // Nearest integer of p * 100 / 32767; 32767 is odd, so there is never a tie.
  return static_cast<TPeakLevel>((p * 200 + 32767) / (2 * 32767));
}

const TVoiceBank& VoiceBankTable(int bank) {
  CheckBank(bank);
  return Table()[bank];
}

std::string_view VoiceName(int bank) {
  CheckBank(bank);
  return Sources[bank].name;
}

}  // namespace banks
