// The media control layer on SDL's disk driver, which writes what reaches the device to a file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/audio/Mci.h"
#include "tests/platform/audio_test_files.h"
#include "tests/support/Wav.h"

using namespace platform;
using audio_test::MakeWave;
using audio_test::ReadFile;
using Clock = std::chrono::steady_clock;

namespace {

class DiskDevice : public testing::Test {
 protected:
  audio_test::TempDir dir{"disk"};
  std::string heard = dir.File("heard.raw");

  // delay_ms: how long the driver takes per buffer (empty: its real-time pace).
  void UseDisk(const char* delay_ms) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heard.c_str(), 1);
    if (delay_ms) {
      setenv("SDL_DISKAUDIODELAY", delay_ms, 1);
    } else {
      unsetenv("SDL_DISKAUDIODELAY");
    }
  }
  MCIDEVICEID Open(const WaveData& w) {
    const std::string path = dir.File("in.wav");
    EXPECT_TRUE(WriteWaveFile(path, w));
    MCI_OPEN_PARMS p{};
    p.lpstrElementName = path.c_str();
    EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, &p), 0u);
    return p.wDeviceID;
  }
  static DWORD Status(MCIDEVICEID id, DWORD item) {
    MCI_STATUS_PARMS p{};
    p.dwItem = item;
    mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM, &p);
    return DWORD(p.dwReturn);
  }
  static void Close(MCIDEVICEID id) {
    MCI_GENERIC_PARMS p{};
    EXPECT_EQ(mciSendCommandA(id, MCI_CLOSE, MCI_WAIT, &p), 0u);
  }
  // Plays to the end and returns the bytes that reached the device.
  std::string PlayAll(MCIDEVICEID id) {
    EXPECT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_WAIT, nullptr), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
    Close(id);
    return ReadFile(heard);
  }
};

// What reached the device: the samples, then nothing but silence. Silence before them does
// not count: a paused device still hands the driver silence, and on a slow machine the
// driver may take a period before the play starts.
void ExpectSamplesThenSilence(const std::string& got, const std::string& samples, char silence) {
  const std::size_t lead = samples.find_first_not_of(silence);
  ASSERT_NE(lead, std::string::npos);
  const std::size_t from = got.find_first_not_of(silence);
  ASSERT_NE(from, std::string::npos);
  ASSERT_GE(from, lead);
  const std::size_t start = from - lead;
  // The lead-in is whole sample frames, so the samples stand aligned behind it.
  ASSERT_GE(got.size() - start, samples.size());
  EXPECT_TRUE(got.compare(start, samples.size(), samples) == 0);
  EXPECT_EQ(got.find_first_not_of(silence, start + samples.size()), std::string::npos);
}

TEST_F(DiskDevice, TheDeviceGetsTheFilesSamplesInOrder) {
  UseDisk("1");
  struct Case {
    uint32_t rate;
    uint16_t channels, bits;
  } cases[] = {{22050, 1, 16}, {11025, 1, 16}, {8000, 1, 16}, {11025, 2, 16}, {8000, 1, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << "/" << c.channels << "/" << c.bits);
    const WaveData w = MakeWave(c.rate, c.channels, c.bits, c.rate / 4 + 37);
    const MCIDEVICEID id = Open(w);
    ASSERT_NE(id, 0);
    ExpectSamplesThenSilence(PlayAll(id), w.samples, c.bits == 8 ? char(0x80) : char(0));
  }
}

TEST_F(DiskDevice, PausedAndSeekedPlayingSkipsNothingAndRepeatsNothing) {
  UseDisk("1");
  const WaveData w = MakeWave(8000, 1, 16, 8000);
  const MCIDEVICEID id = Open(w);
  ASSERT_NE(id, 0);
  MCI_PLAY_PARMS pp{};
  pp.dwTo = 250;
  ASSERT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_TO | MCI_WAIT, &pp), 0u);
  MCI_SEEK_PARMS sp{};
  sp.dwTo = 750;
  ASSERT_EQ(mciSendCommandA(id, MCI_SEEK, MCI_TO | MCI_WAIT, &sp), 0u);
  const std::string got = PlayAll(id);
  // 0..250 ms then 750 ms..end, each followed by silence in its last buffer. Silence before
  // the first part does not count (see ExpectSamplesThenSilence).
  const std::string first = w.samples.substr(0, 2000 * 2);
  const std::string last = w.samples.substr(6000 * 2);
  const size_t lead = first.find_first_not_of('\0');
  const size_t from = got.find_first_not_of('\0');
  ASSERT_NE(from, std::string::npos);
  ASSERT_GE(from, lead);
  const size_t start = from - lead;
  ASSERT_GE(got.size(), start + first.size() + last.size());
  EXPECT_TRUE(got.compare(start, first.size(), first) == 0);
  const size_t at = got.find(last.substr(0, 64), start + first.size());
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(got.find_first_not_of('\0', start + first.size()), at);
  EXPECT_TRUE(got.compare(at, last.size(), last) == 0);
}

TEST_F(DiskDevice, VolumeScalesTheSamples) {
  UseDisk("1");
  const WaveData w = MakeWave(8000, 1, 16, 2000);
  const MCIDEVICEID id = Open(w);
  ASSERT_NE(id, 0);
  MCI_DGV_SETAUDIO_PARMS vp{};
  vp.dwItem = MCI_DGV_SETAUDIO_VOLUME;
  vp.dwValue = 500;
  ASSERT_EQ(mciSendCommandA(id, MCI_SETAUDIO,
                            MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE | MCI_WAIT, &vp),
            0u);
  std::vector<int> half = testsupport::Samples(w.samples);
  for (int& s : half) s /= 2;  // toward zero
  ExpectSamplesThenSilence(PlayAll(id), testsupport::SampleBytes(half), 0);
}

TEST_F(DiskDevice, CloseSilencesAtOnce) {
  UseDisk(nullptr);  // real-time pace
  // Ten seconds: a busy machine cannot let them all be played before the close.
  const WaveData w = MakeWave(22050, 1, 16, 22050 * 10);
  const MCIDEVICEID id = Open(w);
  ASSERT_NE(id, 0);
  ASSERT_EQ(mciSendCommandA(id, MCI_PLAY, 0, nullptr), 0u);
  const auto start = Clock::now();
  while (Status(id, MCI_STATUS_POSITION) < 200 && Clock::now() - start < std::chrono::seconds(30))
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  Close(id);
  const size_t at_close = ReadFile(heard).size();
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(ReadFile(heard).size(), at_close);
  EXPECT_LT(at_close, w.samples.size());
  EXPECT_GT(at_close, 0u);
}

}  // namespace
