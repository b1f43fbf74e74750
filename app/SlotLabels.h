// The labels of phoneme slots 1 to 119, in slot order, joined by CR LF with none after the
// last: line i names slot i + 1 (slot 0 has no label). Windows-1252 text, made from the
// slot table when compiling: a variant slot's label is its phoneme's followed by the
// variant digit.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "banks/SlotTable.h"

namespace app {

namespace detail {

// Writes the labels into `out` when it is not null; the length of the text either way.
constexpr std::size_t WriteSlotLabels(char* out) {
  std::size_t n = 0;
  auto put = [&](char c) {
    if (out) out[n] = c;
    ++n;
  };
  for (banks::TPhonemeSlot slot = 1; slot < banks::SlotCount; ++slot) {
    if (slot > 1) {
      put('\r');
      put('\n');
    }
    const banks::SlotName name = banks::NameOfSlot(slot);
    for (char c : name.row->label) put(c);
    if (name.digit) put(name.digit);
  }
  return n;
}

constexpr auto MakeSlotLabels() {
  std::array<char, WriteSlotLabels(nullptr)> text{};
  WriteSlotLabels(text.data());
  return text;
}

inline constexpr auto SlotLabelText = MakeSlotLabels();

}  // namespace detail

inline constexpr std::string_view SlotLabels(detail::SlotLabelText.data(),
                                             detail::SlotLabelText.size());

}  // namespace app
