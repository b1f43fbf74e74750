// The compiled-in banks against the slot table of the voices: this holds for any recordings
// that keep the table, whoever made them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/SlotLabels.h"
#include "banks/VoiceBanks.h"

using namespace banks;

namespace {

constexpr unsigned All = 0x3FF, None = 0;

struct Phoneme {
  std::string label;
  int base;
  std::vector<int> variants;  // slots of the labels with 2, 3, 4, 5
  bool baseFilled;            // in every bank
  unsigned variantBanks;      // bit b: bank b holds the variants
  int minLen, maxLen, minPeak, maxPeak;
};

const std::vector<Phoneme> Table = {
    {"a", 1, {2, 3, 4, 5}, true, None, 65, 253, 40, 64},
    {"b", 6, {45, 46, 47, 48}, true, None, 202, 1063, 7, 13},
    {"k", 7, {49, 50, 51, 52}, true, All, 311, 1540, 5, 12},
    {"ch", 8, {53, 54, 55, 56}, true, All, 829, 2045, 6, 11},
    {"d", 9, {57, 58, 59, 60}, true, None, 190, 1274, 5, 11},
    {"e", 10, {11, 12, 13, 14}, true, None, 81, 360, 40, 70},
    {"f", 15, {61, 62, 63, 64}, true, All, 1181, 2010, 2, 11},
    {"g", 16, {65, 66, 67, 68}, true, 0b0000000011, 168, 1000, 6, 11},
    {"i", 17, {18, 19, 20, 21}, true, None, 87, 299, 39, 71},
    {"j", 22, {69, 70, 71, 72}, true, All, 1223, 1794, 5, 11},
    {"l antigua", 23, {}, false, None, 0, 0, 0, 0},
    {"ll", 24, {97, 98, 99, 100}, true, All, 890, 1657, 7, 35},
    {"m antigua", 25, {}, false, None, 0, 0, 0, 0},
    {"n antigua", 26, {}, false, None, 0, 0, 0, 0},
    {"\xF1", 27, {}, true, None, 722, 2182, 4, 17},
    {"o", 28, {29, 30, 31, 32}, true, None, 83, 309, 36, 61},
    {"p", 33, {73, 74, 75, 76}, true, 0b0000010011, 78, 1344, 7, 13},
    {"r", 34, {77, 78, 79, 80}, true, 0b0111111111, 290, 734, 8, 20},
    {"rr", 35, {81, 82, 83, 84}, true, 0b0111111111, 966, 1981, 8, 27},
    {"s", 36, {85, 86, 87, 88}, true, All, 1142, 1624, 4, 9},
    {"t", 37, {89, 90, 91, 92}, true, 0b0000000011, 178, 1238, 4, 15},
    {"u", 38, {39, 40, 41, 42}, true, None, 80, 374, 38, 65},
    {"x", 43, {93, 94, 95, 96}, true, All, 1178, 2601, 5, 10},
    {"z", 44, {101, 102, 103, 104}, true, All, 974, 1635, 5, 14},
    {"l", 105, {106, 107, 108, 109}, true, None, 43, 399, 25, 62},
    {"m", 110, {111, 112, 113, 114}, true, None, 45, 356, 25, 62},
    {"n", 115, {116, 117, 118, 119}, true, None, 36, 316, 25, 63},
};

const char* const Voices[BankCount] = {"Varquelo", "Lidrena", "Burtalo", "Tesmira", "Odelmo",
                                       "Crestia",  "Hermodo", "Quirela", "Dorvano", "Nevrina"};
const int FilledSlots[BankCount] = {76, 76, 64, 64, 68, 64, 64, 64, 64, 56};

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t p; (p = text.find("\r\n", start)) != std::string_view::npos; start = p + 2)
    lines.emplace_back(text.substr(start, p - start));
  lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace

TEST(SlotTable, CoversEverySlotOnceAndNamesItAsTheLabelsDo) {
  auto labels = Lines(app::SlotLabels);
  ASSERT_EQ(labels.size(), 119u);
  std::set<int> seen;
  for (const auto& p : Table) {
    ASSERT_TRUE(seen.insert(p.base).second) << p.base;
    EXPECT_EQ(labels[p.base - 1], p.label);
    for (std::size_t v = 0; v < p.variants.size(); ++v) {
      ASSERT_TRUE(seen.insert(p.variants[v]).second) << p.variants[v];
      EXPECT_EQ(labels[p.variants[v] - 1], p.label + std::to_string(v + 2));
    }
  }
  EXPECT_EQ(seen.size(), 119u);
  EXPECT_EQ(*seen.begin(), 1);
  EXPECT_EQ(*seen.rbegin(), 119);
}

TEST(VoiceBanks, HoldRecordingsExactlyWhereTheTableSays) {
  for (int b = 0; b < BankCount; ++b) {
    SCOPED_TRACE(Voices[b]);
    EXPECT_EQ(VoiceName(b), Voices[b]);
    const TVoiceBank& bank = VoiceBankTable(b);
    ASSERT_EQ(bank.size(), 120u);
    EXPECT_EQ(bank[0], EmptySlot);

    std::vector<const Phoneme*> owner(SlotCount, nullptr);
    for (const auto& p : Table) {
      if (p.baseFilled) owner[p.base] = &p;
      if (p.variantBanks & (1u << b))
        for (int v : p.variants) owner[v] = &p;
    }
    int filled = 0;
    for (int s = 0; s < SlotCount; ++s) {
      const TSampleString& rec = bank[s];
      ASSERT_EQ(rec.size() % 2, 0u) << "slot " << s;
      if (!owner[s]) {
        EXPECT_TRUE(rec == EmptySlot) << "slot " << s << " should be empty";
        continue;
      }
      ++filled;
      const Phoneme& p = *owner[s];
      EXPECT_NE(rec, EmptySlot) << "slot " << s << " should hold a " << p.label;
      const std::size_t samples = rec.size() / 2;
      EXPECT_GE(samples, static_cast<std::size_t>(p.minLen)) << "slot " << s;
      EXPECT_LE(samples, static_cast<std::size_t>(p.maxLen)) << "slot " << s;
      const int level = PeakLevel(rec);
      EXPECT_GE(level, p.minPeak) << "slot " << s;
      EXPECT_LE(level, p.maxPeak) << "slot " << s;
    }
    EXPECT_EQ(filled, FilledSlots[b]);
  }
}

TEST(VoiceBanks, TableStaysTheSameObjectAndRejectsOtherIndexes) {
  EXPECT_EQ(&VoiceBankTable(3), &VoiceBankTable(3));
  EXPECT_NE(&VoiceBankTable(3), &VoiceBankTable(4));
  EXPECT_THROW(VoiceBankTable(-1), std::out_of_range);
  EXPECT_THROW(VoiceBankTable(10), std::out_of_range);
  EXPECT_EQ(VariantsPerVoice * BankCount, 90);
}

TEST(PeakLevel, RoundsTheLargestMagnitudeAsAPercentOf32767) {
  auto samples = [](std::initializer_list<int> v) {
    std::string s;
    for (int x : v) {
      auto u = static_cast<std::uint16_t>(x);
      s.push_back(static_cast<char>(u & 0xFF));
      s.push_back(static_cast<char>(u >> 8));
    }
    return s;
  };
  struct Case {
    std::string s;
    int level;
  } cases[] = {
      {EmptySlot, 0},
      {samples({-32768}), 0},  // a single sample never counts
      {"", 0},
      {samples({0, 32767}), 100},
      {samples({100, -32768}), 100},
      {samples({5, 16384, -3}), 50},
      {samples({-1, -16384, -200}), 50},
      {samples({0, 163}), 0},  // 0.497
      {samples({0, 164}), 1},  // 0.5005
      {samples({0, 0, -23264}), 71},
      {samples({0, 757}), 2},
  };
  for (const auto& c : cases) EXPECT_EQ(PeakLevel(c.s), c.level) << c.s.size() << " bytes";
}

TEST(EmptySlot, IsDecidedByContent) {
  EXPECT_EQ(EmptySlot, std::string(2, '\0'));
  EXPECT_TRUE(IsEmptySlot(std::string(2, '\0')));
  EXPECT_FALSE(IsEmptySlot(""));
  EXPECT_FALSE(IsEmptySlot(std::string(4, '\0')));  // leading zero samples are not empty
  EXPECT_FALSE(IsEmptySlot(std::string("\0\1", 2)));
}
