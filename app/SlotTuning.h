// The tuning mode's sample work: the level step of one slot and its export text.
#pragma once

#include <cstdint>
#include <string>

// Every sample x becomes (x div OldLevel) * NewLevel, kept in 16 bits. A NewLevel outside
// 1..99 beeps (default sound) and gives the empty string.
std::string ScaleSampleLevel(const std::string& S, std::uint8_t OldLevel, std::uint8_t NewLevel);

// The slot's samples as bank source text, leading zero samples removed (one sample stays).
std::string SlotExportText(const std::string& slot);
