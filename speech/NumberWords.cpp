#include "speech/NumberWords.h"

#include <array>

#include "speech/Letters.h"
#include "speech/TextBytes.h"

namespace {

// Windows-1252 bytes in octal: \341 á, \351 é, \355 í, \363 ó, \372 ú.
// clang-format off
constexpr std::array<const char*, 10> StressedDigitWords = {
    "", "\372no", "d\363s", "tr\351s", "cu\341tro", "c\355nco", "s\351is", "si\351te",
    "\363cho", "nu\351ve"};
constexpr std::array<const char*, 10> PlainDigitWords = {
    "", "", "dos", "tres", "cuatro", "cinco", "seis", "siete", "ocho", "nueve"};
constexpr std::array<const char*, 10> HundredWords = {
    "", "ci\351n", "dos", "tres", "cuatro", "qini\351nt", "seis", "sete", "ocho", "nove"};
constexpr std::array<const char*, 10> TeenWords = {
    "diez", "\363nce", "d\363ce", "trece", "cat\363rce", "q\355nce", "diecis\351is",
    "diecisi\351te", "dieci\363cho", "diecinu\351ve"};
constexpr std::array<const char*, 10> TensWords = {
    "", "", "", "treinta", "cuarenta", "cincuenta", "sesenta", "setenta", "ochenta", "noventa"};
// clang-format on

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The thousands count loses its accent when "míl" is joined to it: the last accented
// vowel of the last word of R becomes plain.
void DropLastAccent(std::string& r) {
  for (std::size_t k = r.size(); k-- > 0;) {
    if (r[k] == ' ') return;
    if (IsAccentedVowel(r[k])) {
      r[k] = static_cast<char>(PlainVowelOf(r[k]));
      return;
    }
  }
}

// 2 to 12 digits with a first digit other than 0.
std::string ReadGroups(std::string_view digits) {
  const int n = static_cast<int>(digits.size());
  auto d = [&](int p) -> int {
    if (p < 1 || p > n) return 0;
    return digits[static_cast<std::size_t>(n - p)] - '0';
  };
  std::string r;
  for (int p = n; p >= 1; --p) {
    switch (p) {
      case 3:
      case 6:
      case 9:
      case 12: {
        const int h = d(p);
        if (h == 0) break;
        r += HundredWords[h];
        if (h >= 2 && h != 5) r += "ci\351nt";
        if (h >= 2) r += "os ";
        break;
      }
      case 2:
      case 5:
      case 8:
      case 11: {
        const int t = d(p), u = d(p - 1);
        if ((t != 0 || u != 0) && EndsWith(r, "ci\351n")) r += "to ";
        if (t == 0) {
          if (u == 1) {
            r += "un";
            if (n != 9) r += "o";
          } else if (u >= 2) {
            r += StressedDigitWords[u];
          }
        } else if (t == 1) {
          r += TeenWords[u];
        } else if (t == 2) {
          r += "veint";
          r += (u == 0) ? "e" : "i";
        } else {
          r += TensWords[t];
          if (u != 0) r += "i";
        }
        if (t >= 2 && u >= 1) r += StressedDigitWords[u];
        if (p == 8 && (n == 8 || n == 10 || n == 11 || n == 12)) r += "millones";
        break;
      }
      case 4:
      case 10: {
        const int th = d(p);
        if (r.empty()) {
          if (th >= 2) r += PlainDigitWords[th];
          r += "m\355l";
        } else if (d(p) != 0 || d(p + 1) != 0 || d(p + 2) != 0) {
          if (EndsWith(r, " ")) r.pop_back();
          if (EndsWith(r, "nuno")) r.resize(r.size() - 3);
          if (!EndsWith(r, "ll\363n")) DropLastAccent(r);
          r += "m\355l";
        }
        break;
      }
      case 7: {
        const int m = d(7);
        if (n == 7 && m >= 2) r += StressedDigitWords[m];
        if (n == 7 || n == 9) {
          if (r.empty()) r = "\372n";
          r += "mill\363n";
          if (m >= 2 || n == 9) r += "es";
        }
        break;
      }
      default:  // units: read with the tens
        break;
    }
  }
  return r;
}

}  // namespace

std::string ReadNumber(std::string_view digits) {
  std::string r;
  while (digits.size() >= 2 && digits.front() == '0') {
    digits.remove_prefix(1);
    r += "cero ";
  }
  if (digits.size() == 1 || digits.size() > 12) {
    for (char c : digits) {
      if (c == '0') {
        r += "cero ";
      } else {
        r += StressedDigitWords[static_cast<std::size_t>(c - '0')];
        r += ' ';
      }
    }
    return r;
  }
  // What remains after the zeros is read as the number it forms on its own.
  return r + ReadGroups(digits);
}

void ReplaceDigitRun(std::string& text, std::int64_t i) {
  std::string prefix;
  if (ByteAt(text, i - 1) == ',') {
    SetByteAt(text, i - 1, ' ');
    prefix = "coma";
  }
  std::int64_t end = i;
  while (IsDigit(ByteAt(text, end))) ++end;
  const std::string digits =
      text.substr(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(end - i));
  DeleteAt(text, i, end - i);
  InsertAt(text, i, prefix + ReadNumber(digits));
}
