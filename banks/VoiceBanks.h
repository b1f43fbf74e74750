// The ten compiled-in voice banks and the types of their phoneme slots.
//
// Each bank is 120 sample strings of 16-bit signed little-endian mono PCM at 22050 samples
// per second, indexed by phoneme slot. Slot 0 and every slot without a recording hold
// EmptySlot. The banks are built into the program from banks/<Voice>.bank (see
// BankText.h for the form); nothing is read from disk at run time.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "banks/SlotTable.h"

namespace banks {

// Raw sample bytes, two per sample, little-endian.
using TSampleString = std::string;

using TVoiceBank = std::array<TSampleString, SlotCount>;

// Voice items per bank: bank = voice item div VariantsPerVoice.
constexpr int VariantsPerVoice = 9;
constexpr int BankCount = 10;

// A single zero sample. A slot is empty exactly when its content equals these two bytes.
inline const TSampleString EmptySlot(2, '\0');
inline bool IsEmptySlot(std::string_view s) { return s.size() == 2 && s[0] == 0 && s[1] == 0; }

// 0 to 100: the largest sample magnitude as a rounded percentage of 32767.
using TPeakLevel = std::uint8_t;

// Peak level of a sample string: 0 for two bytes or fewer; otherwise the larger of the
// highest sample and minus the lowest (both counted from 0, so -32768 counts 32768),
// times 100 / 32767, rounded to nearest (no exact halves exist). A trailing odd byte is
// not a sample and is ignored.
TPeakLevel PeakLevel(std::string_view s);

// The VoiceBank of bank 0 to 9, in voice-list order (VoiceName). The reference stays valid
// and unchanged for the whole run. Any other index throws std::out_of_range.
const TVoiceBank& VoiceBankTable(int bank);

// The voice of bank 0 to 9: "Varquelo", "Lidrena", ... "Nevrina".
std::string_view VoiceName(int bank);

}  // namespace banks
