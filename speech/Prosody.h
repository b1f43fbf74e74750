// Pitch, durations and pauses.
#pragma once

#include <cstdint>

class TCreateVoice;

// Set-up step 5: the pitch state from FPitch.
void SetUpPitch(TCreateVoice& v);
// Loop step 4, at a word start: the ceiling toggle after words of several syllables.
void WordStartPitch(TCreateVoice& v);
// Loop step 5: "(" and ")".
void ParenthesisPitch(TCreateVoice& v);
// Called by the word stage right after its orthography pass: ClauseEnd for the word.
void FindClauseEnd(TCreateVoice& v);
// Loop step 12: what the current vowel glides into.
void FormPairBuffer(TCreateVoice& v);
// Loop step 14: stress pitch, final fall, Repeats.
void StressPitchAndDurations(TCreateVoice& v);
// Called by the rendering after period k of a repeated sound.
void PeriodPitchStep(TCreateVoice& v, std::int32_t k);
// Loop step 16: the pause after a clause mark or "-".
void PauseStep(TCreateVoice& v);
