// Windows-1252 <-> Unicode. The engine and the window code see 8-bit text; the toolkit
// layer converts at its edge.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The Unicode code point of a Windows-1252 byte. The five bytes the code page leaves
// undefined map to the C1 control of the same value, so every byte round-trips.
char32_t Cp1252ToUnicode(std::uint8_t b);
// The Windows-1252 byte of a code point, or '?' when the code page has none.
std::uint8_t UnicodeToCp1252(char32_t c);

// Whole strings: Windows-1252 bytes <-> UTF-8.
std::string Cp1252ToUtf8(const std::string& bytes);
std::string Utf8ToCp1252(const std::string& utf8);
// Code points as UTF-8 (the rich-text reader hands its text over as code points).
std::string CodePointsToUtf8(const std::u32string& text);
// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);
// Appends the code points of well-formed UTF-8; false, with out as it was, when the bytes are
// not well-formed.
bool AppendUtf8Decoded(std::string_view bytes, std::u32string& out);

}  // namespace platform
