// Pitch state and durations of one sentence (whole hertz, 16-bit).
#pragma once

#include <cstdint>
#include <string>

struct ProsodyState {
  std::int16_t BasePitch = 0;
  std::int16_t TopPitch = 0;
  std::int16_t HomeTop = 0;
  std::int16_t PitchCeiling = 0;
  std::int16_t PitchFloor = 0;
  std::int16_t CurrentPitch = 0;
  std::int32_t ClauseEnd = 0;  // position of the mark that ends the current word
  std::uint8_t FinalFall = 0;  // the final fall has begun in the current word
  std::uint8_t Falling = 0;    // direction of the period pitch step: 0 rising, 1 falling
  std::int32_t Repeats = 0;    // periods of the current character
  std::string PairBuffer;      // vowel and what it glides into (or 255), or empty
};
