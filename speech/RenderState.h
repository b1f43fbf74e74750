// Timbre shape of one synthesis, set once before the character loop.
#pragma once

#include <cstdint>

struct RenderState {
  std::uint8_t InDiv = 0;
  std::uint8_t OutDiv = 0;
};
