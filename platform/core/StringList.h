// A list of strings that can be set from one text, a line to an entry, like the class
// library's string list.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// The failure of an entry index outside the list.
class EStringListError : public std::out_of_range {
 public:
  using std::out_of_range::out_of_range;
};

class TStringList {
 public:
  // Replaces the entries by the lines of `text`. Lines end with CR LF, LF or CR; a last line
  // break adds no empty entry; the text ends at a NUL byte.
  void SetText(const std::string& text);
  // The entries, each followed by CR LF.
  std::string Text() const;

  int Count() const { return static_cast<int>(items_.size()); }
  // Throws EStringListError for an index outside 0 .. Count() - 1.
  const std::string& Strings(int index) const;
  void Add(const std::string& s) { items_.push_back(s); }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::string> items_;
};

}  // namespace platform
