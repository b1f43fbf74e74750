#include "app/VoicePresets.h"

#include <cctype>
#include <climits>

namespace {
// By variant (voice item mod 9): pitch for an even and an odd voice, eq, analog speed,
// timbre. Every preset sets the speed list to "5" and the compressor off.
struct Row {
  int pitchEven, pitchOdd, eq, analog, waveForm;
};
constexpr Row kPresets[9] = {
    {39, 109, 2, 0, 0},  {39, 109, 2, 0, 7},  {39, 109, 2, 0, 9},
    {39, 109, 2, 5, 9},  {85, 155, 7, 6, 5},  {19, 89, 7, 7, 9},
    {139, 209, 7, 4, 9}, {139, 209, 7, 8, 9}, {59, 139, 7, 5, 9},
};

// A whole decimal integer with an optional sign; anything else reads as 0.
std::int16_t ReadInteger(const std::string& s) {
  if (s.empty()) return 0;
  std::size_t i = 0;
  bool negative = false;
  if (s[0] == '-' || s[0] == '+') {
    negative = s[0] == '-';
    i = 1;
  }
  if (i == s.size()) return 0;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return 0;
    v = v * 10 + (s[i] - '0');
    if (v > 32768) return 0;
  }
  if (negative) v = -v;
  if (v > 32767 || v < -32768) return 0;
  return static_cast<std::int16_t>(v);
}
}  // namespace

bool VoicePresetFor(int voiceItem, VoicePreset& preset) {
  if (voiceItem < 0 || voiceItem > 89) return false;
  const Row& r = kPresets[voiceItem % 9];
  const bool odd = (voiceItem / 9) % 2 == 1;
  preset = VoicePreset{odd ? r.pitchOdd : r.pitchEven, 4, r.eq, r.analog, 0, r.waveForm};
  return true;
}

void ParseEqItem(const std::string& text, std::int16_t& treble, std::int16_t& bass) {
  auto blank = text.find(' ');
  if (blank == std::string::npos) {
    treble = ReadInteger(text);
    bass = 0;
    return;
  }
  treble = ReadInteger(text.substr(0, blank));
  bass = ReadInteger(text.substr(blank + 1));
}
