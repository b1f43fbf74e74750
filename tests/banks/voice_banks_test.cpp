// The compiled-in banks against the slot table of the voices: this holds for any recordings
// that keep the table, whoever made them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "banks/SlotTable.h"
#include "banks/VoiceBanks.h"

using namespace banks;

namespace {

const char* const Voices[BankCount] = {"Varquelo", "Lidrena", "Burtalo", "Tesmira", "Odelmo",
                                       "Crestia",  "Hermodo", "Quirela", "Dorvano", "Nevrina"};
const int FilledSlots[BankCount] = {76, 76, 64, 64, 68, 64, 64, 64, 64, 56};

}  // namespace

TEST(VoiceBanks, HoldRecordingsExactlyWhereTheTableSays) {
  for (int b = 0; b < BankCount; ++b) {
    SCOPED_TRACE(Voices[b]);
    EXPECT_EQ(VoiceName(b), Voices[b]);
    const TVoiceBank& bank = VoiceBankTable(b);
    ASSERT_EQ(bank.size(), 120u);
    EXPECT_EQ(bank[0], EmptySlot);

    std::vector<const SlotRow*> owner(SlotCount, nullptr);
    for (const SlotRow& p : SlotTable) {
      if (p.baseBanks & (1u << b)) owner[p.base] = &p;
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
      const SlotRow& p = *owner[s];
      EXPECT_NE(rec, EmptySlot) << "slot " << s << " should hold a " << p.label;
      const std::size_t samples = rec.size() / 2;
      EXPECT_GE(samples, static_cast<std::size_t>(p.minSamples)) << "slot " << s;
      EXPECT_LE(samples, static_cast<std::size_t>(p.maxSamples)) << "slot " << s;
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
