#include "platform/core/Cp1252.h"

namespace platform {
namespace {

// 0x80..0x9F; 0 marks an undefined byte (kept as its C1 control).
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at i; returns false on malformed input.
bool DecodeUtf8(std::string_view s, std::size_t& i, char32_t& out) {
  auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b = at(i);
  int len;
  char32_t c;
  if (b < 0x80) {
    out = b;
    ++i;
    return true;
  } else if ((b & 0xE0) == 0xC0) {
    len = 2;
    c = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    len = 3;
    c = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    len = 4;
    c = b & 0x07;
  } else {
    return false;
  }
  if (i + len > s.size()) return false;
  for (int k = 1; k < len; ++k) {
    unsigned char cb = at(i + k);
    if ((cb & 0xC0) != 0x80) return false;
    c = (c << 6) | (cb & 0x3F);
  }
  static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  out = c;
  i += len;
  return true;
}

}  // namespace

char32_t Cp1252ToUnicode(std::uint8_t b) {
  if (b >= 0x80 && b <= 0x9F) {
    char32_t c = kHigh[b - 0x80];
    return c ? c : b;
  }
  return b;
}

std::uint8_t UnicodeToCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
  for (int k = 0; k < 32; ++k) {
    char32_t m = kHigh[k] ? kHigh[k] : static_cast<char32_t>(0x80 + k);
    if (m == c) return static_cast<std::uint8_t>(0x80 + k);
  }
  return '?';
}

std::string CodePointsToUtf8(const std::u32string& text) {
  std::string out;
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

std::string Cp1252ToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (unsigned char b : bytes) AppendUtf8(out, Cp1252ToUnicode(b));
  return out;
}

std::string Utf8ToCp1252(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t c;
    if (!DecodeUtf8(utf8, i, c)) {
      out += '?';
      ++i;
      continue;
    }
    out += static_cast<char>(UnicodeToCp1252(c));
  }
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  char32_t c;
  while (i < bytes.size())
    if (!DecodeUtf8(bytes, i, c)) return false;
  return true;
}

bool AppendUtf8Decoded(std::string_view bytes, std::u32string& out) {
  const std::size_t before = out.size();
  std::size_t i = 0;
  char32_t c;
  while (i < bytes.size()) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {  // most of any text
      out.push_back(b);
      ++i;
    } else if (DecodeUtf8(bytes, i, c)) {
      out.push_back(c);
    } else {
      out.resize(before);
      return false;
    }
  }
  return true;
}

}  // namespace platform
