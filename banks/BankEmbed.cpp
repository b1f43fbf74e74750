// Build step: turns one bank source file into a C++ source holding its 120 sample strings
// as constant data.  Usage: bank_embed <Voice> <Voice.bank> <out.cpp>
// A malformed file stops the build with "file:line: element N: what".
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "banks/BankText.h"
#include "banks/VoiceBanks.h"

namespace {

int Fail(const std::string& file, std::size_t line, std::size_t element, const std::string& what) {
  std::cerr << file << ":" << line << ": error: element " << element << " (slot " << element
            << "): " << what << "\n";
  return 1;
}

// One C++ string literal per slot, split over lines; 3-digit octal escapes so that a
// following digit can never be taken into the escape.
void WriteLiteral(std::ostream& out, const std::string& bytes) {
  out << "    {\"";
  std::size_t col = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (col >= 96) {
      out << "\"\n     \"";
      col = 0;
    }
    auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 32 && c < 127 && c != '"' && c != '\\' && c != '?') {
      out << static_cast<char>(c);
      ++col;
    } else {
      char esc[5];
      std::snprintf(esc, sizeof esc, "\\%03o", c);
      out << esc;
      col += 4;
    }
  }
  out << "\", " << bytes.size() << "},\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: bank_embed <Voice> <Voice.bank> <out.cpp>\n";
    return 2;
  }
  const std::string voice = argv[1], in = argv[2], outPath = argv[3];
  std::ifstream f(in, std::ios::binary);
  if (!f) {
    std::cerr << in << ": error: cannot read the bank file\n";
    return 1;
  }
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string text = ss.str();

  std::vector<std::string> slots;
  std::vector<std::size_t> lines;
  try {
    slots = banks::ParseElements(text, &lines);
  } catch (const banks::BankTextError& e) {
    return Fail(in, e.Line(), e.Element(), e.Message());
  }
  for (std::size_t s = 0; s < slots.size() && s < banks::SlotCount; ++s) {
    if (slots[s].size() < 2) return Fail(in, lines[s], s, "holds no sample");
    if (slots[s].size() % 2 != 0)
      return Fail(
          in, lines[s], s,
          "odd length of " + std::to_string(slots[s].size()) + " bytes (whole samples only)");
  }
  if (slots.size() != banks::SlotCount) {
    std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    if (slots.size() > banks::SlotCount) line = lines[banks::SlotCount];
    return Fail(in, line, std::min<std::size_t>(slots.size(), banks::SlotCount),
                "the file holds " + std::to_string(slots.size()) + " elements instead of 120");
  }

  std::ostringstream out;
  out << "// Generated from " << voice << ".bank by bank_embed. Do not edit.\n"
      << "#include \"banks/BankData.h\"\n\n"
      << "namespace banks::" << voice << " {\n"
      << "extern const std::string_view VoiceBankData[SlotCount] = {\n";
  for (const auto& s : slots) WriteLiteral(out, s);
  out << "};\n}  // namespace banks::" << voice << "\n";

  std::ofstream o(outPath, std::ios::binary | std::ios::trunc);
  o << out.str();
  if (!o.flush()) {
    std::cerr << outPath << ": error: cannot write\n";
    return 1;
  }
  return 0;
}
