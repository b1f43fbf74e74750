// One process-wide pseudo-random sequence, reseeded at each speak. Deterministic for a
// seed, so tests can replay a synthesis.
#pragma once

#include <cstdint>

namespace platform {

void RandSeed(std::uint32_t seed);
// A seed from the clock, for a speak.
void Randomize();
// Uniform integer 0 .. n-1 (0 when n <= 0).
std::int32_t Random(std::int32_t n);

}  // namespace platform
