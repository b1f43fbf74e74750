// Sound files made on the spot for the sound tests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/audio/WaveFile.h"
#include "tests/support/Files.h"

namespace audio_test {

// Samples that differ from frame to frame, so that a lost, repeated or reordered piece shows.
inline platform::WaveData MakeWave(uint32_t rate, uint16_t channels, uint16_t bits,
                                   uint64_t frames) {
  platform::WaveData w;
  w.rate = rate;
  w.channels = channels;
  w.bits = bits;
  w.samples.resize(size_t(frames * w.BlockAlign()));
  uint32_t x = 12345 + rate + channels * 7 + bits;
  for (char& c : w.samples) {
    x = x * 1103515245u + 12345u;
    c = char(x >> 16);
  }
  return w;
}

using testsupport::ReadFile;
using testsupport::TempDir;

}  // namespace audio_test
