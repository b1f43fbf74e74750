// The beep's tone on SDL's disk driver, which writes what reaches the device to a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/audio/Tone.h"
#include "tests/platform/audio_test_files.h"
#include "tests/support/Wav.h"

using namespace platform;

namespace {

int Peak(const std::vector<int>& s, size_t from, size_t to) {
  int peak = 0;
  for (size_t i = from; i < to && i < s.size(); ++i) peak = std::max(peak, std::abs(s[i]));
  return peak;
}

}  // namespace

// The beep returns at once and a short 880 Hz tone, rising and falling softly, reaches the
// device.
TEST(BeepTone, AShortSoftToneReachesTheDevice) {
  audio_test::TempDir dir("tone");
  const std::string heard = dir.File("heard.raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", heard.c_str(), 1);
  unsetenv("SDL_DISKAUDIODELAY");  // the driver's real-time pace

  std::atomic<bool> unheard{false};
  PlayBeepTone([&] { unheard = true; });
  // The device takes the tone at its own pace, after the call returned.
  EXPECT_LT(testsupport::ReadFile(heard).size(), 22050u / 10 * 2);
  WaitForBeepTones();
  EXPECT_FALSE(unheard);
  const std::vector<int> s = testsupport::Samples(testsupport::ReadFile(heard));

  auto loud = [](int16_t v) { return v != 0; };
  const auto first = std::find_if(s.begin(), s.end(), loud);
  ASSERT_NE(first, s.end()) << "nothing but silence reached the device";
  const auto last = std::find_if(s.rbegin(), s.rend(), loud).base();
  const size_t begin = size_t(first - s.begin()), end = size_t(last - s.begin());
  const double seconds = double(end - begin) / 22050;
  EXPECT_NEAR(seconds, 0.1, 0.01);

  // 880 Hz: two sign changes a period.
  int crossings = 0;
  for (size_t i = begin + 1; i < end; ++i) crossings += (s[i - 1] < 0) != (s[i] < 0);
  EXPECT_NEAR(crossings / seconds / 2, 880.0, 20.0);

  // Loud enough to hear, far from clipping, and without a click at either end.
  const int peak = Peak(s, begin, end);
  EXPECT_GT(peak, 32767 / 8);
  EXPECT_LT(peak, 32767 / 2);
  const size_t ms2 = 22050 / 500;
  EXPECT_LT(Peak(s, begin, begin + ms2), peak / 4);
  EXPECT_LT(Peak(s, end - ms2, end), peak / 4);
}
