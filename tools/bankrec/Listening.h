// What the engine makes of a voice bank in running speech: the measures that the voice
// quality bench prints, the bank tests check and the bank tool steers its choices by.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "speech/CreateVoice.h"
#include "tools/bankrec/Cutting.h"

namespace bankrec {

// The pitch setting of a voice's first preset: 40 for the lower (even) voices, 110 for the
// higher ones.
int PresetPitch(int bank);

// One phoneme of a spoken sentence, where the engine appended it to the output.
struct Phone {
  int start, length, slot, repeats;
  std::uint8_t letter;
  bool stressed;  // a vowel that carries the word's stress
};

// One sentence through the engine with a voice's first preset (speed 5, treble/bass "0 -2",
// volume 99, no reverberation or compressor, 22050 samples per second) at `pitch` and
// `timbre`, by way of the WAV file `wav`. With `phones`, the phonemes as the step trace
// sees them appended; with `unscaled`, the sentence as they were appended, before the volume
// step scaled its positive and negative half-waves each to its own peak (the trace hook is
// process-wide: one speaker at a time).
Wave Speak(const SlotArray& voice, int pitch, int timbre, const std::string& sentence,
           const std::string& wav, std::vector<Phone>* phones = nullptr, Wave* unscaled = nullptr);

// F1 and F2 of the middle half of a vowel: linear prediction of order 12 at 11025 samples
// per second, the two lowest resonances above 150 Hz narrower than 600 Hz.
bool VowelFormants(const Wave& vowel, double& f1, double& f2);

// Spanish vowel regions (Hz) that hold men's and women's vowels alike, a e i o u.
struct VowelRegion {
  char vowel;
  const char* word;  // a word that says it stressed after p
  double f1Lo, f1Hi, f2Lo, f2Hi;
  bool Holds(double f1, double f2) const {
    return f1 >= f1Lo && f1 <= f1Hi && f2 >= f2Lo && f2 <= f2Hi;
  }
};
extern const VowelRegion VowelRegions[5];

// The stressed vowels of running speech: per vowel the median F1/F2 of its tokens and the
// share inside its region, and the closest pair of medians in semitones on the F1/F2 plane.
class RunningVowels {
 public:
  // The stressed vowels (of more than one period) of one spoken sentence.
  void Add(const Wave& x, const std::vector<Phone>& phones);

  struct Vowel {
    int tokens = 0, inRegion = 0;
    bool resolved = false;  // some token gave two formants
    double f1 = 0, f2 = 0;  // medians
    double Share() const { return tokens ? static_cast<double>(inRegion) / tokens : 0; }
  };
  Vowel Of(int vowel) const;
  // The closest pair of resolved medians (a and b set to their indexes); a very large
  // distance when fewer than two are resolved.
  double ClosestPair(int& a, int& b) const;

 private:
  std::vector<double> f1_[5], f2_[5];
  int tokens_[5] = {};
  int inRegion_[5] = {};
};

// The offset of a sentence: the mean of its non-zero samples in percent of full scale.
double Offset(const Wave& x);

// The highest sample of x over the magnitude of its lowest: the volume step gives the
// negative half-waves this many times the gain of the positive ones.
double PeakRatio(const Wave& x);

}  // namespace bankrec
