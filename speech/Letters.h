// The engine's letter classes, tested on single Windows-1252 bytes. The vowel classes hold
// lower-case letters only: an upper-case vowel, accented or not, is in none of them.
#pragma once

#include <cstdint>
#include <string_view>

#include "speech/TextBytes.h"

// Place k of AccentedVowels is the vowel at place k of PlainVowels with an acute accent.
inline constexpr std::string_view PlainVowels = "aeiou";
inline constexpr std::string_view AccentedVowels = "\341\351\355\363\372";    // á é í ó ú
inline constexpr std::string_view AccentedCapitals = "\301\311\315\323\332";  // Á É Í Ó Ú

// y counts as a consonant; ü and every upper-case letter are none.
inline constexpr std::string_view Consonants = "bcdfghjklmnpqrstvwxyz\361";

constexpr std::uint8_t NTilde = 241;          // ñ
constexpr std::uint8_t NTildeCapital = 209;   // Ñ
constexpr std::uint8_t UUmlaut = 252;         // ü
constexpr std::uint8_t UUmlautCapital = 220;  // Ü

namespace letters_detail {
constexpr std::size_t PlaceIn(std::string_view set, std::uint8_t b) {
  return b == 0 ? std::string_view::npos : set.find(static_cast<char>(b));
}
}  // namespace letters_detail

constexpr bool IsPlainVowel(std::uint8_t b) {
  return letters_detail::PlaceIn(PlainVowels, b) != std::string_view::npos;
}
constexpr bool IsAccentedVowel(std::uint8_t b) {
  return letters_detail::PlaceIn(AccentedVowels, b) != std::string_view::npos;
}
constexpr bool IsVowel(std::uint8_t b) { return IsPlainVowel(b) || IsAccentedVowel(b); }

// The plain vowel of an accented one; any other byte as it is.
constexpr std::uint8_t PlainVowelOf(std::uint8_t b) {
  const std::size_t at = letters_detail::PlaceIn(AccentedVowels, b);
  return at == std::string_view::npos ? b : static_cast<std::uint8_t>(PlainVowels[at]);
}

// The accented vowel of a plain one; any other byte as it is.
constexpr std::uint8_t Accent(std::uint8_t b) {
  const std::size_t at = letters_detail::PlaceIn(PlainVowels, b);
  return at == std::string_view::npos ? b : static_cast<std::uint8_t>(AccentedVowels[at]);
}

// e or i, plain or accented: the vowels before which c sounds as z and g as j.
constexpr bool IsFrontVowel(std::uint8_t b) {
  const std::uint8_t plain = PlainVowelOf(b);
  return plain == 'e' || plain == 'i';
}

constexpr bool IsAccentedCapital(std::uint8_t b) {
  return letters_detail::PlaceIn(AccentedCapitals, b) != std::string_view::npos;
}

// Á É Í Ó Ú to á é í ó ú; any other byte as it is.
constexpr std::uint8_t LowerAccentedCapital(std::uint8_t b) {
  const std::size_t at = letters_detail::PlaceIn(AccentedCapitals, b);
  return at == std::string_view::npos ? b : static_cast<std::uint8_t>(AccentedVowels[at]);
}

constexpr bool IsConsonant(std::uint8_t b) {
  return letters_detail::PlaceIn(Consonants, b) != std::string_view::npos;
}

// A byte from "A" up; every byte below it is a boundary.
constexpr bool IsWordChar(std::uint8_t b) { return b >= 'A'; }

// A word character or one of the markers that stand for a letter.
constexpr bool IsLetterLike(std::uint8_t b) { return IsWordChar(b) || IsMarker(b); }
