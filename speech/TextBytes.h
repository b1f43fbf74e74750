// Byte-level views of the sentence text shared by every stage: positions count from 1,
// a read outside the text gives 0, lower-casing touches A to Z only.
#pragma once

#include <cstdint>
#include <string>

constexpr std::uint8_t StartMark = 1;
constexpr std::uint8_t LlMark = 29;  // the sound of ll (and of a word-initial y before a vowel)
constexpr std::uint8_t RrMark = 30;  // strong r
constexpr std::uint8_t ChMark = 31;  // ch

inline std::uint8_t ByteAt(const std::string& s, std::int64_t pos) {
  if (pos < 1 || pos > static_cast<std::int64_t>(s.size())) return 0;
  return static_cast<std::uint8_t>(s[static_cast<std::size_t>(pos - 1)]);
}

// Writes inside the text only; a position outside it is ignored.
inline void SetByteAt(std::string& s, std::int64_t pos, std::uint8_t b) {
  if (pos < 1 || pos > static_cast<std::int64_t>(s.size())) return;
  s[static_cast<std::size_t>(pos - 1)] = static_cast<char>(b);
}

inline void DeleteAt(std::string& s, std::int64_t pos, std::int64_t count = 1) {
  if (pos < 1 || pos > static_cast<std::int64_t>(s.size()) || count <= 0) return;
  s.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(count));
}

// Inserts before pos; pos one past the end appends.
inline void InsertAt(std::string& s, std::int64_t pos, const std::string& text) {
  if (pos < 1) pos = 1;
  if (pos > static_cast<std::int64_t>(s.size()) + 1) pos = static_cast<std::int64_t>(s.size()) + 1;
  s.replace(static_cast<std::size_t>(pos - 1), 0, text);
}

constexpr std::uint8_t LowerAZ(std::uint8_t b) {
  return (b >= 'A' && b <= 'Z') ? static_cast<std::uint8_t>(b + 32) : b;
}

constexpr bool IsDigit(std::uint8_t b) { return b >= '0' && b <= '9'; }

constexpr bool IsMarker(std::uint8_t b) { return b >= LlMark && b <= ChMark; }

// One of ".,:;?!".
constexpr bool IsClauseMark(std::uint8_t b) {
  return b == '.' || b == ',' || b == ':' || b == ';' || b == '?' || b == '!';
}
