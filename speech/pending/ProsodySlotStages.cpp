// Until prosody lands: a flat pitch and one period per character.
#include "speech/CreateVoice.h"
#include "speech/Prosody.h"

void SetUpPitch(TCreateVoice& v) { v.Prosody.CurrentPitch = 120; }
void WordStartPitch(TCreateVoice&) {}
void ParenthesisPitch(TCreateVoice&) {}
void FindClauseEnd(TCreateVoice&) {}
void FormPairBuffer(TCreateVoice& v) { v.Prosody.PairBuffer.clear(); }
void StressPitchAndDurations(TCreateVoice& v) { v.Prosody.Repeats = 1; }
void PeriodPitchStep(TCreateVoice&, std::int32_t) {}
void PauseStep(TCreateVoice&) {}
