// The engine's arithmetic: 16-bit wraps, division toward zero, Round half to even on
// extended precision, and floating-point faults raised as exceptions instead of inf/NaN.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace platform {

// A floating-point division by zero, invalid operation or overflow.
struct FloatFault : std::runtime_error {
  explicit FloatFault(const char* what) : std::runtime_error(what) {}
};

using Extended = long double;  // 64-bit mantissa on x86-64

// Low 16 bits of a wider result, as a signed sample. Done on unsigned values so no
// signed overflow is ever involved.
constexpr std::int16_t Wrap16(std::int64_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(v)));
}
// Low 32 bits, signed.
constexpr std::int32_t Wrap32(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

// Integer division truncating toward zero; division by zero is a fault.
inline std::int64_t Div(std::int64_t a, std::int64_t b) {
  if (b == 0) throw FloatFault("integer division by zero");
  if (b == -1) return -a;  // avoids INT64_MIN / -1
  return a / b;
}
inline std::int64_t Mod(std::int64_t a, std::int64_t b) {
  if (b == 0) throw FloatFault("integer division by zero");
  if (b == -1) return 0;
  return a % b;
}

// A finite value, or a fault: the engine never lets an infinity or NaN through.
inline Extended Checked(Extended v) {
  if (std::isnan(v)) throw FloatFault("invalid floating-point operation");
  if (std::isinf(v)) throw FloatFault("floating-point overflow");
  return v;
}

// Floating-point division with the faults raised.
inline Extended FDiv(Extended a, Extended b) {
  if (b == 0) {
    if (a == 0 || std::isnan(a)) throw FloatFault("invalid floating-point operation");
    throw FloatFault("floating-point division by zero");
  }
  return Checked(a / b);
}

// v rounded to an integral value, halves to the even neighbour (the default rounding
// mode). Below 2^63 in magnitude, adding 2^63 leaves no fraction bit in the 64-bit
// mantissa, so the addition itself rounds; taking 2^63 away again is exact. Same result
// as nearbyintl, without its costly save and restore of the floating-point environment.
inline Extended RoundIntegral(Extended v) {
  constexpr Extended two63 = 9223372036854775808.0L;
  if (v >= 0) return v < two63 ? (v + two63) - two63 : v;
  if (v < 0) return -v < two63 ? -((-v + two63) - two63) : v;
  return v;  // NaN
}

// Nearest integer, halves to the even neighbour. A result outside 64 bits is a fault.
inline std::int64_t Round(Extended v) {
  Checked(v);
  Extended r = RoundIntegral(v);
  if (r >= 9223372036854775808.0L || r < -9223372036854775808.0L)
    throw FloatFault("integer overflow in Round");
  return static_cast<std::int64_t>(r);
}

}  // namespace platform
