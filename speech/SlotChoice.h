// Letter-to-slot mapping: the ch and strong-r markers, then the phoneme slot of the
// current position with its vowel-context variant.
#pragma once

class TCreateVoice;

// Inside loop step 13, after PreviousLetter: ch and strong r become their markers.
void MarkerStep(TCreateVoice& v);
// Loop step 13, last: ChosenSlot for the current position.
void ChooseSlot(TCreateVoice& v);
