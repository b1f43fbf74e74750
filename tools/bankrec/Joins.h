// Clicks in rendered speech, and the reshaping of recordings that keeps the engine's
// period joins free of them.
#pragma once

#include <vector>

#include "tools/bankrec/Cutting.h"

namespace bankrec {

// Where x holds isolated discontinuities: a sample-to-sample jump above `ratio` times the RMS
// of the jumps in the 10 ms around it and above 600 once x is scaled to -20 dBFS RMS. Jumps
// less than 2 ms after a counted one count with it. Returns the index of each counted jump
// (the later sample of the pair).
std::vector<int> Clicks(const Wave& x, double ratio = 6, double rate = Rate);

}  // namespace bankrec
