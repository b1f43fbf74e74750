// The formants of a test wave (header only): Resonate(x, {700, 1200}, 100, 22050) passes x,
// in place, through a two-pole resonator at each frequency in turn, each of the given
// bandwidth (Hz, at `rate` samples a second). A pulse train through it is a voiced wave
// whose energy gathers after each pulse, as in speech.
#pragma once

#include <cmath>
#include <initializer_list>
#include <numbers>
#include <vector>

namespace testsupport {

inline void Resonate(std::vector<double>& x, std::initializer_list<double> formants,
                     double bandwidth, double rate) {
  constexpr double Pi = std::numbers::pi;
  for (double f : formants) {
    const double r = std::exp(-Pi * bandwidth / rate), c = 2 * r * std::cos(2 * Pi * f / rate);
    double y1 = 0, y2 = 0;
    for (double& v : x) {
      const double y = v + c * y1 - r * r * y2;
      y2 = y1;
      y1 = y;
      v = y;
    }
  }
}

}  // namespace testsupport
