// The sentence driver: Synthesize walks the set-up table, whose last two steps are the
// character loop (speech/CharacterLoop.cpp) and the finish table. The set-up and finish
// steps are the driver's own; the stages they call live in the files they include.
#include "speech/CreateVoice.h"

#include <limits>
#include <stdexcept>

#include "platform/core/FileReplace.h"
#include "speech/Effects.h"
#include "speech/Prosody.h"
#include "speech/Rendering.h"
#include "speech/SynthesisSteps.h"
#include "speech/TextNormalisation.h"

using platform::MemoryStream;

namespace {

// ---- Set-up ----

bool FillWaveHeader(TCreateVoice& v) {
  v.FWaveHeader = TWaveHeader{};
  v.FWaveHeader.SampleRate = v.FSampleRate;
  return true;
}

// Every stage's state starts afresh with each sentence.
bool FreshState(TCreateVoice& v) {
  v.FSyllables = 1;
  v.Loop = LoopState{};
  v.Prosody = ProsodyState{};
  v.Ortho = OrthographyState{};
  v.Render = RenderState{};
  return true;
}

bool CollapseBlanksStep(TCreateVoice& v) {
  CollapseBlanks(v.FSentence);
  return true;
}

// The WAV image starts with the header's bytes reserved; the finish writes the header over them.
bool CreateStreams(TCreateVoice& v) {
  v.CreateStreams();
  v.WaveStream->SetSize(speech::kWaveHeaderSize);
  v.WaveStream->Seek(speech::kWaveHeaderSize);
  return true;
}

bool SetUpPitchStep(TCreateVoice& v) {
  SetUpPitch(v);
  return true;
}

// Nothing left to say: no file, and the thread is done.
bool EndIfEmpty(TCreateVoice& v) {
  if (!v.FSentence.empty()) return true;
  v.ReleaseStreams();
  v.Terminate();
  return false;
}

bool FrameSentenceStep(TCreateVoice& v) {
  FrameSentence(v.FSentence);
  return true;
}

bool SetUpTimbreStep(TCreateVoice& v) {
  SetUpTimbre(v);
  return true;
}

bool NormaliseTextStep(TCreateVoice& v) {
  NormaliseText(v.FSentence);
  return true;
}

bool RunCharacterLoop(TCreateVoice& v) {
  for (CharacterLoop loop(v); loop.Next();) {
  }
  return true;
}

bool WalkSteps(TCreateVoice& v, std::span<const DriverStep> steps) {
  for (const DriverStep& s : steps) {
    TraceStep(s.name, 0, v.FSentence);
    if (!s.run(v)) return false;
  }
  return true;
}

bool Finish(TCreateVoice& v) { return WalkSteps(v, FinishSteps()); }

// ---- Finish ----

bool ReleaseWorkStreams(TCreateVoice& v) {
  v.ReverseScratch.reset();
  v.FPhoneStream.reset();
  v.FPeriodStream.reset();
  v.FVoicingStream.reset();
  return true;
}

bool ConvertRateStep(TCreateVoice& v) {
  if (v.FSampleRate < 22050) v.ConvertRate(*v.WaveStream);
  return true;
}

bool CompressStep(TCreateVoice& v) {
  v.Compress(*v.WaveStream, static_cast<std::uint8_t>(v.FCompressor));
  return true;
}

bool ReverbStep(TCreateVoice& v) {
  if (v.FReverb > 0) v.AddReverb(*v.WaveStream);
  return true;
}

bool VolumeStep(TCreateVoice& v) {
  v.NormalizeLevel(*v.WaveStream, speech::kWaveHeaderSize,
                   static_cast<std::int8_t>(static_cast<std::uint8_t>(v.FVolume)));
  return true;
}

bool HeaderSizes(TCreateVoice& v) {
  // The header's sizes are 32-bit: a longer sentence fails rather than write a file whose
  // header lies about its length.
  if (v.WaveStream->Size() > std::numeric_limits<std::uint32_t>::max())
    throw std::length_error("sentence too long for a WAV file");
  const auto size = static_cast<std::uint32_t>(v.WaveStream->Size());
  v.FWaveHeader.DataSize = size - speech::kWaveHeaderSize;
  return true;
}

bool WriteHeader(TCreateVoice& v) {
  const auto header = v.FWaveHeader.Bytes();
  v.WaveStream->Seek(0);
  v.WaveStream->Write(header.data(), header.size());
  return true;
}

bool SaveFile(TCreateVoice& v) {
  v.FWrittenFile = platform::SaveReplacing(v.FWavFile, v.WaveStream->Data(), v.WaveStream->Size());
  return true;
}

bool ReleaseWaveStream(TCreateVoice& v) {
  v.WaveStream.reset();
  return true;
}

// Only now, with the file complete, may the scheduler take it.
bool TerminateStep(TCreateVoice& v) {
  v.Terminate();
  return true;
}

// Steps 1 and 2 cannot fail; every later one runs under the failure rule of Synthesize.
constexpr DriverStep kSetUpSteps[] = {
    {1, "wave header", FillWaveHeader},
    {2, "fresh state", FreshState},
    {3, "collapse blanks", CollapseBlanksStep},
    {4, "streams", CreateStreams},
    {5, "pitch set-up", SetUpPitchStep},
    {6, "empty sentence", EndIfEmpty},
    {7, "frame sentence", FrameSentenceStep},
    {8, "timbre set-up", SetUpTimbreStep},
    {9, "normalise text", NormaliseTextStep},
    {10, "character loop", RunCharacterLoop},
    {11, "finish", Finish},
};

constexpr DriverStep kFinishSteps[] = {
    {1, "release work streams", ReleaseWorkStreams},
    {2, "rate conversion", ConvertRateStep},
    {3, "compressor", CompressStep},
    {4, "reverberation", ReverbStep},
    {5, "volume", VolumeStep},
    {6, "header sizes", HeaderSizes},
    {7, "write header", WriteHeader},
    {8, "save file", SaveFile},
    {9, "release wave stream", ReleaseWaveStream},
    {10, "terminate", TerminateStep},
};

}  // namespace

std::span<const DriverStep> SetUpSteps() { return kSetUpSteps; }
std::span<const DriverStep> FinishSteps() { return kFinishSteps; }

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
  FWrittenFile.reset();
  try {
    WalkSteps(*this, SetUpSteps());
  } catch (...) {
    // Every failure ends the sentence without a file and without a message here: the reading
    // sees the missing file and stops with a beep.
    Terminate();
    ReleaseStreams();
  }
}
