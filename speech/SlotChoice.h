// Letter-to-slot mapping: the ch and strong-r markers, then the phoneme slot of the
// current position with its vowel-context variant.
#pragma once

class TCreateVoice;

void MarkerStep(TCreateVoice& v);
void ChooseSlot(TCreateVoice& v);
