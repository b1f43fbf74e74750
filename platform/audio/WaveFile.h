// RIFF WAVE files holding PCM: 8 or 16 bits, mono or stereo, any rate.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/WaveHeader.h"

namespace platform {

struct WaveData : WaveFormat {
  std::string samples;  // interleaved frames as stored in the file (8-bit unsigned, 16-bit LE)

  uint64_t Frames() const { return samples.size() / BlockAlign(); }
};

enum class WaveError {
  None,
  NotFound,     // no such file, or it cannot be read
  NotAFile,     // a directory or something else that is not a plain file
  Malformed,    // not RIFF WAVE, truncated, chunk sizes that do not fit the file
  Unsupported,  // a wave file, but not PCM 8/16-bit mono/stereo
};

// Reads the fmt and data chunks of a file's bytes. Never reads outside `bytes`. A data
// chunk that ends in a partial frame loses that frame.
WaveError ParseWave(const std::string& bytes, WaveData& out);
WaveError ReadWaveFile(const std::string& path, WaveData& out);

// The canonical 44-byte-header form of the data.
std::string EncodeWave(const WaveData& data);
bool WriteWaveFile(const std::string& path, const WaveData& data);

}  // namespace platform
