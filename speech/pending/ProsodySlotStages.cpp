// Until slot choice and prosody land: every character sounds slot 0 once.
#include "speech/CreateVoice.h"
#include "speech/Prosody.h"
#include "speech/SlotChoice.h"

void SetUpPitch(TCreateVoice& v) { v.Prosody.CurrentPitch = 120; }
void WordStartPitch(TCreateVoice&) {}
void ParenthesisPitch(TCreateVoice&) {}
void FindClauseEnd(TCreateVoice&) {}
void FormPairBuffer(TCreateVoice& v) { v.Prosody.PairBuffer.clear(); }
void StressPitchAndDurations(TCreateVoice& v) { v.Prosody.Repeats = 1; }
void PeriodPitchStep(TCreateVoice&, std::int32_t) {}
void PauseStep(TCreateVoice&) {}
void MarkerStep(TCreateVoice& v) { v.Loop.ChosenSlot = 0; }
void ChooseSlot(TCreateVoice&) {}
