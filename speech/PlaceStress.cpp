// Stress by rule: syllable breaks, the stressed syllable by the Spanish rules, the accent
// written on its vowel, and the syllable count for the pitch stage.
#include <cstdint>
#include <string>
#include <string_view>

#include "speech/CreateVoice.h"
#include "speech/Letters.h"
#include "speech/TextBytes.h"

namespace {

bool IsStrongVowel(char c) { return c == 'a' || c == 'e' || c == 'o'; }

bool In(std::string_view set, char c) { return c != 0 && set.find(c) != std::string_view::npos; }

// The word with "-" between its syllables.
std::string BreakSyllables(const std::string& w) {
  const auto len = static_cast<std::int64_t>(w.size());
  auto at = [&](std::int64_t k) -> char { return (k < 1 || k > len) ? '\0' : w[k - 1]; };
  std::string r(1, w[0]);
  for (std::int64_t k = 2; k <= len; ++k) {
    const char c = at(k), before = at(k - 1), after = at(k + 1);
    const char twoBefore = at(k - 2), twoAfter = at(k + 2);
    // An h between vowels, or a consonant before l or r, opens a syllable together with the
    // letter after it.
    if ((c == 'h' && IsVowel(before) && IsVowel(after) && IsPlainVowel(twoAfter)) ||
        (IsConsonant(c) && !In("hklnrsz", c) && (after == 'l' || after == 'r'))) {
      r += '-';
      r += c;
      r += after;
      ++k;
      continue;
    }
    const bool brk =
        (IsVowel(before) && IsConsonant(c) && IsVowel(after)) || (c == 'c' && after == 'h') ||
        (c == after && (c == 'l' || c == 'r')) || (c == before && c != 'l' && c != 'r') ||
        (IsVowel(twoBefore) && IsConsonant(before) && IsConsonant(c) && before != c &&
         IsVowel(after)) ||
        (IsStrongVowel(before) && (IsAccentedVowel(c) || IsStrongVowel(c))) ||
        (IsAccentedVowel(before) && IsStrongVowel(c)) || (before == 's' && IsConsonant(c));
    if (brk) r += '-';
    r += c;
  }
  return r;
}

void CleanUp(std::string& r) {
  // A final lone consonant joins the syllable before it.
  if (r.size() >= 2 && !IsPlainVowel(r.back()) && r[r.size() - 2] == '-') r.erase(r.size() - 2, 1);
  for (std::size_t at; (at = r.find("-c-h")) != std::string::npos;) r.erase(at + 2, 1);
  // Strong vowel, h, then i or u stay in one syllable (ahu-mar).
  for (std::size_t k = 1; k + 2 < r.size(); ++k)
    if (r[k] == '-' && IsStrongVowel(r[k - 1]) && r[k + 1] == 'h' &&
        (r[k + 2] == 'i' || r[k + 2] == 'u'))
      r.erase(k, 1);
}

// Accents the stressed vowel of r; false when the word gets no stress.
bool Stress(std::string& r) {
  auto k = static_cast<std::int64_t>(r.size()) - 1;  // 0-based
  const char last = r[static_cast<std::size_t>(k)];
  if (last != 'n' && last != 's' && !IsPlainVowel(last)) {
    // Stress on the last syllable, unless it ends in n or s after another consonant.
    while (k >= 0 && r[k] != 'n' && r[k] != 's' && !IsPlainVowel(r[k])) --k;
    if (k < 0) return false;
    if (IsPlainVowel(r[k])) {
      r[k] = static_cast<char>(Accent(r[k]));
      return true;
    }
  }
  while (k >= 0 && r[k] != '-') --k;
  if (k < 0) return false;
  --k;
  while (k >= 0 && !IsPlainVowel(r[k])) --k;
  if (k < 0) return false;
  if (k >= 1 && IsStrongVowel(r[k - 1])) --k;
  r[k] = static_cast<char>(Accent(r[k]));
  return true;
}

}  // namespace

void TCreateVoice::PlaceStress(std::string Word, std::string& Result) {
  FSyllables = 1;
  Result.clear();
  std::string word;
  for (char c : Word) {
    if (static_cast<std::uint8_t>(c) == LlMark)
      word += "ll";
    else
      word += c;
  }
  std::string mente;
  if (word.size() >= 7 && word.find("mente") == word.size() - 5) {
    mente = word.substr(word.size() - 5);
    word.resize(word.size() - 5);
  }
  if (word.empty()) return;
  std::string r = BreakSyllables(word);
  CleanUp(r);
  if (!Stress(r)) return;
  std::string plain;
  std::uint16_t breaks = 0;
  for (char c : r) {
    if (c == '-')
      ++breaks;
    else
      plain += c;
  }
  std::string out;
  for (std::size_t k = 0; k < plain.size(); ++k) {
    if (plain[k] == 'l' && k + 1 < plain.size() && plain[k + 1] == 'l') {
      out += static_cast<char>(LlMark);
      ++k;
    } else {
      out += plain[k];
    }
  }
  FSyllables = static_cast<std::uint16_t>(FSyllables + breaks);
  Result = out + mente;
}
