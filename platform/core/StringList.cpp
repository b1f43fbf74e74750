#include "platform/core/StringList.h"

namespace platform {

void TStringList::SetText(const std::string& text) {
  items_.clear();
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] != '\0') {
    const size_t start = i;
    while (i < n && text[i] != '\0' && text[i] != '\r' && text[i] != '\n') ++i;
    items_.push_back(text.substr(start, i - start));
    if (i < n && text[i] == '\r') ++i;
    if (i < n && text[i] == '\n') ++i;
  }
}

std::string TStringList::Text() const {
  std::string out;
  for (const std::string& s : items_) out += s + "\r\n";
  return out;
}

const std::string& TStringList::Strings(int index) const {
  if (index < 0 || index >= Count())
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  return items_[static_cast<size_t>(index)];
}

}  // namespace platform
