// Period rendering and voicing of one character into FPhoneStream.
#pragma once

class TCreateVoice;

// Set-up step 8: InDiv and OutDiv from FTimbre.
void SetUpTimbre(TCreateVoice& v);
// Loop step 15.
void RenderCharacter(TCreateVoice& v);
