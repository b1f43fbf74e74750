#include "speech/Orthography.h"

#include <string_view>

#include "speech/CreateVoice.h"
#include "speech/Letters.h"
#include "speech/Prosody.h"
#include "speech/TextBytes.h"

namespace {

constexpr std::uint8_t EAcute = Accent('e');

// The function words that carry no stress; \361 is ñ.
constexpr std::string_view UnstressedWords =
    " cada por porqe pero donde como para sino ante bajo contra hacia desde hasta entre sobre "
    "mediante durante do\361a del al el la lo los las ";
constexpr std::string_view Articles = " el la lo los las ";

void AccentAt(std::string& s, std::int64_t pos) { SetByteAt(s, pos, Accent(ByteAt(s, pos))); }

bool InList(std::string_view list, const std::string& word) {
  std::string key = " " + word + " ";
  return list.find(key) != std::string_view::npos;
}

bool StartsWith(const std::string& s, std::string_view head) { return s.starts_with(head); }

bool OneOf(const std::string& w, std::initializer_list<std::string_view> words) {
  for (std::string_view x : words)
    if (w == x) return true;
  return false;
}

// The orthography pass over the word that begins at i: qu as k, g before e or i as j, the
// u of gue and gui dropped.
void SpellWord(TCreateVoice& v, std::int64_t i) {
  std::string& s = v.FSentence;
  for (std::int64_t j = i; IsLetterLike(ByteAt(s, j)); ++j) {
    if (LowerAZ(ByteAt(s, j)) == 'q' && LowerAZ(ByteAt(s, j + 1)) == 'u') {
      SetByteAt(s, j, 'k');
      DeleteAt(s, j + 1);
    }
    if (LowerAZ(ByteAt(s, j)) == 'g' && IsFrontVowel(LowerAZ(ByteAt(s, j + 1)))) {
      SetByteAt(s, j, 'j');
      if (j == i) v.Loop.CurrentLetter = 'j';
    }
    if (LowerAZ(ByteAt(s, j)) == 'g' && LowerAZ(ByteAt(s, j + 1)) == 'u') {
      // E and I count here, É and Í do not.
      if (IsFrontVowel(LowerAZ(ByteAt(s, j + 2)))) {
        DeleteAt(s, j + 1);
        if (j == i) v.Loop.NextLetter = LowerAZ(ByteAt(s, j + 1));
      }
    }
  }
}

// Short words with a fixed accent; true when one matched and its accent is written.
bool ShortWord(TCreateVoice& v, std::int64_t i) {
  std::string& s = v.FSentence;
  const std::string& w = v.Ortho.CurrentWord;
  const std::size_t len = w.size();
  auto at = [&](std::size_t k) -> char { return k < len ? w[k] : '\0'; };
  auto aOrE = [](char c) { return c == 'a' || c == 'e'; };
  auto nOrS = [](char c) { return c == 'n' || c == 's'; };
  if (OneOf(w, {"no", "ti"}) ||
      (len == 2 && static_cast<std::uint8_t>(at(0)) == LlMark && (at(1) == 'a' || at(1) == 'o')) ||
      OneOf(w, {"son", "fin", "pan", "dos", "seis"}) ||
      (at(0) == 'v' && ((len == 2 && aOrE(at(1))) || (len == 3 && aOrE(at(1)) && nOrS(at(2))))) ||
      (len == 3 && StartsWith(w, "de") && nOrS(at(2)))) {
    AccentAt(s, i + 1);
  } else if (OneOf(w, {"he", "ha"}) ||
             (len == 3 && StartsWith(w, "ha") && (nOrS(at(2)) || at(2) == 'z'))) {
    AccentAt(s, i);  // the h is not in the text
  } else if ((StartsWith(w, "fue") || StartsWith(w, "pie")) && len < 5) {
    SetByteAt(s, i + 2, EAcute);
  } else if (w == "un" || (StartsWith(w, "ir") && len < 6) || (StartsWith(w, "es") && len < 5)) {
    v.Loop.CurrentLetter = Accent(v.Loop.CurrentLetter);
    SetByteAt(s, i, v.Loop.CurrentLetter);
  } else if (OneOf(w, {"tres", "gran"})) {
    AccentAt(s, i + 2);
  } else if (OneOf(w, {"bien", "buen"})) {
    SetByteAt(s, i + 2, EAcute);
  } else {
    return false;
  }
  return true;
}

bool IsFunctionWord(const std::string& w, const std::string& previous) {
  return InList(UnstressedWords, w) || StartsWith(w, "qienes") || StartsWith(w, "aunq") ||
         StartsWith(w, "mientr") || (StartsWith(w, "cuan") && w.size() < 8) ||
         (StartsWith(w, "cuy") && w.size() < 6) ||
         ((StartsWith(w, "n") || StartsWith(w, "v")) && w.compare(1, 5, "uestr") == 0 &&
          w.size() < 9 && !InList(Articles, previous));
}

// A function word that is stressed after all in this context.
bool StressedInContext(const TCreateVoice& v, std::int64_t i) {
  const std::string& w = v.Ortho.CurrentWord;
  const std::string& p = v.Ortho.PreviousWord;
  if (w == "sobre") return OneOf(p, {"qe", "del", "un", "el"});
  if (w == "ante") return OneOf(p, {"de", "el", "un"});
  if (w == "bajo")
    return p.size() == 2 && (p[0] == 'l' || p[0] == 'm' || p[0] == 't') && p[1] == 'e';
  if (w == "sino") {
    const std::uint8_t before = ByteAt(v.FSentence, i - 2);
    return before != ',' && before != ';';
  }
  if (w == "contra") return OneOf(p, {"en", "mi", "tu", "su"});
  return false;
}

}  // namespace

void EarlySubstitutions(TCreateVoice& v) {
  std::uint8_t c = LowerAZ(ByteAt(v.FSentence, v.Loop.CharIndex));
  if (c == 'y') c = 'i';
  if (c == 'w' || c == UUmlautCapital || c == UUmlaut) c = 'u';
  v.Loop.CurrentLetter = c;
}

void FindNextLetter(TCreateVoice& v) {
  std::int32_t n = v.Loop.CharIndex + 1;
  if (!IsClauseMark(ByteAt(v.FSentence, v.Loop.CharIndex)))
    while (ByteAt(v.FSentence, n) == ' ') ++n;
  v.Ortho.NextPosition = n;
  v.Loop.NextLetter = LowerAZ(ByteAt(v.FSentence, n));
}

void RemoveSilentH(TCreateVoice& v) {
  if (v.Loop.NextLetter != 'h' || v.Loop.CurrentLetter == 'c') return;
  const std::int32_t n = v.Ortho.NextPosition;
  DeleteAt(v.FSentence, n);
  v.Ortho.SilentHPosition = n;
  v.Loop.NextLetter = LowerAZ(ByteAt(v.FSentence, n));
}

void NextLetterYToI(TCreateVoice& v) {
  if (v.Loop.NextLetter == 'y') v.Loop.NextLetter = 'i';
}

void WordStage(TCreateVoice& v) {
  const std::int64_t i = v.Loop.CharIndex;
  std::string& s = v.FSentence;
  OrthographyState& o = v.Ortho;

  SpellWord(v, i);

  o.PreviousWord = o.CurrentWord;
  const bool hRestored = o.SilentHPosition == i;
  o.CurrentWord.clear();
  if (hRestored) o.CurrentWord += 'h';
  for (std::int64_t j = i; IsLetterLike(ByteAt(s, j)); ++j)
    o.CurrentWord += static_cast<char>(LowerAZ(ByteAt(s, j)));
  if (o.SilentHPosition <= i) o.SilentHPosition = 0;

  FindClauseEnd(v);

  if (o.CurrentWord.find_first_of(AccentedVowels) != std::string::npos) return;
  if (ShortWord(v, i)) return;
  if (IsFunctionWord(o.CurrentWord, o.PreviousWord) && !StressedInContext(v, i)) return;

  std::string result;
  v.PlaceStress(hRestored ? o.CurrentWord.substr(1) : o.CurrentWord, result);
  for (std::size_t m = 0; m < result.size(); ++m)
    SetByteAt(s, i + static_cast<std::int64_t>(m), static_cast<std::uint8_t>(result[m]));
}

void LateSubstitutions(TCreateVoice& v) {
  if (v.Loop.CurrentLetter == NTildeCapital) v.Loop.CurrentLetter = NTilde;
  if (v.Loop.CurrentLetter == 'v') {
    v.Loop.CurrentLetter = 'b';
    SetByteAt(v.FSentence, v.Loop.CharIndex, 'b');
  }
}
