// The phoneme slots of a voice bank, one row per phoneme: its label, its base slot and the
// four variant slots for the vowel after it, the kind of sound it holds, the banks whose
// slots hold a recording, and the length and level range of its recordings over all banks.
// Everything that names a slot by number or label asks this table; adding a slot is one row.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace banks {

// 0 to 119; slot 0 has no recording and no label.
using TPhonemeSlot = int;
constexpr int SlotCount = 120;

// What a phoneme's recordings are.
enum class SlotKind {
  Vowel,      // one pitch period, repeated and reshaped by the engine
  Period,     // l, m and n: one pitch period, like a vowel
  Voiced,     // a whole voiced consonant, played once
  Voiceless,  // a whole voiceless consonant, played once
  Unused,     // never recorded
};

// Variant k (0 to 3) is the phoneme before the vowel VariantVowels[k]; its label is the
// phoneme's followed by the digit k + 2.
inline constexpr std::string_view VariantVowels = "eiou";
constexpr int VariantCount = 4;

// Sets of banks: bit b stands for bank b.
constexpr unsigned AllBanks = 0x3FF, NoBanks = 0;

struct SlotRow {
  std::string_view label;  // Windows-1252
  TPhonemeSlot base;
  std::array<TPhonemeSlot, VariantCount> variants;  // all 0 when the phoneme has none
  SlotKind kind;
  unsigned baseBanks;          // banks whose base slot holds a recording
  unsigned variantBanks;       // banks whose variant slots do
  int minSamples, maxSamples;  // 0 for a phoneme never recorded
  int minPeak, maxPeak;        // TPeakLevel

  constexpr bool HasVariants() const { return variants[0] != 0; }
  // Recorded as one pitch period: what a vowel glides into.
  constexpr bool IsPeriodic() const { return kind == SlotKind::Vowel || kind == SlotKind::Period; }
};

// In the order of the base slots; slots 45 to 104 are the consonant variants.
// clang-format off
inline constexpr SlotRow SlotTable[] = {
//  label        base  variants 2-5         kind               base in   variants in  samples     peak
    {"a",           1, {2, 3, 4, 5},        SlotKind::Vowel,     AllBanks, NoBanks,     65, 253,    40, 64},
    {"b",           6, {45, 46, 47, 48},    SlotKind::Voiced,    AllBanks, NoBanks,     202, 1063,  7, 13},
    {"k",           7, {49, 50, 51, 52},    SlotKind::Voiceless, AllBanks, AllBanks,    311, 1540,  5, 12},
    {"ch",          8, {53, 54, 55, 56},    SlotKind::Voiceless, AllBanks, AllBanks,    829, 2045,  6, 11},
    {"d",           9, {57, 58, 59, 60},    SlotKind::Voiced,    AllBanks, NoBanks,     190, 1274,  5, 11},
    {"e",          10, {11, 12, 13, 14},    SlotKind::Vowel,     AllBanks, NoBanks,     81, 360,    40, 70},
    {"f",          15, {61, 62, 63, 64},    SlotKind::Voiceless, AllBanks, AllBanks,    1181, 2010, 2, 11},
    {"g",          16, {65, 66, 67, 68},    SlotKind::Voiced,    AllBanks, 0x003,       168, 1000,  6, 11},
    {"i",          17, {18, 19, 20, 21},    SlotKind::Vowel,     AllBanks, NoBanks,     87, 299,    39, 71},
    {"j",          22, {69, 70, 71, 72},    SlotKind::Voiceless, AllBanks, AllBanks,    1223, 1794, 5, 11},
    {"l antigua",  23, {},                  SlotKind::Unused,    NoBanks,  NoBanks,     0, 0,       0, 0},
    {"ll",         24, {97, 98, 99, 100},   SlotKind::Voiced,    AllBanks, AllBanks,    890, 1657,  7, 35},
    {"m antigua",  25, {},                  SlotKind::Unused,    NoBanks,  NoBanks,     0, 0,       0, 0},
    {"n antigua",  26, {},                  SlotKind::Unused,    NoBanks,  NoBanks,     0, 0,       0, 0},
    {"\xF1",       27, {},                  SlotKind::Voiced,    AllBanks, NoBanks,     722, 2182,  4, 17},  // ñ
    {"o",          28, {29, 30, 31, 32},    SlotKind::Vowel,     AllBanks, NoBanks,     83, 309,    36, 61},
    {"p",          33, {73, 74, 75, 76},    SlotKind::Voiceless, AllBanks, 0x013,       78, 1344,   7, 13},
    {"r",          34, {77, 78, 79, 80},    SlotKind::Voiced,    AllBanks, 0x1FF,       290, 734,   8, 20},
    {"rr",         35, {81, 82, 83, 84},    SlotKind::Voiced,    AllBanks, 0x1FF,       966, 1981,  8, 27},
    {"s",          36, {85, 86, 87, 88},    SlotKind::Voiceless, AllBanks, AllBanks,    1142, 1624, 4, 9},
    {"t",          37, {89, 90, 91, 92},    SlotKind::Voiceless, AllBanks, 0x003,       178, 1238,  4, 15},
    {"u",          38, {39, 40, 41, 42},    SlotKind::Vowel,     AllBanks, NoBanks,     80, 374,    38, 65},
    {"x",          43, {93, 94, 95, 96},    SlotKind::Voiceless, AllBanks, AllBanks,    1178, 2601, 5, 10},
    {"z",          44, {101, 102, 103, 104}, SlotKind::Voiceless, AllBanks, AllBanks,   974, 1635,  5, 14},
    {"l",         105, {106, 107, 108, 109}, SlotKind::Period,   AllBanks, NoBanks,     43, 399,    25, 62},
    {"m",         110, {111, 112, 113, 114}, SlotKind::Period,   AllBanks, NoBanks,     45, 356,    25, 62},
    {"n",         115, {116, 117, 118, 119}, SlotKind::Period,   AllBanks, NoBanks,     36, 316,    25, 63},
};
// clang-format on

// The row labelled `label`, nullptr for none.
constexpr const SlotRow* FindSlotRow(std::string_view label) {
  for (const SlotRow& row : SlotTable)
    if (row.label == label) return &row;
  return nullptr;
}

// Whether the table holds a row labelled `label`. Compile-time checks ask this instead of
// comparing FindSlotRow with nullptr: under GCC's UndefinedBehaviorSanitizer a comparison of
// a pointer into the table with null is not a constant expression.
constexpr bool HasSlotRow(std::string_view label) {
  for (const SlotRow& row : SlotTable)
    if (row.label == label) return true;
  return false;
}

// The row of the phoneme labelled with the one letter c, nullptr for none.
constexpr const SlotRow* FindSlotRow(char c) { return FindSlotRow(std::string_view(&c, 1)); }

// The base slot of a phoneme; 0 (no recording) for a label the table does not hold.
constexpr TPhonemeSlot BaseSlot(std::string_view label) {
  return HasSlotRow(label) ? FindSlotRow(label)->base : 0;
}

// The slot of a phoneme before VariantVowels[k]; 0 when it has no variants.
constexpr TPhonemeSlot VariantSlot(std::string_view label, int k) {
  return HasSlotRow(label) ? FindSlotRow(label)->variants[static_cast<std::size_t>(k)] : 0;
}

// A slot's name: its phoneme's label, followed by the variant digit for a variant slot.
struct SlotName {
  const SlotRow* row;  // nullptr for slot 0 and any slot outside the table
  char digit;          // '2' to '5', or 0 for a base slot
};

constexpr SlotName NameOfSlot(TPhonemeSlot slot) {
  for (const SlotRow& row : SlotTable) {
    if (row.base == slot) return {&row, 0};
    for (int k = 0; k < VariantCount; ++k)
      if (row.variants[static_cast<std::size_t>(k)] == slot)
        return {&row, static_cast<char>('2' + k)};
  }
  return {nullptr, 0};
}

namespace detail {
// Every slot from 1 up is named exactly once, slot 0 never; every label is unique.
constexpr bool NamesEverySlotOnce() {
  std::array<int, SlotCount> seen{};
  for (const SlotRow& row : SlotTable) {
    int sameLabel = 0;
    for (const SlotRow& other : SlotTable) sameLabel += other.label == row.label;
    if (sameLabel != 1) return false;
    if (row.base <= 0 || row.base >= SlotCount) return false;
    ++seen[static_cast<std::size_t>(row.base)];
    for (TPhonemeSlot v : row.variants) {
      if (!row.HasVariants()) break;
      if (v <= 0 || v >= SlotCount) return false;
      ++seen[static_cast<std::size_t>(v)];
    }
  }
  for (int s = 1; s < SlotCount; ++s)
    if (seen[static_cast<std::size_t>(s)] != 1) return false;
  return seen[0] == 0;
}
}  // namespace detail

static_assert(detail::NamesEverySlotOnce(),
              "the slot table names each slot 1 to 119 once, with unique labels");

}  // namespace banks
