// The vowels of the committed banks are real vowels at each voice's pitch: one period each,
// with the first two formants where Spanish puts them, and the five periods averaging the
// voice's vowel period.
#include <gtest/gtest.h>

#include "banks/VoiceBanks.h"
#include "tools/bankrec/Cutting.h"

using namespace banks;

namespace {

// Mean length in samples of the five vowel periods of each voice.
const int VowelPeriod[BankCount] = {187, 79, 151, 141, 319, 139, 210, 124, 187, 119};

// Broad regions that hold men's and women's Spanish vowels alike.
struct Region {
  const char* vowel;
  int slot;
  double f1Lo, f1Hi, f2Lo, f2Hi;
} const Regions[] = {
    {"a", 1, 650, 1150, 1100, 1900},  // open, central
    {"e", 10, 350, 650, 1600, 2600},  // mid, front
    {"i", 17, 200, 420, 2000, 3200},  // close, front
    {"o", 28, 400, 750, 700, 1250},   // mid, back
    {"u", 38, 200, 450, 600, 1200},   // close, back
};

}  // namespace

TEST(Vowels, FirstTwoFormantsLieInTheSpanishRegions) {
  for (int b = 0; b < BankCount; ++b) {
    for (const Region& r : Regions) {
      SCOPED_TRACE(::testing::Message() << VoiceName(b) << " " << r.vowel);
      const bankrec::Wave period = bankrec::FromSamples(VoiceBankTable(b)[r.slot]);
      double f1 = 0, f2 = 0;
      ASSERT_TRUE(bankrec::FirstFormants(period, f1, f2));
      EXPECT_GE(f1, r.f1Lo);
      EXPECT_LE(f1, r.f1Hi);
      EXPECT_GE(f2, r.f2Lo);
      EXPECT_LE(f2, r.f2Hi);
    }
  }
}

TEST(Vowels, FivePeriodsAverageTheVoicesVowelPeriod) {
  for (int b = 0; b < BankCount; ++b) {
    double sum = 0;
    for (const Region& r : Regions) sum += VoiceBankTable(b)[r.slot].size() / 2.0;
    EXPECT_NEAR(sum / 5, VowelPeriod[b], 2) << VoiceName(b);
  }
}

TEST(Vowels, EachSlotHoldsOnePeriodThatJoinsItself) {
  // Repeated by the engine, a vowel period must neither hold two periods nor break off
  // within one: the best self-match of the period repeated lies at its own length.
  for (int b = 0; b < BankCount; ++b) {
    for (const Region& r : Regions) {
      SCOPED_TRACE(::testing::Message() << VoiceName(b) << " " << r.vowel);
      const bankrec::Wave period = bankrec::FromSamples(VoiceBankTable(b)[r.slot]);
      const int n = static_cast<int>(period.size());
      bankrec::Wave repeated;
      for (int k = 0; k < 6; ++k) repeated.insert(repeated.end(), period.begin(), period.end());
      EXPECT_EQ(bankrec::EstimatePeriod(repeated, 0, n, n / 3, 3 * n / 2), n);
      EXPECT_LT(bankrec::WrapStep(period, 0, n), 0.3);
    }
  }
}
