// TCreateVoice: the body of one sentence's synthesis thread. The body hands Synthesize to the
// main thread and waits; Synthesize turns FSentence into the WAV file FWavFile. A reading runs
// it in a platform::ThreadHandle; on its own it is a plain object whose stages can be called.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/core/Files.h"
#include "platform/core/MemoryStream.h"
#include "platform/core/Thread.h"
#include "platform/core/WaveHeader.h"
#include "speech/LoopState.h"
#include "speech/OrthographyState.h"
#include "speech/ProsodyState.h"
#include "speech/RenderState.h"

// The header of the temporary file: 16-bit mono samples at the output rate.
struct TWaveHeader {
  std::uint32_t SampleRate = 0;
  std::uint32_t DataSize = 0;  // file size - header size; the RIFF size follows from it
  // The header's bytes as they stand in the file.
  std::array<std::uint8_t, platform::kWaveHeaderSize> Bytes() const {
    return platform::WaveHeader({.channels = 1, .bits = 16, .rate = SampleRate}, DataSize);
  }
};

using SlotArray = std::array<std::string, 120>;

class TCreateVoice : public platform::TThread {
 public:
  // Fields, filled by the scheduler before the synthesis starts.
  std::string FSentence;
  TWaveHeader FWaveHeader;
  std::uint32_t FSampleRate = 22050;
  std::uint16_t FSyllables = 1;
  std::int16_t FPitch = 0;
  std::uint16_t FSpeed = 0;
  std::uint16_t FTimbre = 0;
  std::uint16_t FReverb = 0;
  std::int16_t FCompressor = 0;
  std::int16_t FVolume = 0;
  std::int16_t FVoicingAmp = 12800;
  std::string FPeriod;
  std::uint16_t FTreble = 0;
  std::unique_ptr<platform::MemoryStream> FPhoneStream;
  std::unique_ptr<platform::MemoryStream> FPeriodStream;
  std::unique_ptr<platform::MemoryStream> FVoicingStream;
  SlotArray FBank;
  std::string FWavFile;
  // The file that this synthesis wrote at FWavFile, as it stood then; none after a failure.
  std::optional<platform::FileIdentity> FWrittenFile;

  // Working state of one Synthesize call, grouped by the stage it serves; several stages
  // write some of it (who writes what: SynthesisSteps.h).
  std::unique_ptr<platform::MemoryStream> ReverseScratch;
  std::unique_ptr<platform::MemoryStream> WaveStream;
  LoopState Loop;
  ProsodyState Prosody;
  OrthographyState Ortho;
  RenderState Render;

  // The whole synthesis: the set-up, character loop and finish tables of SynthesisSteps.h.
  void Synthesize();
  // The five work streams of one synthesis, created and released together.
  void CreateStreams();
  void ReleaseStreams();

  // Stress placement by rule (syllables and stress).
  void PlaceStress(std::string Word, std::string& Result);

  // Period shaping.
  void ShapePeriod(const std::string& Data, std::int32_t InDiv, std::int32_t OutDiv,
                   std::string& Result);
  void MakeVoicingWave(std::int16_t Count, std::int16_t Pitch);
  void BlendPeriods(std::uint8_t FromSlot, std::uint8_t ToSlot, std::uint8_t Remaining,
                    std::uint8_t Fade);

  // Sample buffer routines.
  void AppendStream(platform::MemoryStream& Src, platform::MemoryStream& Dst);
  void WriteSilence(platform::MemoryStream& Stream, std::int32_t Count);
  void MixStreams(platform::MemoryStream& A, platform::MemoryStream& B,
                  platform::MemoryStream& Dest, std::uint8_t WeightA, std::uint8_t WeightB);
  void NormalizeLevel(platform::MemoryStream& Stream, std::uint8_t Offset, std::int8_t Level);
  void ReverseStream(platform::MemoryStream& Stream);

  // Whole-utterance effects.
  void ConvertRate(platform::MemoryStream& Wave);
  void CutTreble(platform::MemoryStream& Phone, std::uint8_t Treble);
  void Compress(platform::MemoryStream& Wave, std::uint8_t Level);
  void AddReverb(platform::MemoryStream& Wave);

 protected:
  void Execute() override;
};
