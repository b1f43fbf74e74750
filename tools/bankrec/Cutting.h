// Cutting and measuring recorded speech for the voice banks. Nothing here knows where the
// speech came from, so the tests can drive it with waves they build themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bankrec {

constexpr double Rate = 22050;

using Wave = std::vector<double>;

// The lag in [minLag, maxLag] at which `count` samples from `from` best match themselves
// (normalised autocorrelation; the shortest lag within 3 % of the best one wins, so a
// multiple of the period is never taken for it).
int EstimatePeriod(const Wave& x, int from, int count, int minLag, int maxLag);

// Where one period of `period` samples is best cut out of x near `around`: at a
// positive-going zero crossing, so that the period's energy sits in its middle (the engine
// shortens a period from both ends) and the step from its last sample back to its first,
// when it repeats, is small. Returns the start index.
int PeriodStart(const Wave& x, int around, int period);

// Where one period of `period` samples may be cut out of x within half a period of
// `around`, quietest edges first: the starts ordered by the energy within `edge` samples on
// either side of them (ties by position). A period tapered over `edge` samples at each end
// loses the least of itself when cut at the first.
std::vector<int> QuietStarts(const Wave& x, int around, int period, int edge);

// The share of the energy of x[start, start + period) that lies in its middle half: the
// part that the engine keeps whole when it cuts a period to a shorter pitch period from
// both ends and fades its outer quarters.
double MiddleShare(const Wave& x, int start, int period);

// Where one period of `period` samples may be cut out of x within half a period of
// `around`, the most centred first: the starts ordered by MiddleShare, highest first (ties
// by position).
std::vector<int> CentredStarts(const Wave& x, int around, int period);

// The step between the last and the first sample of x[start, start + period), relative to
// the period's peak magnitude.
double WrapStep(const Wave& x, int start, int period);

// The first sample of x[from, to) where the sound starts: the smoothed magnitude first
// reaches `fraction` of its highest value in the range; then back to the zero crossing just
// before it. Leading silence (a closure before a burst) is thus left out.
int SoundOnset(const Wave& x, int from, int to, double fraction = 0.1);

// Raised-cosine fade-in over the first `in` and fade-out over the last `out` samples.
void Fade(Wave& x, int in, int out);

// Largest magnitude.
double Peak(const Wave& x);

// 16-bit little-endian sample bytes of x scaled so that its peak is `level` percent of 32767
// (as the banks' peak level counts it). Throws when x is silent.
std::string ToSamples(const Wave& x, int level);

// Samples back from little-endian 16-bit bytes.
Wave FromSamples(const std::string& bytes);

// The mean period of x near `from`, to a fraction of a sample: the best lag near as many
// whole periods of about `period` samples as fit in `span` samples, divided by their number.
double MeanPeriod(const Wave& x, int from, int period, int span);

// Linear prediction of order p over x (Hamming-windowed, pre-emphasised): the coefficients
// a[0] = 1, a[1..p] of A(z).
std::vector<double> Lpc(const Wave& x, int order);

// Resonances of 1 / A(z) at `rate` samples per second: frequency and bandwidth in Hz, by
// ascending frequency, of the roots in the upper half plane.
struct Resonance {
  double freq;
  double bandwidth;
};
std::vector<Resonance> Resonances(const std::vector<double>& a, double rate = Rate);

// The first two formants of one pitch period: the period repeated to a stretch of about
// 60 ms, halved in rate (the formants of interest lie below 4 kHz), LPC of order 12 (10 for
// periods under 150 samples), the two lowest resonances above 150 Hz narrower than 600 Hz.
// False when fewer are found.
bool FirstFormants(const Wave& period, double& f1, double& f2);

}  // namespace bankrec
