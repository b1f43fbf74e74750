// Word-level state of the orthography and stress stage.
#pragma once

#include <cstdint>
#include <string>

struct OrthographyState {
  std::string CurrentWord;  // lower-case copy of the latest word, silent h restored
  std::string PreviousWord;
  std::int32_t SilentHPosition = 0;  // where the silent-h step last removed an h; 0: none
  std::int32_t NextPosition = 0;     // the position NextLetter was read from
};
