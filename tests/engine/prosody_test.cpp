// Pitch, durations and pauses, each stage driven at the positions the character loop
// gives it.
#include "speech/Prosody.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/Numeric.h"
#include "platform/core/Random.h"
#include "speech/CreateVoice.h"
#include "speech/TextBytes.h"

namespace {

// A voice at the given pitch and speed, with its pitch state set up.
struct Voice {
  TCreateVoice v;
  Voice(std::int16_t pitch, std::uint16_t speed, const std::string& text) {
    v.FPitch = pitch;
    v.FSpeed = speed;
    v.FSentence = text;
    v.FPhoneStream = std::make_unique<platform::MemoryStream>();
    SetUpPitch(v);
  }
  ProsodyState& P() { return v.Prosody; }
  LoopState& L() { return v.Loop; }

  // The letter views of position i, as the loop forms them.
  void StandAt(std::int32_t i) {
    L().CharIndex = i;
    std::uint8_t c = LowerAZ(ByteAt(v.FSentence, i));
    if (c == 'y') c = 'i';
    L().CurrentLetter = c;
    std::int32_t n = i + 1;
    if (!IsClauseMark(ByteAt(v.FSentence, i)))
      while (ByteAt(v.FSentence, n) == ' ') ++n;
    L().NextLetter = LowerAZ(ByteAt(v.FSentence, n));
    if (L().NextLetter == 'y') L().NextLetter = 'i';
  }
  // The word that starts at wordStart has been reached; the loop now stands at i.
  void InWordAt(std::int32_t wordStart, std::int32_t i) {
    StandAt(wordStart);
    L().WordStart = wordStart;
    FindClauseEnd(v);
    if (i != wordStart) L().WordStart = 1;
    StandAt(i);
  }
  // The prosody of the rendered position i of the word that starts at wordStart.
  void Render(std::int32_t wordStart, std::int32_t i) {
    InWordAt(wordStart, i);
    FormPairBuffer(v);
    StressPitchAndDurations(v);
  }
};

struct SetUpCase {
  std::int16_t pitch;
  std::int16_t base, top, floor, lowered;
};

TEST(PitchSetUp, FromThePitchSettingWithItsGuard) {
  const SetUpCase cases[] = {
      {1, 50, 75, 37, 65},      {71, 120, 180, 90, 156},   {400, 449, 673, 336, 583},
      {451, 120, 180, 90, 156}, {450, 499, 748, 374, 647}, {0, 120, 180, 90, 156},
  };
  for (const SetUpCase& c : cases) {
    SCOPED_TRACE(c.pitch);
    Voice t(c.pitch, 5, " a");
    EXPECT_EQ(t.P().BasePitch, c.base);
    EXPECT_EQ(t.P().CurrentPitch, c.base);
    EXPECT_EQ(t.P().TopPitch, c.top);
    EXPECT_EQ(t.P().HomeTop, c.top);
    EXPECT_EQ(t.P().PitchCeiling, c.top);
    EXPECT_EQ(t.P().PitchFloor, c.floor);
    // After a word of several syllables the ceiling goes down 2.5 semitones, then back.
    t.v.FSyllables = 2;
    WordStartPitch(t.v);
    EXPECT_EQ(t.P().PitchCeiling, c.lowered);
    WordStartPitch(t.v);
    EXPECT_EQ(t.P().PitchCeiling, c.top);
  }
}

TEST(WordStartPitch, ToggleOnlyAfterSeveralSyllablesAndClampsThePitch) {
  Voice t(71, 5, " a");
  t.P().CurrentPitch = 170;
  t.P().FinalFall = 1;
  t.v.FSyllables = 1;
  WordStartPitch(t.v);
  EXPECT_EQ(t.P().PitchCeiling, 180);
  EXPECT_EQ(t.P().CurrentPitch, 170);
  EXPECT_EQ(t.P().FinalFall, 0);
  t.v.FSyllables = 3;
  WordStartPitch(t.v);
  EXPECT_EQ(t.P().PitchCeiling, 156);
  EXPECT_EQ(t.P().CurrentPitch, 156);
}

TEST(ParenthesisPitch, LowersThreeSemitonesAndRestoresTheTopOnly) {
  // Positions: 2 "(", 4 "(", 6 ")", 8 "(".
  Voice t(71, 5, " (a(b)c(d");
  struct Step {
    std::int32_t at;
    std::int16_t top, ceiling, base;
  };
  const Step steps[] = {
      {2, 151, 151, 101}, {4, 151, 151, 101}, {6, 180, 180, 101}, {8, 151, 151, 85}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.at);
    t.StandAt(s.at);
    ParenthesisPitch(t.v);
    EXPECT_EQ(t.P().TopPitch, s.top);
    EXPECT_EQ(t.P().PitchCeiling, s.ceiling);
    EXPECT_EQ(t.P().BasePitch, s.base);
  }
  EXPECT_EQ(t.P().HomeTop, 180);
  // A pause brings the pitch back to the lowered base.
  Voice u(71, 5, " (a) casa.\r");
  u.StandAt(2);
  ParenthesisPitch(u.v);
  u.StandAt(4);
  ParenthesisPitch(u.v);
  u.StandAt(10);
  PauseStep(u.v);
  EXPECT_EQ(u.P().CurrentPitch, 101);
  EXPECT_EQ(u.P().PitchCeiling, 180);
}

TEST(ClauseEnd, MarkDirectlyAfterTheWordOrAfterClosingCharacters) {
  struct Case {
    std::string text;
    std::int32_t wordStart, clauseEnd;
  };
  const Case cases[] = {
      {" casa, bonita.", 2, 6}, {" casa bonita.", 2, 1}, {" casa bonita.", 7, 13},
      {" (casa), no", 3, 8},    {" casa", 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Voice t(71, 5, c.text);
    t.StandAt(c.wordStart);
    FindClauseEnd(t.v);
    EXPECT_EQ(t.P().ClauseEnd, c.clauseEnd);
  }
}

TEST(StressPitch, RisesWithinHalfASemitoneOfTheCeilingThenRisesPerPeriod) {
  // " la cása bonita": the á stands at 6, in a word with no clause mark after it.
  Voice t(71, 5, " la c\xe1sa bonita");
  t.P().CurrentPitch = 120;
  t.Render(5, 6);
  EXPECT_EQ(t.P().CurrentPitch, 160);  // 120 * 4 div 3; a second rise to 186 would pass 175
  EXPECT_EQ(t.P().Falling, 0);
  EXPECT_EQ(t.P().Repeats, 8);
  std::vector<int> pitches;
  for (std::int32_t k = 1; k <= 8; ++k) {
    PeriodPitchStep(t.v, k);
    pitches.push_back(t.P().CurrentPitch);
  }
  EXPECT_EQ(pitches, (std::vector<int>{160, 165, 165, 170, 170, 175, 175, 180}));
}

TEST(StressPitch, SpecialSentences) {
  struct Case {
    const char* name;
    std::string text;
    std::int32_t wordStart, at;
    bool leadingBlankGone;
    std::int16_t before, after;
    std::uint8_t falling;
  };
  const Case cases[] = {
      // A one-word sentence rises by a tenth, past the ceiling too.
      {"one_word",
       "\x01"
       "c\xe1sa.",
       2, 3, false, 120, 132, 0},
      {"one_word_at_ceiling",
       "\x01"
       "c\xe1sa.",
       2, 3, false, 180, 198, 0},
      // A leading blank no longer counts once the loop is past position 2.
      {"leading_blank_gone", " c\xe1sa.", 2, 3, true, 120, 132, 0},
      // Before a full stop in a sentence with blanks a stressed vowel does not rise.
      {"last_word_no_rise", " es la c\xe1sa.", 8, 9, false, 120, 120, 1},
      {"exclamation_to_top", " es c\xe1sa!", 5, 6, false, 120, 180, 1},
      // The limit is half a semitone under the ceiling (175), not the ceiling itself.
      {"first_rise_over_limit", " la c\xe1sa bonita", 5, 6, false, 132, 154, 0},
      {"both_rises", " la c\xe1sa bonita", 5, 6, false, 100, 155, 0},
      // i before an accented vowel counts as stressed.
      {"i_before_accent", " la di\xe1 bonita", 5, 6, false, 120, 160, 0},
      {"unstressed", " la casa bonita", 5, 6, false, 120, 120, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Voice t(71, 5, c.text);
    if (c.leadingBlankGone) SetByteAt(t.v.FSentence, 1, 255);
    t.P().CurrentPitch = c.before;
    t.Render(c.wordStart, c.at);
    EXPECT_EQ(t.P().CurrentPitch, c.after);
    EXPECT_EQ(t.P().Falling, c.falling);
    EXPECT_EQ(t.P().FinalFall, 0);
  }
}

TEST(FinalFall, StartsAtTheLastWordsFirstConsonantOrStressedInitial) {
  // " es la cása.": c at 8, á at 9, the full stop at 12.
  Voice t(71, 5, " es la c\xe1sa.");
  t.Render(8, 8);
  EXPECT_EQ(t.P().FinalFall, 1);
  EXPECT_EQ(t.P().CurrentPitch, 111);  // 90 * 11 div 10 + 4 * (1 + two vowels to come)
  EXPECT_EQ(t.P().Repeats, 1);

  // The stressed vowel of the falling word is lengthened, with one draw of Random(2).
  platform::RandSeed(1234);
  const std::int32_t draw = platform::Random(2);
  const std::int32_t following = platform::Random(1000000);
  platform::RandSeed(1234);
  t.Render(8, 9);
  EXPECT_EQ(t.P().CurrentPitch, 111);
  EXPECT_EQ(t.P().Repeats, 6 + draw + 3 + 2);  // Round(111 / 4 / 5) = 6
  EXPECT_EQ(platform::Random(1000000), following);
  // Once the fall has begun the period step goes down a quarter semitone.
  t.P().Repeats = 4;
  PeriodPitchStep(t.v, 1);
  EXPECT_EQ(t.P().CurrentPitch, 109);

  // A word that starts with a stressed vowel falls from its first letter.
  Voice u(71, 5, " es \xe9l.");
  u.Render(5, 5);
  EXPECT_EQ(u.P().FinalFall, 1);
  EXPECT_EQ(u.P().CurrentPitch, 107);
  // A vowel or l, m, n before a consonant keeps the fall from starting there.
  Voice w(71, 5, " es la alta.");
  w.Render(8, 10);
  EXPECT_EQ(w.P().FinalFall, 0);
  EXPECT_EQ(w.P().CurrentPitch, 120);
}

struct RepeatsCase {
  const char* name;
  std::int16_t pitch;
  std::uint16_t speed;
  std::string text;
  std::int32_t wordStart, at;
  std::int32_t repeats;
};

TEST(Durations, RepeatsOfVowelsAndLMN) {
  const RepeatsCase cases[] = {
      {"vowel_before_consonant", 71, 5, " pata bonita", 2, 3, 6},
      {"l", 71, 5, " pata mala", 7, 9, 6},            // 6 - 6 div 7
      {"l_speed_10", 71, 10, " pata mala", 7, 9, 2},  // 3 - 3 div 2
      {"before_comma", 71, 5, " dame pata, bonita", 7, 10, 8},
      {"diphthong_then_glide", 71, 5, " pausa bonita", 2, 3, 9},  // 6 - 3, then + 6
      {"glide_into_vowel", 71, 5, " la obra", 2, 3, 12},
      {"same_vowel_twice", 71, 5, " lee", 2, 3, 12},
      {"speed_10_at_50_hz", 1, 10, " pata", 2, 3, 1},  // Round(1.25)
      {"half_to_even_down", 1, 5, " pata", 2, 3, 2},   // Round(2.5)
      {"half_to_even_up", 21, 5, " pata", 2, 3, 4},    // Round(3.5)
      {"consonant", 71, 5, " pata", 2, 2, 1},
  };
  for (const RepeatsCase& c : cases) {
    SCOPED_TRACE(c.name);
    Voice t(c.pitch, c.speed, c.text);
    t.Render(c.wordStart, c.at);
    EXPECT_EQ(t.P().Repeats, c.repeats);
  }
}

TEST(PairBuffer, WhatTheVowelGlidesInto) {
  struct Case {
    std::string text;
    std::int32_t at;
    std::string formed, afterDurations;
  };
  const Case cases[] = {
      {" la obra", 3, "ao", "ao"},
      {" la \xf3pera", 3, "a\xf3", "ao"},
      {" c\xe1ma", 3, "\xe1m", "am"},
      {" casa", 3, "a\xff", "a\xff"},
      {" ca"
       "\x1d"
       "e",
       3, "a\xff", "a\xff"},
      {" cava", 3, "", ""},
      {" casa.", 5, "", ""},
      {" hay", 3, "ai", "ai"},
      {" pata", 2, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Voice t(71, 5, c.text);
    t.InWordAt(2, c.at);
    FormPairBuffer(t.v);
    EXPECT_EQ(t.P().PairBuffer, c.formed);
    StressPitchAndDurations(t.v);
    EXPECT_EQ(t.P().PairBuffer, c.afterDurations);
  }
}

TEST(PeriodPitchStep, FallsHalfASemitoneWhileHighThenAQuarter) {
  Voice t(71, 5, " casa");
  t.StandAt(3);
  t.P().CurrentPitch = 175;
  t.P().Falling = 1;
  t.P().Repeats = 2;
  std::vector<int> pitches;
  for (std::int32_t k = 1; k <= 6; ++k) {
    PeriodPitchStep(t.v, k);
    pitches.push_back(t.P().CurrentPitch);
  }
  EXPECT_EQ(t.P().Repeats, 4);  // raised for the rest of the character
  // At or above 2 * 90 - 90 div 8 = 169 by half a semitone, below it by a quarter.
  EXPECT_EQ(pitches, (std::vector<int>{170, 165, 163, 161, 159, 157}));

  // 169 itself still falls by half a semitone.
  t.P().CurrentPitch = 169;
  PeriodPitchStep(t.v, 1);
  EXPECT_EQ(t.P().CurrentPitch, 164);

  // Never below the floor; nothing moves for a consonant; rises stop at the ceiling.
  t.P().CurrentPitch = 90;
  PeriodPitchStep(t.v, 1);
  EXPECT_EQ(t.P().CurrentPitch, 90);
  t.StandAt(2);
  t.P().CurrentPitch = 150;
  PeriodPitchStep(t.v, 1);
  EXPECT_EQ(t.P().CurrentPitch, 150);
  t.StandAt(3);
  t.P().Falling = 0;
  t.P().CurrentPitch = 178;
  PeriodPitchStep(t.v, 1);
  EXPECT_EQ(t.P().CurrentPitch, 180);
  // With 12 periods the step acts every third one.
  t.P().Repeats = 12;
  t.P().CurrentPitch = 120;
  PeriodPitchStep(t.v, 2);
  EXPECT_EQ(t.P().CurrentPitch, 120);
  PeriodPitchStep(t.v, 3);
  EXPECT_EQ(t.P().CurrentPitch, 124);
}

struct PauseCase {
  const char* name;
  std::string text;
  std::int32_t at;
  std::int32_t count;
  std::int16_t pitch, ceiling;  // afterwards, from 160 and 156
};

TEST(Pauses, CountAndPitchAfterEachMark) {
  const PauseCase cases[] = {
      {"A_full_stop_CR", " casa.\r", 6, 18000, 120, 180},
      {"A_exclamation_CR", " casa!\r", 6, 18000, 120, 180},
      {"A_question_CR", " casa?\r", 6, 9000, 120, 180},
      {"A_colon_CR", " casa:\r", 6, 9000, 120, 180},
      {"B_full_stop_capital", " Sr. P\xe9rez", 4, 10000, 120, 180},  // 156 * 6 div 5, at most 180
      {"B_question_capital", " casa? Dos", 6, 5000, 120, 180},
      {"D2_after_initial", " J. P\xe9rez", 3, 2000, 150, 156},
      {"D2_after_accented_capital", " PER\xda.\r", 6, 2000, 150, 156},
      {"D2_lower_case_after", " casa. dos", 6, 2000, 150, 156},
      {"C_semicolon_lower_case", " casa; y", 6, 7000, 120, 180},
      {"D2_semicolon_CR", " casa;\r", 6, 2000, 150, 156},
      {"D1_dash_after_blank", " a - b", 4, 2000, 160, 156},
      {"D2_dash_in_word", " a-b", 3, 2000, 150, 156},
      {"D2_comma", " a, b", 3, 2000, 150, 156},
      {"D2_end_of_text", " casa.", 6, 2000, 150, 156},
  };
  for (const PauseCase& c : cases) {
    SCOPED_TRACE(c.name);
    Voice t(71, 5, c.text);
    t.P().CurrentPitch = 160;
    t.P().PitchCeiling = 156;
    t.StandAt(c.at);
    t.v.FPhoneStream->WriteSample(1234);  // what the rendering made for the mark
    PauseStep(t.v);
    EXPECT_EQ(t.v.FPhoneStream->ToString(),
              std::string(static_cast<std::size_t>(2 * c.count), '\0'));
    EXPECT_EQ(t.P().CurrentPitch, c.pitch);
    EXPECT_EQ(t.P().PitchCeiling, c.ceiling);
  }
}

TEST(Pauses, CommaLeavesALowPitchAndLettersGetNoPause) {
  Voice t(71, 5, " a, b");
  t.P().CurrentPitch = 135;  // not above 180 * 3 div 4
  t.StandAt(3);
  PauseStep(t.v);
  EXPECT_EQ(t.P().CurrentPitch, 135);
  t.v.FPhoneStream->Clear();
  t.v.FPhoneStream->WriteSample(1234);
  t.StandAt(2);
  PauseStep(t.v);
  EXPECT_EQ(t.v.FPhoneStream->Size(), 2u);
}

TEST(Durations, ZeroSpeedIsAFailureNotAnInfinity) {
  Voice t(71, 0, " pata");
  t.InWordAt(2, 3);
  EXPECT_THROW(StressPitchAndDurations(t.v), platform::FloatFault);
}

}  // namespace
