// The voice presets (the items a voice item selects in six setting lists) and the treble and
// bass numbers of an equaliser item, which a voice load takes.
#pragma once

#include <cstdint>
#include <string>

// Item indexes that a voice item's preset selects in six lists.
struct VoicePreset {
  int Pitch;
  int Speed;
  int Eq;
  int AnalogSpeed;
  int Compress;
  int WaveForm;
};

// The preset of a voice item 0..89; false for an item outside that range (no preset).
bool VoicePresetFor(int voiceItem, VoicePreset& preset);

// "0 -2" gives 0 and -2; a part that is no integer reads as 0 ("(No filtrar)": 0 and 0).
void ParseEqItem(const std::string& text, std::int16_t& treble, std::int16_t& bass);
