// Clicks in rendered speech, and the reshaping of recordings that keeps the engine's
// period joins free of them.
#pragma once

#include <complex>
#include <vector>

#include "tools/bankrec/Cutting.h"

namespace bankrec {

// Where x holds isolated discontinuities: a sample-to-sample jump above `ratio` times the RMS
// of the jumps in the 10 ms around it and above 600 once x is scaled to -20 dBFS RMS. Jumps
// less than 2 ms after a counted one count with it. Returns the index of each counted jump
// (the later sample of the pair).
std::vector<int> Clicks(const Wave& x, double ratio = 6, double rate = Rate);

// Softens every step of x that is steeper than `limit` times the RMS of the other steps
// around it: within `reach` samples on either side, or over the whole of x when `reach` is
// 0. The engine renders silence or its own voicing wave before and after a recording, so x
// is taken to be preceded and followed by zero. Around each such step x is crossfaded
// slowly into a low-passed copy of itself, so that the change stays in the band the
// low-pass removes and adds nothing above it; each round that leaves a step too steep
// lowers the cutoff, but not below 2.5 kHz, where the front vowels' second formant lies: a
// step that only a lower cutoff would tame stays steeper than the limit.
void SoftenSteps(Wave& x, double limit, int reach = 0);

// The steepest step of x, as SoftenSteps measures it (zero before and after x included),
// relative to the RMS of its steps within `reach` samples (all of x when 0).
double SteepestStep(const Wave& x, int reach = 0);

// The length of the taper at each edge of a period of `length` samples: `fraction` of it,
// at least 2 samples.
int EdgeTaper(int length, double fraction = 0.1);

// A recorded period made ready for the engine's period loop, which repeats it uncut and
// unfaded whenever the pitch period is longer: both edges brought to zero by a
// raised-cosine taper over `fraction` of the period, so that neither the voicing wave after
// it nor the next period meets a step, and steep steps inside softened to at most 3 times
// the period's RMS step.
void SmoothPeriod(Wave& period, double fraction = 0.1);

// In-place radix-2 FFT of a (its size a power of two); with `inverse`, the inverse
// transform, scaled by 1 / size.
void Fft(std::vector<std::complex<double>>& a, bool inverse = false);

// x with the phase of every frequency component turned by `angle` radians (the DC
// component left alone): x cos(angle) - H(x) sin(angle), H the Hilbert transform over x
// zero-padded to a power of two. The spectrum's magnitudes stay as they are, so the
// formants of the stretch do too; only the shape of each period changes.
Wave RotatePhase(const Wave& x, double angle);

// One period of a recorded period as the engine's period loop renders it at timbre 0 and
// pitch `hz`: cut from both ends to the pitch period and faded over its outer quarters when
// longer, then mixed half and half with the voicing wave of amplitude `voicing`.
Wave RenderedPeriod(const Wave& period, double voicing, int hz);

// x less its mean, taken out in the shape of a raised cosine over the whole of x, so that
// edges at zero stay at zero: a period repeated with an offset gives the rendered vowel one.
void RemoveOffset(Wave& x);

// A whole consonant made ready to follow the engine's zero lead-in: steps, its onset among
// them, softened to at most 5 times the step level of the 10 ms around them.
void SmoothOnsets(Wave& sound);

}  // namespace bankrec
