// The mixing loop of the sample buffer routines, on raw sample bytes, for MixStreams and for
// the blend of two recordings in the period shaping.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes max(aBytes, bBytes) / 2 samples to out. Each step reads the next sample of each
// input into its term; an input that has ended keeps its last term, which is scaled again
// at every further step and so dies away (or holds, at weight 100). A non-zero fadeA first
// scales A's term by that percentage; then each term is scaled by its weight in percent,
// truncating, and their sum is written. Every scaled term and the sum wrap to 16 bits.
void MixSamples(const std::uint8_t* a, std::size_t aBytes, const std::uint8_t* b,
                std::size_t bBytes, std::int32_t weightA, std::int32_t weightB, std::uint8_t* out,
                std::int32_t fadeA = 0);
