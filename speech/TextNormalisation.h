// Text preparation before the character loop: blank runs, sentence framing and the
// normalisation pass (accented capitals, spelled-out words, numbers, silent h, ll, ...).
#pragma once

#include <string>

// Set-up step 3: every run of blanks becomes one blank.
void CollapseBlanks(std::string& sentence);
// Set-up step 7: StartMark in front, trailing blanks gone, a closing mark before any final CR LF.
void FrameSentence(std::string& sentence);
// Set-up step 9: the normalisation loop over the whole (framed) sentence.
void NormaliseText(std::string& sentence);
