// SpeechSettings: the user's synthesis settings as the window's lists deliver them, and the
// one way a synthesis receives them with its voice and its file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "speech/CreateVoice.h"

struct SpeechSettings {
  std::int32_t SampleRate = 0;   // output rate: 22050, 11025 or 8000
  std::uint8_t AnalogSpeed = 0;  // 0 to 12; only a voice load uses it
  std::uint8_t Timbre = 0;       // 0 to 9
  std::uint8_t Reverb = 0;       // 0 to 6
  std::uint8_t Compressor = 0;   // 0 to 3
  std::int16_t Treble = 0;       // treble cut 0 to 4
  std::int16_t Pitch = 0;        // 1 to 400
  std::int16_t Speed = 0;        // 1 to 10
  std::int16_t Volume = 0;       // 1 to 99
  std::int16_t Bass = 0;         // bass cut 0 to 4
};

// Strength of the engine's voicing tone for the bass cuts 0 to 4, in steps of 256 of its
// amplitude: the more bass is cut, the weaker the tone.
inline constexpr std::array<std::int16_t, 5> VoicingStrengths = {50, 39, 28, 17, 6};

// The voicing amplitude of a bass cut; a cut outside 0 to 4 counts as none.
constexpr std::int16_t VoicingAmpOfBass(std::int16_t Bass) {
  const std::int16_t level = Bass >= 0 && Bass <= 4
                                 ? VoicingStrengths[static_cast<std::size_t>(Bass)]
                                 : VoicingStrengths[0];
  return static_cast<std::int16_t>(level * 256);
}

// Gives a synthesis its settings, the prepared voice and the WAV file to write. The engine's
// fields differ in width and sign from the settings; the lists' values fit both.
inline void SetUpSynthesis(TCreateVoice& Voice, const SpeechSettings& Settings, SlotArray Bank,
                           std::string WavFile) {
  Voice.FSampleRate = static_cast<std::uint32_t>(Settings.SampleRate);
  Voice.FPitch = Settings.Pitch;
  Voice.FSpeed = static_cast<std::uint16_t>(Settings.Speed);
  Voice.FTimbre = Settings.Timbre;
  Voice.FReverb = Settings.Reverb;
  Voice.FCompressor = Settings.Compressor;
  Voice.FVolume = Settings.Volume;
  Voice.FVoicingAmp = VoicingAmpOfBass(Settings.Bass);
  Voice.FTreble = static_cast<std::uint16_t>(Settings.Treble);
  Voice.FBank = std::move(Bank);
  Voice.FWavFile = std::move(WavFile);
}
