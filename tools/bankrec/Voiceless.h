// The voiceless consonants of the banks, made from shaped noise: fricatives, and stops as a
// short silence, a burst and aspiration. What follows the consonant colours it: the burst
// and the frication move with the second formant of the following vowel, and the
// aspiration is noise through that vowel's own vocal-tract filter, so it sounds as the
// vowel whispered.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/bankrec/Cutting.h"

namespace bankrec {

enum class Voiceless { P, T, K, Ch, F, S, Z, J, X };

// What sets one speaker's consonants apart from another's.
struct VoicelessTraits {
  double scale = 1;       // frequency scaling of the noise bands (vocal-tract size)
  double aspiration = 1;  // strength of the breath after a burst
  double sharpness = 1;   // how abruptly bursts and frication start
};

// The following vowel as the noise is coloured by it.
struct VowelColour {
  std::vector<double> lpc;  // A(z) of the vowel at the banks' rate
  double f2 = 1400;         // its second formant in Hz
  bool rounded = false;     // o and u: the lips lower a sibilant
};

// A consonant of exactly `length` samples. `seed` fixes the noise.
Wave MakeVoiceless(Voiceless c, int length, const VoicelessTraits& traits, const VowelColour& vowel,
                   std::uint64_t seed);

// The vocal-tract filter of a vowel from one of its periods.
VowelColour ColourOf(const Wave& period, bool rounded);

}  // namespace bankrec
