// Until the whole-utterance effects land: they leave the sound as it is.
#include "speech/CreateVoice.h"

void TCreateVoice::ConvertRate(platform::MemoryStream&) {}
void TCreateVoice::CutTreble(platform::MemoryStream&, std::uint8_t) {}
void TCreateVoice::Compress(platform::MemoryStream&, std::uint8_t) {}
void TCreateVoice::AddReverb(platform::MemoryStream&) {}
