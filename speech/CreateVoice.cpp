// The sentence driver: set-up, the character loop and the finish, in the order they run.
// Each step lives in the stage file named beside it.
#include "speech/CreateVoice.h"

#include <limits>
#include <stdexcept>

#include "platform/core/FileReplace.h"
#include "speech/Orthography.h"
#include "speech/Prosody.h"
#include "speech/Rendering.h"
#include "speech/SlotChoice.h"
#include "speech/TextBytes.h"
#include "speech/TextNormalisation.h"

using platform::MemoryStream;

namespace {
void Put32(std::array<std::uint8_t, 44>& b, int at, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
}
void Put16(std::array<std::uint8_t, 44>& b, int at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutTag(std::array<std::uint8_t, 44>& b, int at, const char* tag) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(tag[k]);
}

// Word start: a letter or marker after a byte of 32 or below that is no marker.
bool StartsWord(const std::string& s, std::int32_t i) {
  std::uint8_t c = ByteAt(s, i), before = ByteAt(s, i - 1);
  return (c >= 'A' || IsMarker(c)) && before <= 32 && !IsMarker(before);
}
}  // namespace

std::array<std::uint8_t, 44> TWaveHeader::Bytes() const {
  std::array<std::uint8_t, 44> b{};
  PutTag(b, 0, "RIFF");
  Put32(b, 4, RiffSize);
  PutTag(b, 8, "WAVE");
  PutTag(b, 12, "fmt ");
  Put32(b, 16, 16);
  Put16(b, 20, 1);  // PCM
  Put16(b, 22, 1);  // mono
  Put32(b, 24, SampleRate);
  Put32(b, 28, SampleRate * 2);
  Put16(b, 32, 2);
  Put16(b, 34, 16);
  PutTag(b, 36, "data");
  Put32(b, 40, DataSize);
  return b;
}

void TCreateVoice::Execute() {
  Synchronize([this] { Synthesize(); });
}

void TCreateVoice::CreateStreams() {
  ReverseScratch = std::make_unique<MemoryStream>();
  FPhoneStream = std::make_unique<MemoryStream>();
  FVoicingStream = std::make_unique<MemoryStream>();
  FPeriodStream = std::make_unique<MemoryStream>();
  WaveStream = std::make_unique<MemoryStream>();
}

void TCreateVoice::ReleaseStreams() {
  ReverseScratch.reset();
  FPhoneStream.reset();
  FVoicingStream.reset();
  FPeriodStream.reset();
  WaveStream.reset();
}

void TCreateVoice::Synthesize() {
  FFileWritten = false;
  FWaveHeader = TWaveHeader{};
  FWaveHeader.SampleRate = FSampleRate;
  FSyllables = 1;
  Loop = LoopState{};
  Prosody = ProsodyState{};
  Ortho = OrthographyState{};
  Render = RenderState{};
  try {
    CollapseBlanks(FSentence);
    CreateStreams();
    WaveStream->SetSize(44);
    WaveStream->Seek(44);
    SetUpPitch(*this);
    if (FSentence.empty()) {
      ReleaseStreams();
      Terminate();
      return;
    }
    FrameSentence(FSentence);
    SetUpTimbre(*this);
    NormaliseText(FSentence);
    RunCharacterLoop();
    Finish();
  } catch (...) {
    // Every failure ends the sentence silently: no file, no message.
    Terminate();
    ReleaseStreams();
  }
}

void TCreateVoice::RunCharacterLoop() {
  LoopState& L = Loop;
  L.CharIndex = 0;
  for (;;) {
    // 1. Next position; the length is read anew at every step.
    ++L.CharIndex;
    if (L.CharIndex > static_cast<std::int64_t>(FSentence.size())) break;
    L.WordStart = 1;
    // 2. A leading blank stops counting as a blank from position 3 on.
    if (L.CharIndex >= 3 && ByteAt(FSentence, 1) == ' ') SetByteAt(FSentence, 1, 255);
    // 3.
    L.CurrentLetter = LowerAZ(ByteAt(FSentence, L.CharIndex));
    // 4. Word start.
    if (StartsWord(FSentence, L.CharIndex)) {
      WordStartPitch(*this);
      L.WordStart = L.CharIndex;
      Prosody.FinalFall = 0;
    }
    // 5.
    ParenthesisPitch(*this);
    // 6.-8.
    EarlySubstitutions(*this);
    FindNextLetter(*this);
    RemoveSilentH(*this);
    // 9. Blanks and control bytes add nothing.
    if (L.CurrentLetter == ' ' || L.CurrentLetter < 14) continue;
    // 10.-11.
    NextLetterYToI(*this);
    if (L.WordStart == L.CharIndex) WordStage(*this);
    // 12.
    FormPairBuffer(*this);
    // 13.
    L.PreviousLetter = LowerAZ(ByteAt(FSentence, L.CharIndex - 1));
    MarkerStep(*this);
    LateSubstitutions(*this);
    ChooseSlot(*this);
    // 14.-16.
    StressPitchAndDurations(*this);
    RenderCharacter(*this);
    PauseStep(*this);
    // 17. Per-phoneme finish.
    if (FTreble >= 1 && FTreble <= 4) CutTreble(*FPhoneStream, static_cast<std::uint8_t>(FTreble));
    AppendStream(*FPhoneStream, *WaveStream);
    FPhoneStream->Clear();
  }
}

void TCreateVoice::Finish() {
  ReverseScratch.reset();
  FPhoneStream.reset();
  FPeriodStream.reset();
  FVoicingStream.reset();
  if (FSampleRate < 22050) ConvertRate(*WaveStream);
  Compress(*WaveStream, static_cast<std::uint8_t>(FCompressor));
  if (FReverb > 0) AddReverb(*WaveStream);
  NormalizeLevel(*WaveStream, 44, static_cast<std::int8_t>(static_cast<std::uint8_t>(FVolume)));
  // The header's sizes are 32-bit: a longer sentence fails rather than write a file whose
  // header lies about its length.
  if (WaveStream->Size() > std::numeric_limits<std::uint32_t>::max())
    throw std::length_error("sentence too long for a WAV file");
  const auto size = static_cast<std::uint32_t>(WaveStream->Size());
  FWaveHeader.DataSize = size - 44;
  FWaveHeader.RiffSize = size - 8;
  auto header = FWaveHeader.Bytes();
  WaveStream->Seek(0);
  WaveStream->Write(header.data(), header.size());
  platform::SaveReplacing(FWavFile, WaveStream->Data(), WaveStream->Size());
  FFileWritten = true;
  WaveStream.reset();
  Terminate();
}
