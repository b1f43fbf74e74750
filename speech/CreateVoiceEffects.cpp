// The thread's effects read their settings from its fields.
#include "speech/CreateVoice.h"
#include "speech/Effects.h"

void TCreateVoice::ConvertRate(platform::MemoryStream& Wave) {
  speech::ConvertRate(Wave, FSampleRate);
}
void TCreateVoice::CutTreble(platform::MemoryStream& Phone, std::uint8_t Treble) {
  speech::CutTreble(Phone, Treble);
}
void TCreateVoice::Compress(platform::MemoryStream& Wave, std::uint8_t Level) {
  speech::Compress(Wave, Level);
}
void TCreateVoice::AddReverb(platform::MemoryStream& Wave) { speech::AddReverb(Wave, FReverb); }
