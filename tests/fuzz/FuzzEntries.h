// Entry points for the fuzz targets. Each takes arbitrary bytes, runs one reader or one
// synthesis on them and checks what came out; it returns an empty string when all is well,
// else what was wrong. The libFuzzer programs and the replay test share them.
#pragma once

#include <string>
#include <string_view>

#include "speech/SpeechSettings.h"

namespace fuzz {

// The whole synthesis of one sentence. The first bytes choose the settings and the voice,
// the rest is the sentence. The result must be a complete WAV file, and no file only for an
// empty sentence.
std::string Synthesis(std::string_view input);
// The text box's file reader: rich text, else plain text.
std::string RichText(std::string_view input);
// The WAV reader of the media control layer.
std::string WaveFile(std::string_view input);
// The bank text parser.
std::string BankText(std::string_view input);

struct Target {
  const char* name;  // also the folder of its corpus and regressions
  std::string (*run)(std::string_view);
};
inline constexpr Target kTargets[] = {
    {"synthesis", Synthesis},
    {"richtext", RichText},
    {"wavefile", WaveFile},
    {"banktext", BankText},
};

// The settings prefix of a synthesis input, for seeds and tests: the settings (the voice
// resampled by the analog speed as a voice load does), the bank and the random seed.
struct SynthesisSettings : SpeechSettings {
  int bank = 0;       // 0 to 9
  unsigned seed = 1;  // of the random sequence
  SynthesisSettings() {
    SampleRate = 22050;
    Pitch = 71;
    Speed = 5;
    Volume = 80;
  }
};
constexpr std::size_t kSettingsBytes = 10;
std::string EncodeSettings(const SynthesisSettings& s);
SynthesisSettings DecodeSettings(std::string_view input);

// One synthesis of `sentence` (Windows-1252) with a compiled-in voice, written to a fresh
// file. Returns what is wrong with the outcome, if anything (as above); *wav receives the
// file's bytes (empty when no file was written).
std::string SynthesizeSentence(const SynthesisSettings& s, std::string_view sentence,
                               std::string* wav = nullptr);

}  // namespace fuzz
