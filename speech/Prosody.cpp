// Prosody: the pitch contour of a sentence in whole hertz, the number of periods of each
// vowel, l, m and n, and the pauses after punctuation marks.
#include "speech/Prosody.h"

#include <cmath>

#include "platform/core/Numeric.h"
#include "platform/core/Random.h"
#include "speech/CreateVoice.h"
#include "speech/Letters.h"
#include "speech/TextBytes.h"

using platform::Div;
using platform::Extended;
using platform::FDiv;
using platform::Round;
using platform::Wrap16;

namespace {

// One equal-tempered semitone; its powers are taken from it in extended precision.
constexpr Extended S = 1.0594631L;

Extended SqrtS() {
  static const Extended v = std::sqrt(S);
  return v;
}
Extended QuarterS() {
  static const Extended v = std::sqrt(std::sqrt(S));
  return v;
}
Extended S2_5() {
  static const Extended v = std::pow(S, 2.5L);
  return v;
}
Extended S3() {
  static const Extended v = std::pow(S, 3.0L);
  return v;
}

bool IsVowelOrLMN(std::uint8_t b) { return IsVowel(b) || b == 'l' || b == 'm' || b == 'n'; }

bool IsPairConsonant(std::uint8_t b) {
  switch (b) {
    case LlMark:
    case RrMark:
    case ChMark:
    case 'b':
    case 'c':
    case 'd':
    case 'f':
    case 'g':
    case 'j':
    case 'k':
    case 'p':
    case 'q':
    case 'r':
    case 's':
    case 't':
    case 'z':
    case NTilde:
      return true;
    default:
      return false;
  }
}

bool IsUpperLetter(std::uint8_t b) { return (b >= 'A' && b <= 'Z') || IsAccentedCapital(b); }

bool IsFullStopLike(std::uint8_t b) { return b == '.' || b == ':' || b == ';'; }

bool HoldsBlank(const std::string& s) { return s.find(' ') != std::string::npos; }

std::int16_t RoundDiv(std::int32_t value, Extended by) { return Wrap16(Round(FDiv(value, by))); }

}  // namespace

void SetUpPitch(TCreateVoice& v) {
  ProsodyState& P = v.Prosody;
  std::int32_t base = v.FPitch + 49;
  if (base > 499 || base < 50) base = 120;
  P.BasePitch = Wrap16(base);
  P.TopPitch = Wrap16(Div(P.BasePitch * 3, 2));
  P.PitchCeiling = P.TopPitch;
  P.HomeTop = P.TopPitch;
  P.PitchFloor = Wrap16(Div(P.TopPitch, 2));
  P.CurrentPitch = P.BasePitch;
}

void WordStartPitch(TCreateVoice& v) {
  ProsodyState& P = v.Prosody;
  // FSyllables still counts an earlier word: this word's stress comes later.
  if (v.FSyllables > 1) {
    if (P.PitchCeiling == P.TopPitch)
      P.PitchCeiling = RoundDiv(P.TopPitch, S2_5());
    else
      P.PitchCeiling = P.TopPitch;
    if (P.CurrentPitch > P.PitchCeiling) P.CurrentPitch = P.PitchCeiling;
  }
  P.FinalFall = 0;
}

void ParenthesisPitch(TCreateVoice& v) {
  ProsodyState& P = v.Prosody;
  const std::uint8_t c = ByteAt(v.FSentence, v.Loop.CharIndex);
  if (c == '(' && P.TopPitch == P.HomeTop) {
    P.TopPitch = RoundDiv(P.TopPitch, S3());
    P.PitchCeiling = P.TopPitch;
    P.BasePitch = RoundDiv(P.BasePitch, S3());
  } else if (c == ')' && P.TopPitch < P.HomeTop) {
    P.TopPitch = P.HomeTop;
    P.PitchCeiling = P.TopPitch;
  }
}

void FindClauseEnd(TCreateVoice& v) {
  const std::string& s = v.FSentence;
  const std::int64_t len = static_cast<std::int64_t>(s.size());
  std::int64_t j = v.Loop.CharIndex;
  while (j <= len && IsLetterLike(ByteAt(s, j))) ++j;
  while (j <= len && ByteAt(s, j) != ' ' && !IsClauseMark(ByteAt(s, j))) ++j;
  v.Prosody.ClauseEnd = (j <= len && IsClauseMark(ByteAt(s, j))) ? static_cast<std::int32_t>(j) : 1;
}

void FormPairBuffer(TCreateVoice& v) {
  const LoopState& L = v.Loop;
  std::string& buffer = v.Prosody.PairBuffer;
  buffer.clear();
  if (!IsVowel(L.CurrentLetter)) return;
  if (IsVowelOrLMN(L.NextLetter)) {
    buffer = {static_cast<char>(L.CurrentLetter), static_cast<char>(L.NextLetter)};
  } else if (IsPairConsonant(L.NextLetter)) {
    buffer = {static_cast<char>(L.CurrentLetter), static_cast<char>(255)};
  }
}

void StressPitchAndDurations(TCreateVoice& v) {
  ProsodyState& P = v.Prosody;
  const LoopState& L = v.Loop;
  const std::string& s = v.FSentence;
  const std::int32_t i = L.CharIndex;
  const std::uint8_t letter = L.CurrentLetter;
  const std::uint8_t atI = ByteAt(s, i);
  const std::uint8_t c = ByteAt(s, P.ClauseEnd);

  // The glide tests from here on see plain vowels.
  for (char& ch : P.PairBuffer) ch = static_cast<char>(PlainVowelOf(static_cast<std::uint8_t>(ch)));

  // Stress pitch. A word that a full stop, colon or semicolon ends never rises.
  if (IsFullStopLike(c) && HoldsBlank(s)) {
    P.Falling = 1;
  } else {
    const bool stressed = IsAccentedVowel(letter) || IsAccentedVowel(atI) ||
                          ((letter == 'i' || letter == 'u') && IsAccentedVowel(L.NextLetter));
    if (!stressed) {
      P.Falling = 1;
    } else {
      if (!HoldsBlank(s)) {
        P.CurrentPitch = Wrap16(Div(P.CurrentPitch * 11, 10));
      } else if (c == '!') {
        P.CurrentPitch = P.TopPitch;
      } else {
        // Each rise stays at or below half a semitone under the ceiling.
        const std::int64_t limit = Round(FDiv(P.PitchCeiling, SqrtS()));
        if (Div(P.CurrentPitch * 4, 3) <= limit)
          P.CurrentPitch = Wrap16(Div(P.CurrentPitch * 4, 3));
        if (Div(P.CurrentPitch * 7, 6) <= limit)
          P.CurrentPitch = Wrap16(Div(P.CurrentPitch * 7, 6));
      }
      P.Falling = c == '!' ? 1 : 0;
    }
  }

  // Final fall: from the last word's first consonant after neither a vowel nor l, m, n, or
  // from its first letter when that is a stressed vowel.
  if (P.Falling == 1 && P.FinalFall == 0 && IsFullStopLike(c)) {
    const std::uint8_t before = ByteAt(s, i - 1);
    const bool afterConsonant = !IsVowelOrLMN(before) && !IsVowel(atI);
    const bool stressedStart = L.WordStart == i && IsAccentedVowel(atI);
    if (afterConsonant || stressedStart) {
      P.FinalFall = 1;
      std::int32_t n = 1;
      for (std::int32_t j = i; j <= P.ClauseEnd; ++j)
        if (IsVowel(ByteAt(s, j))) ++n;
      P.CurrentPitch = Wrap16(Div(P.PitchFloor * 11, 10) + 4 * n);
    }
  }

  // Durations.
  if (!IsVowelOrLMN(letter)) {
    P.Repeats = 1;
    return;
  }
  std::int64_t r = Round(FDiv(FDiv(P.CurrentPitch, 4.0L), v.FSpeed));
  if (P.FinalFall == 1 && IsAccentedVowel(letter)) {
    const std::int32_t extra = platform::Random(2);
    r = r + extra + Div(r, 2) + 2;
  }
  if (letter == 'l' || letter == 'm' || letter == 'n') {
    r = r - Div(r, 12 - static_cast<std::int64_t>(v.FSpeed));
    if (r < 1) r = 1;
  }
  if (c == ',' && i >= static_cast<std::int64_t>(P.ClauseEnd) - 2 && IsVowel(atI))
    r = r + Div(r, 3);
  const std::uint8_t x = LowerAZ(atI), y = LowerAZ(ByteAt(s, i + 1));
  if ((IsVowel(x) && (y == 'i' || y == 'u')) || (IsVowel(y) && (x == 'i' || x == 'u')))
    r = r - Div(r, 2);
  if (P.PairBuffer.size() == 2 && IsVowel(static_cast<std::uint8_t>(P.PairBuffer[1])))
    r = r + 11 - static_cast<std::int64_t>(v.FSpeed);
  P.Repeats = platform::Wrap32(r);
}

void PeriodPitchStep(TCreateVoice& v, std::int32_t k) {
  ProsodyState& P = v.Prosody;
  // The raised count stays for the rest of the character.
  if (P.Repeats < 4) P.Repeats = 4;
  const std::int32_t q = static_cast<std::int32_t>(Div(P.Repeats, 4));
  if (platform::Mod(k, q) != 0 || !IsVowelOrLMN(v.Loop.CurrentLetter)) return;
  if (P.Falling == 0) {
    P.CurrentPitch = Wrap16(Round(platform::Checked(P.CurrentPitch * SqrtS())));
    if (P.CurrentPitch > P.PitchCeiling) P.CurrentPitch = P.PitchCeiling;
  } else if (P.Falling == 1) {
    // Half a semitone down while high, a quarter near the floor or once the fall began.
    if (P.CurrentPitch >= 2 * P.PitchFloor - Div(P.PitchFloor, 8) && P.FinalFall == 0)
      P.CurrentPitch = RoundDiv(P.CurrentPitch, SqrtS());
    else
      P.CurrentPitch = RoundDiv(P.CurrentPitch, QuarterS());
    if (P.CurrentPitch < P.PitchFloor) P.CurrentPitch = P.PitchFloor;
  }
}

void PauseStep(TCreateVoice& v) {
  ProsodyState& P = v.Prosody;
  const LoopState& L = v.Loop;
  const std::string& s = v.FSentence;
  const std::int32_t i = L.CharIndex;
  const std::uint8_t letter = L.CurrentLetter;
  if (!IsClauseMark(letter) && letter != '-') return;

  const bool sentenceMark = letter == '!' || letter == '.' || letter == ':' || letter == '?';
  const bool afterCapital = IsUpperLetter(ByteAt(s, i - 1));
  std::int32_t count;
  if (sentenceMark && !afterCapital && L.NextLetter == 13) {
    count = (letter == '!' || letter == '.') ? 18000 : 9000;
    P.CurrentPitch = P.BasePitch;
    P.PitchCeiling = P.TopPitch;
  } else if (sentenceMark && !afterCapital && L.NextLetter == ' ' && IsWordChar(ByteAt(s, i + 2)) &&
             ByteAt(s, i + 2) <= 'Z') {
    count = letter == '.' ? 10000 : 5000;
    P.CurrentPitch = P.BasePitch;
    std::int64_t ceiling = Div(P.PitchCeiling * 6, 5);
    if (ceiling > P.TopPitch) ceiling = P.TopPitch;
    P.PitchCeiling = Wrap16(ceiling);
  } else if (letter == ';' && L.NextLetter == ' ' && IsWordChar(ByteAt(s, i + 2))) {
    count = 7000;
    P.CurrentPitch = P.BasePitch;
    P.PitchCeiling = P.TopPitch;
  } else if (ByteAt(s, i) == '-' && ByteAt(s, i - 1) == ' ') {
    count = 2000;
  } else {
    count = 2000;
    if (P.CurrentPitch > Div(P.TopPitch * 3, 4))
      P.CurrentPitch = Wrap16(Div(P.CurrentPitch * 15, 16));
  }
  v.WriteSilence(*v.FPhoneStream, count);
}
