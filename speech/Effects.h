// Sample effects of the synthesis: the treble cut on each appended phoneme, and the rate
// conversion, compressor and reverberation on the whole sentence.
//
// A "WAV image" is a stream whose first 44 bytes are the header area, with 16-bit
// little-endian mono samples from byte 44 on. A phoneme stream holds samples from byte 0.
// Every effect replaces the content of the stream it is given; the position afterwards is
// unspecified, each user of the stream sets the one it needs.
#pragma once

#include <cstdint>

#include "platform/core/MemoryStream.h"
#include "platform/core/WaveHeader.h"

namespace speech {

// Size of the header area in front of the samples of a WAV image.
using platform::kWaveHeaderSize;

// Smooths the phoneme `passes` times with a forward three-sample mean, then trims the
// padding. Never shortens the phoneme, and never gives fewer than two samples.
void CutTreble(platform::MemoryStream& phone, std::uint8_t passes);

// Reduces the 22050-per-second samples of the image for the output rate `sampleRate`:
// 11025 keeps every second, 8000 every third sample, any other rate two of three. The
// header area comes back as it was given.
void ConvertRate(platform::MemoryStream& wave, std::uint32_t sampleRate);

// Levels 1 to 3: scales the loud segments of the image down to 3276, 1966 or 655 and
// drops its last sample. Any other level leaves the image unchanged. The header area comes
// back as it was given.
void Compress(platform::MemoryStream& wave, std::uint8_t level);

// Settings 1 to 6: adds echoes of 4, 9 or 16 taps (gains and delays drawn through
// platform::Random) and lengthens the image by the longest delay. The header area comes
// back as it was given: its sizes are the writer's, once every effect has run. Any other
// setting leaves the image unchanged and draws nothing.
void AddReverb(platform::MemoryStream& wave, std::uint16_t reverbSetting);

}  // namespace speech
