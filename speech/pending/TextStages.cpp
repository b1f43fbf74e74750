// Until the text front end lands: text passes through unchanged, no stress.
#include "speech/CreateVoice.h"
#include "speech/Orthography.h"
#include "speech/TextBytes.h"
#include "speech/TextNormalisation.h"

void CollapseBlanks(std::string&) {}
void FrameSentence(std::string& s) {
  if (ByteAt(s, 1) > 32) s.insert(s.begin(), static_cast<char>(StartMark));
}
void NormaliseText(std::string&) {}
void EarlySubstitutions(TCreateVoice&) {}
void FindNextLetter(TCreateVoice& v) {
  std::int32_t n = v.Loop.CharIndex + 1;
  if (!IsClauseMark(ByteAt(v.FSentence, v.Loop.CharIndex)))
    while (ByteAt(v.FSentence, n) == ' ') ++n;
  v.Loop.NextLetter = LowerAZ(ByteAt(v.FSentence, n));
}
void RemoveSilentH(TCreateVoice&) {}
void NextLetterYToI(TCreateVoice&) {}
void WordStage(TCreateVoice&) {}
void LateSubstitutions(TCreateVoice&) {}
void TCreateVoice::PlaceStress(std::string, std::string& Result) {
  FSyllables = 1;
  Result.clear();
}
