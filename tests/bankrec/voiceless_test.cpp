// The noise-made consonants: exact length, fixed by their seed, and coloured as the sound
// and the following vowel demand.
#include "tools/bankrec/Voiceless.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/Resonator.h"

using namespace bankrec;

namespace {

// Centre of gravity of the spectrum in Hz (zero crossings stand in for it well enough for
// noise: a band around f crosses zero about 2 f times a second).
double CrossingRate(const Wave& x) {
  int crossings = 0;
  for (std::size_t n = 1; n < x.size(); ++n)
    if ((x[n - 1] < 0) != (x[n] < 0)) ++crossings;
  return crossings * Rate / 2 / x.size();
}

// A vowel period with given formants, for the colour of what follows a consonant.
Wave VowelPeriod(double f1, double f2, int period) {
  Wave x(period * 8, 0);
  for (int at = 0; at < static_cast<int>(x.size()); at += period) x[at] = 1000;
  testsupport::Resonate(x, {f1, f2}, 80, Rate);
  return Wave(x.end() - period, x.end());
}

}  // namespace

TEST(Voiceless, EveryConsonantHasItsLengthAndSoundsFixedByItsSeed) {
  const VowelColour a = ColourOf(VowelPeriod(750, 1300, 150), false);
  for (Voiceless c : {Voiceless::P, Voiceless::T, Voiceless::K, Voiceless::Ch, Voiceless::F,
                      Voiceless::S, Voiceless::Z, Voiceless::J, Voiceless::X}) {
    SCOPED_TRACE(static_cast<int>(c));
    const Wave w = MakeVoiceless(c, 1300, {}, a, 42);
    ASSERT_EQ(w.size(), 1300u);
    EXPECT_GT(Peak(w), 0);
    for (double v : w) ASSERT_TRUE(std::isfinite(v));
    EXPECT_EQ(MakeVoiceless(c, 1300, {}, a, 42), w);
    EXPECT_NE(MakeVoiceless(c, 1300, {}, a, 43), w);
  }
}

TEST(Voiceless, StopsBeginWithSilenceThenTheBurst) {
  const VowelColour a = ColourOf(VowelPeriod(750, 1300, 150), false);
  for (Voiceless c : {Voiceless::P, Voiceless::T, Voiceless::K}) {
    const Wave w = MakeVoiceless(c, 600, {}, a, 5);
    EXPECT_EQ(w[0], 0) << static_cast<int>(c);
    // The loudest moment is the burst near the start, not the breath after it.
    int top = 0;
    for (int n = 0; n < 600; ++n)
      if (std::fabs(w[n]) > std::fabs(w[top])) top = n;
    EXPECT_LT(top, 250) << static_cast<int>(c);
  }
}

TEST(Voiceless, ColourFollowsTheSoundTheVowelAndTheVoice) {
  const VowelColour a = ColourOf(VowelPeriod(750, 1300, 150), false);
  const VowelColour i = ColourOf(VowelPeriod(300, 2300, 150), false);
  const VowelColour u = ColourOf(VowelPeriod(330, 800, 150), true);
  // s hisses higher than the velar j.
  EXPECT_GT(CrossingRate(MakeVoiceless(Voiceless::S, 1400, {}, a, 1)),
            1.5 * CrossingRate(MakeVoiceless(Voiceless::J, 1400, {}, a, 1)));
  // Rounded lips for u lower the s.
  EXPECT_GT(CrossingRate(MakeVoiceless(Voiceless::S, 1400, {}, a, 1)),
            CrossingRate(MakeVoiceless(Voiceless::S, 1400, {}, u, 1)) * 1.05);
  // The velar burst and frication move with the vowel's second formant.
  const Wave ki = MakeVoiceless(Voiceless::K, 700, {}, i, 3);
  const Wave ku = MakeVoiceless(Voiceless::K, 700, {}, u, 3);
  EXPECT_GT(CrossingRate(Wave(ki.begin(), ki.begin() + 200)),
            1.3 * CrossingRate(Wave(ku.begin(), ku.begin() + 200)));
  EXPECT_GT(CrossingRate(MakeVoiceless(Voiceless::J, 1400, {}, i, 1)),
            1.3 * CrossingRate(MakeVoiceless(Voiceless::J, 1400, {}, u, 1)));
  // A smaller vocal tract (a higher voice) raises the s.
  VoicelessTraits small;
  small.scale = 1.2;
  EXPECT_GT(CrossingRate(MakeVoiceless(Voiceless::S, 1400, small, a, 1)),
            1.05 * CrossingRate(MakeVoiceless(Voiceless::S, 1400, {}, a, 1)));
}
