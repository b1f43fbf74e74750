// Orthography and word stress: the per-position letter steps and the word stage.
#pragma once

#include <cstdint>
#include <string>

class TCreateVoice;

// Loop step 6: CurrentLetter's early substitutions (y, w, ü).
void EarlySubstitutions(TCreateVoice& v);
// Loop step 7: NextLetter, blanks skipped unless the current byte is a clause mark.
void FindNextLetter(TCreateVoice& v);
// Loop step 8: a silent h ahead of the current position is removed.
void RemoveSilentH(TCreateVoice& v);
// Loop step 10: a NextLetter y reads as i.
void NextLetterYToI(TCreateVoice& v);
// Loop step 11, at a word start: orthography pass, word copy, clause end, stress.
void WordStage(TCreateVoice& v);
// Inside loop step 13, after the marker step: Ñ to ñ, v to b.
void LateSubstitutions(TCreateVoice& v);
