#include "platform/core/Random.h"

#include <chrono>

namespace platform {
namespace {
std::uint32_t g_state = 0x2545F491u;

std::uint32_t Next() {
  // 32-bit linear congruential step; the high bits scale to the range.
  g_state = g_state * 134775813u + 1u;
  return g_state;
}
}  // namespace

void RandSeed(std::uint32_t seed) { g_state = seed; }

void Randomize() {
  auto t = std::chrono::steady_clock::now().time_since_epoch().count();
  RandSeed(static_cast<std::uint32_t>(t ^ (t >> 32)));
}

std::int32_t Random(std::int32_t n) {
  if (n <= 0) return 0;
  return static_cast<std::int32_t>(
      (static_cast<std::uint64_t>(Next()) * static_cast<std::uint32_t>(n)) >> 32);
}

}  // namespace platform
