#include "tools/bankrec/Joins.h"

#include <algorithm>
#include <cmath>

namespace bankrec {

std::vector<int> Clicks(const Wave& x, double ratio, double rate) {
  const int n = static_cast<int>(x.size());
  std::vector<int> out;
  if (n < 2) return out;
  double energy = 0;
  for (double v : x) energy += v * v;
  if (energy <= 0) return out;
  const double scale = 0.1 * 32767 / std::sqrt(energy / n);
  std::vector<double> d(n, 0), sum(n + 1, 0);
  for (int i = 1; i < n; ++i) d[i] = (x[i] - x[i - 1]) * scale;
  for (int i = 0; i < n; ++i) sum[i + 1] = sum[i] + d[i] * d[i];
  const int half = static_cast<int>(std::lround(0.005 * rate));
  const int merge = static_cast<int>(std::lround(0.002 * rate));
  int last = -merge - 1;
  for (int i = 1; i < n; ++i) {
    const double jump = std::fabs(d[i]);
    if (jump <= 600 || i - last <= merge) continue;
    const int lo = std::max(1, i - half), hi = std::min(n - 1, i + half);
    const int count = hi - lo;  // the jump itself left out
    const double around = count > 0 ? (sum[hi + 1] - sum[lo] - d[i] * d[i]) / count : 0;
    if (jump > ratio * std::sqrt(std::max(0.0, around))) {
      out.push_back(i);
      last = i;
    }
  }
  return out;
}

}  // namespace bankrec
