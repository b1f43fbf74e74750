#include "banks/BankText.h"

namespace banks {

namespace {

std::string Describe(std::size_t element, std::size_t line, const std::string& what) {
  return "element " + std::to_string(element) + ", line " + std::to_string(line) + ": " + what;
}

std::string Shown(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u >= 33 && u < 127) return std::string("'") + c + "'";
  return "byte " + std::to_string(u);
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  std::size_t Line() const { return line_; }

  std::string Element() {
    std::string bytes;
    if (Peek() == ',') {  // a string of no bytes at all
      ++pos_;
      LineEnd();
      ++element_;
      return bytes;
    }
    for (;;) {
      std::size_t onLine = 0;
      while (Peek() == '#') {
        if (onLine == ValuesPerLine) Fail("more than 255 values on one line");
        ++pos_;
        bytes.push_back(static_cast<char>(Value()));
        ++onLine;
      }
      if (onLine == 0) Fail("expected '#', found " + Found());
      if (Peek() == ',') {
        ++pos_;
        LineEnd();
        break;
      }
      if (Peek() != '\r') Fail("expected '#', ',' or CR LF, found " + Found());
      if (onLine != ValuesPerLine)
        Fail("line continued after " + std::to_string(onLine) + " values instead of 255");
      LineEnd();
      if (Peek() != '+') Fail("continuation line must begin with '+', found " + Found());
      ++pos_;
    }
    ++element_;
    return bytes;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw BankTextError(element_, line_, what);
  }
  int Peek() const { return AtEnd() ? -1 : static_cast<unsigned char>(text_[pos_]); }
  std::string Found() const { return AtEnd() ? "end of text" : Shown(text_[pos_]); }

  void LineEnd() {
    if (Peek() != '\r') Fail("expected CR LF, found " + Found());
    ++pos_;
    if (Peek() != '\n') Fail("CR not followed by LF");
    ++pos_;
    ++line_;
  }

  unsigned Value() {
    std::size_t start = pos_;
    unsigned v = 0;
    while (Peek() >= '0' && Peek() <= '9') {
      v = v * 10 + static_cast<unsigned>(text_[pos_] - '0');
      ++pos_;
      if (v > 255) Fail("value above 255");
    }
    if (pos_ == start) Fail("expected a decimal value after '#', found " + Found());
    if (pos_ - start > 1 && text_[start] == '0') Fail("value with a leading zero");
    return v;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  std::size_t element_ = 0;
};

}  // namespace

BankTextError::BankTextError(std::size_t element, std::size_t line, const std::string& what)
    : std::runtime_error(Describe(element, line, what)),
      element_(element),
      line_(line),
      message_(what) {}

std::string WriteElement(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 4 + bytes.size() / ValuesPerLine * 3 + 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && i % ValuesPerLine == 0) out += "\r\n+";
    out += '#';
    out += std::to_string(static_cast<unsigned char>(bytes[i]));
  }
  out += ",\r\n";
  return out;
}

std::vector<std::string> ParseElements(std::string_view text,
                                       std::vector<std::size_t>* startLines) {
  Parser p(text);
  std::vector<std::string> elements;
  if (startLines) startLines->clear();
  while (!p.AtEnd()) {
    if (startLines) startLines->push_back(p.Line());
    elements.push_back(p.Element());
  }
  return elements;
}

std::string ParseElement(std::string_view text) {
  Parser p(text);
  std::string bytes = p.Element();
  if (!p.AtEnd()) throw BankTextError(1, p.Line(), "text goes on after the element");
  return bytes;
}

}  // namespace banks
