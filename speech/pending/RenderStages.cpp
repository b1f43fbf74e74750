// Until period rendering lands: the slot's recording once.
#include "speech/CreateVoice.h"
#include "speech/Rendering.h"

void SetUpTimbre(TCreateVoice&) {}
void RenderCharacter(TCreateVoice& v) {
  const std::string& rec = v.FBank[static_cast<std::size_t>(v.Loop.ChosenSlot)];
  v.FPhoneStream->Write(rec.data(), rec.size());
}
