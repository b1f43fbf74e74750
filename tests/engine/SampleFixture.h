// Small helpers for engine tests: streams from plain numbers, and a synthesis object that
// never runs its thread body. Sample strings, files and WAV fields come from tests/support.
#pragma once

#include <string>
#include <vector>

#include "banks/VoiceBanks.h"
#include "platform/core/MemoryStream.h"
#include "speech/CreateVoice.h"
#include "tests/support/Files.h"
#include "tests/support/Wav.h"

namespace enginetest {

using testsupport::ReadFile;
using testsupport::SampleBytes;
using testsupport::Samples;
using testsupport::U16;
using testsupport::U32;

inline std::vector<int> Samples(const platform::MemoryStream& s, std::size_t from = 0) {
  return Samples(s.ToString(), from);
}

inline void Fill(platform::MemoryStream& s, const std::vector<int>& samples) {
  s.Assign(SampleBytes(samples));
}

inline std::vector<int> Repeat(int value, int count) { return std::vector<int>(count, value); }

// A TCreateVoice that no thread runs, with its work streams in place, for calling single
// stages.
struct Voice : TCreateVoice {
  Voice() {
    CreateStreams();
    FBank.fill(banks::EmptySlot);
  }
};

}  // namespace enginetest
