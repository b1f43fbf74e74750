// The character loop's position and letter views, shared by every stage of one synthesis;
// the orthography and slot-choice stages rewrite the letter views (SynthesisSteps.h says
// which step writes what).
#pragma once

#include <cstdint>

struct LoopState {
  std::int32_t CharIndex = 0;  // 1-based position being handled
  std::int32_t WordStart = 0;
  std::uint8_t CurrentLetter = 0;
  std::uint8_t NextLetter = 0;
  std::uint8_t PreviousLetter = 0;
  std::int32_t ChosenSlot = 0;  // phoneme slot that sounds for this position (0: none)
};
