// Without a usable sound driver, sound goes to the silent driver and still takes its time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>

#include "platform/audio/Mci.h"
#include "platform/audio/SoundOutput.h"
#include "platform/audio/Tone.h"
#include "tests/platform/audio_test_files.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

TEST(SoundFallback, AnUnusableDriverFallsBackToSilenceAndSaysSoOnce) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  audio_test::TempDir dir("fallback");
  const std::string path = dir.File("a.wav");
  ASSERT_TRUE(WriteWaveFile(path, audio_test::MakeWave(8000, 1, 16, 2400)));  // 300 ms

  testing::internal::CaptureStderr();
  for (int round = 0; round < 2; ++round) {
    MCI_OPEN_PARMS op{};
    op.lpstrElementName = path.c_str();
    ASSERT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, &op), 0u);
    const auto start = Clock::now();
    ASSERT_EQ(mciSendCommandA(op.wDeviceID, MCI_PLAY, MCI_WAIT, nullptr), 0u);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(250));
    ASSERT_EQ(mciSendCommandA(op.wDeviceID, MCI_CLOSE, MCI_WAIT, nullptr), 0u);
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(SoundOutput::DriverName(), "dummy");
  const size_t first = said.find("no sound device");
  ASSERT_NE(first, std::string::npos) << said;
  EXPECT_EQ(said.find("no sound device", first + 1), std::string::npos) << said;
}

// With no sound device the beep's tone is not played: the caller is told, to ring the bell.
TEST(SoundFallback, NoToneWithoutASoundDevice) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  std::atomic<int> unheard{0};
  PlayBeepTone([&] { ++unheard; });
  WaitForBeepTones();
  EXPECT_EQ(unheard, 1);
  EXPECT_EQ(SoundOutput::DriverName(), "dummy");
}
