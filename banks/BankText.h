// The text form in which bank sources hold their sample strings, one element per slot.
//
// An element is the bytes of one sample string, each written as "#" and its decimal value
// (0 to 255, no sign, no leading zeros), 255 values to a line; every further line starts
// after CR LF with "+"; the element ends with "," and CR LF. So the bytes 1, 0, 255 are
// "#1#0#255,\r\n", and 600 bytes take three lines of 255, 255 and 90 values. A bank file
// is nothing but its 120 elements in slot order, so an exported slot can be pasted in as
// it is. The element keeps the recording exactly, leading zero samples included.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace banks {

// Values on one line of an element.
constexpr std::size_t ValuesPerLine = 255;

// A fault in the text, with the 0-based element (= slot) and the 1-based line it is on.
class BankTextError : public std::runtime_error {
 public:
  BankTextError(std::size_t element, std::size_t line, const std::string& what);
  std::size_t Element() const { return element_; }
  std::size_t Line() const { return line_; }
  // The fault alone, without element and line.
  const std::string& Message() const { return message_; }

 private:
  std::size_t element_;
  std::size_t line_;
  std::string message_;
};

// The element text of bytes. No bytes at all give "," and CR LF alone.
std::string WriteElement(std::string_view bytes);

// Every element of a text, in order. The text must consist of whole elements and nothing
// else; any other content throws BankTextError. startLines, when given, receives the
// 1-based line on which each element begins.
std::vector<std::string> ParseElements(std::string_view text,
                                       std::vector<std::size_t>* startLines = nullptr);

// Exactly one element.
std::string ParseElement(std::string_view text);

}  // namespace banks
