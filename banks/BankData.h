// The raw bank data written by bank_embed at build time, one generated source per voice.
#pragma once

#include <string_view>

#include "banks/VoiceBanks.h"

namespace banks {
#define ORV_BANK(Voice)                                   \
  namespace Voice {                                       \
  extern const std::string_view VoiceBankData[SlotCount]; \
  }
ORV_BANK(Varquelo)
ORV_BANK(Lidrena)
ORV_BANK(Burtalo)
ORV_BANK(Tesmira)
ORV_BANK(Odelmo)
ORV_BANK(Crestia)
ORV_BANK(Hermodo)
ORV_BANK(Quirela)
ORV_BANK(Dorvano)
ORV_BANK(Nevrina)
#undef ORV_BANK
}  // namespace banks
