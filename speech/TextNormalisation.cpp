#include "speech/TextNormalisation.h"

#include <array>
#include <cstdint>

#include "speech/Letters.h"
#include "speech/NumberWords.h"
#include "speech/TextBytes.h"

namespace {

// The consonant letters that a word made only of them is spelled out with, and their
// names (\361 is ñ).
// clang-format off
constexpr std::array<const char*, 42> LetterNames = {
    "b", "be",   "c", "ce",   "d", "de",   "f", "efe",      "g", "je",   "h", "ache",
    "j", "jota", "k", "ka",   "l", "ele",  "m", "eme",      "n", "ene",  "\361", "e\361e",
    "p", "pe",   "q", "ku",   "r", "erre", "s", "ese",      "t", "te",   "v", "ube",
    "w", "ubedoble", "x", "ekis", "z", "zeta"};
// clang-format on

constexpr std::uint8_t EmDash = 151;
constexpr std::uint8_t InvertedQuestion = 191;

// The name of a letter that is spelled out, or nullptr for any other byte.
const char* LetterName(std::uint8_t letter) {
  for (std::size_t k = 0; k < LetterNames.size(); k += 2)
    if (static_cast<std::uint8_t>(LetterNames[k][0]) == letter) return LetterNames[k + 1];
  return nullptr;
}

// An aside opened by " -": the hyphen becomes "(" when the closing "-." (or, without one,
// the first ".") lies after it, and the closing hyphen becomes ")".
void Parenthesis(std::string& s, std::int64_t i) {
  if (ByteAt(s, i) != ' ' || ByteAt(s, i + 1) != '-') return;
  std::size_t found = s.find("-.");
  const bool closing = found != std::string::npos;
  if (!closing) found = s.find('.');
  if (found == std::string::npos) return;
  const auto at = static_cast<std::int64_t>(found) + 1;
  if (at <= i) return;
  SetByteAt(s, i + 1, '(');
  if (closing && at > i + 1) SetByteAt(s, at, ')');
}

// A word made only of consonant letters is replaced by the names of its letters.
void SpellOut(std::string& s, std::int64_t i) {
  if (!IsWordChar(ByteAt(s, i))) return;
  const std::uint8_t before = ByteAt(s, i - 1);
  if (IsLetterLike(before)) return;
  std::int64_t end = i;
  std::string names;
  while (IsWordChar(ByteAt(s, end))) {
    const char* name = LetterName(LowerAZ(ByteAt(s, end)));
    if (name == nullptr) return;
    if (!names.empty()) names += ' ';
    names += name;
    ++end;
  }
  DeleteAt(s, i, end - i);
  InsertAt(s, i, names);
}

// Pair rules on the character at i and the one after it; the first that applies wins.
void PairRules(std::string& s, std::int64_t i) {
  const std::uint8_t c = LowerAZ(ByteAt(s, i));
  const std::uint8_t next = ByteAt(s, i + 1);
  const std::uint8_t n = LowerAZ(next);
  if (IsWordChar(c) && c != 'c' && n == 'h') {
    DeleteAt(s, i + 1);  // silent h
  } else if (next == EmDash) {
    SetByteAt(s, i + 1, '-');
  } else if (next == InvertedQuestion) {
    DeleteAt(s, i + 1);
  } else if (c == 'l' && n == 'l') {
    SetByteAt(s, i, LlMark);
    DeleteAt(s, i + 1);
  } else if (c == 'y' && !IsWordChar(ByteAt(s, i - 1)) && IsVowel(n)) {
    SetByteAt(s, i, LlMark);
  }
}

}  // namespace

void CollapseBlanks(std::string& sentence) {
  std::string out;
  out.reserve(sentence.size());
  for (char c : sentence)
    if (c != ' ' || out.empty() || out.back() != ' ') out += c;
  sentence.swap(out);
}

void FrameSentence(std::string& sentence) {
  if (sentence.empty()) return;
  if (ByteAt(sentence, 1) > 32) InsertAt(sentence, 1, std::string(1, static_cast<char>(StartMark)));
  auto j = static_cast<std::int64_t>(sentence.size());
  for (;;) {
    const std::uint8_t b = ByteAt(sentence, j);
    if (!(b == ' ' || b == 13 || b == 10) || j <= 1) break;
    if (b == ' ') DeleteAt(sentence, j);
    --j;
  }
  if (!IsClauseMark(ByteAt(sentence, j))) InsertAt(sentence, j + 1, ".");
}

void NormaliseText(std::string& sentence) {
  std::string& s = sentence;
  for (std::int64_t i = 0; i <= static_cast<std::int64_t>(s.size()); ++i) {
    Parenthesis(s, i);
    const std::uint8_t c = ByteAt(s, i);
    if (IsAccentedCapital(c)) SetByteAt(s, i, LowerAccentedCapital(c));
    SpellOut(s, i);
    if (IsDigit(ByteAt(s, i)) && !IsDigit(ByteAt(s, i - 1))) ReplaceDigitRun(s, i);
    PairRules(s, i);
  }
}
