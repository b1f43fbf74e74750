// The media control layer on the silent driver, which takes the sound at its real pace.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/audio/Mci.h"
#include "tests/platform/audio_test_files.h"

using namespace platform;
using audio_test::MakeWave;
using Clock = std::chrono::steady_clock;

namespace {

class Mci : public testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

  audio_test::TempDir dir{"mci"};

  MCIDEVICEID OpenFile(const std::string& path, MCIERROR* error = nullptr) {
    MCI_OPEN_PARMS p{};
    p.lpstrElementName = path.c_str();
    const MCIERROR e = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, &p);
    if (error) *error = e;
    return e == 0 ? p.wDeviceID : 0;
  }
  MCIDEVICEID OpenWave(const WaveData& w, const std::string& name = "a.wav") {
    EXPECT_TRUE(WriteWaveFile(dir.File(name), w));
    return OpenFile(dir.File(name));
  }
  static DWORD Status(MCIDEVICEID id, DWORD item, MCIERROR* error = nullptr) {
    MCI_STATUS_PARMS p{};
    p.dwItem = item;
    const MCIERROR e = mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM, &p);
    if (error) *error = e;
    return DWORD(p.dwReturn);
  }
  static MCIERROR Play(MCIDEVICEID id) { return mciSendCommandA(id, MCI_PLAY, 0, nullptr); }
  static MCIERROR PlayTo(MCIDEVICEID id, DWORD to) {
    MCI_PLAY_PARMS p{};
    p.dwTo = to;
    return mciSendCommandA(id, MCI_PLAY, MCI_TO, &p);
  }
  static MCIERROR Simple(MCIDEVICEID id, UINT command, DWORD flags = MCI_WAIT) {
    MCI_GENERIC_PARMS p{};
    return mciSendCommandA(id, command, flags, &p);
  }
  static MCIERROR SeekTo(MCIDEVICEID id, DWORD to) {
    MCI_SEEK_PARMS p{};
    p.dwTo = to;
    return mciSendCommandA(id, MCI_SEEK, MCI_TO | MCI_WAIT, &p);
  }
  // Waits (at most `limit`) until the device's mode is no longer `mode`.
  static bool WaitWhileMode(MCIDEVICEID id, DWORD mode, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Status(id, MCI_STATUS_MODE) == mode) {
      if (Clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
};

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

TEST_F(Mci, OneSecondPlaysInRealTimeAndThenStops) {
  const MCIDEVICEID id = OpenWave(MakeWave(22050, 1, 16, 22050));
  ASSERT_NE(id, 0);
  EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 1000u);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 0u);

  const auto start = Clock::now();
  ASSERT_EQ(Play(id), 0u);
  // The play returns at once: the device still plays, unless this thread was kept waiting
  // for about as long as the sound.
  EXPECT_TRUE(Status(id, MCI_STATUS_MODE) == MCI_MODE_PLAY || MsSince(start) >= 900);
  DWORD last = 0;
  bool grew = false;
  // A busy machine can only make the sound slower than real time, never faster: every
  // bound below is one that waiting longer cannot break.
  while (Status(id, MCI_STATUS_MODE) == MCI_MODE_PLAY && MsSince(start) < 60000) {
    const DWORD pos = Status(id, MCI_STATUS_POSITION);
    // Taken after the position: however late this thread runs, the position was reached
    // by then. It is never further ahead of that than a device buffer (and some slack).
    const long long elapsed = MsSince(start);
    EXPECT_LE(pos, elapsed + 100) << "at " << elapsed << " ms";
    EXPECT_GE(pos, last);
    if (pos > last && last > 0) grew = true;
    last = pos;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const long long took = MsSince(start);
  EXPECT_TRUE(grew);
  EXPECT_GE(took, 900);  // one second of sound, less the buffer that ends it
  EXPECT_LT(took, 60000) << "the device never stopped";
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 1000u);
  // At the end, playing again plays nothing; from the start it plays anew.
  EXPECT_EQ(Play(id), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(mciSendCommandA(id, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, nullptr), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 0u);
  EXPECT_EQ(Play(id), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_PLAY);
  EXPECT_EQ(Simple(id, MCI_CLOSE), 0u);
}

TEST_F(Mci, PauseHoldsThePositionAndPlayResumes) {
  // Ten seconds of sound: long enough that a busy machine cannot let it end before the pause.
  const MCIDEVICEID id = OpenWave(MakeWave(8000, 1, 8, 80000));
  ASSERT_NE(id, 0);
  ASSERT_EQ(Play(id), 0u);
  const auto start = Clock::now();
  while (Status(id, MCI_STATUS_POSITION) < 100 && MsSince(start) < 30000)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(Simple(id, MCI_PAUSE, 0), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_PAUSE);
  const DWORD held = Status(id, MCI_STATUS_POSITION);
  EXPECT_GE(held, 100u);
  EXPECT_LT(held, 10000u);
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), held);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_PAUSE);

  ASSERT_EQ(Play(id), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_PLAY);
  const auto resumed = Clock::now();
  while (Status(id, MCI_STATUS_POSITION) <= held && MsSince(resumed) < 30000)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GT(Status(id, MCI_STATUS_POSITION), held);
  EXPECT_EQ(Simple(id, MCI_CLOSE), 0u);
}

TEST_F(Mci, PlaysToAnEndPositionAndSeekStops) {
  const MCIDEVICEID id = OpenWave(MakeWave(11025, 2, 16, 11025));
  ASSERT_NE(id, 0);
  ASSERT_EQ(SeekTo(id, 500), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 500u);
  ASSERT_EQ(PlayTo(id, 600), 0u);
  ASSERT_TRUE(WaitWhileMode(id, MCI_MODE_PLAY, std::chrono::milliseconds(30000)));
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 600u);
  EXPECT_EQ(PlayTo(id, 1001), MCIERR_OUTOFRANGE);
  EXPECT_EQ(SeekTo(id, 1001), MCIERR_OUTOFRANGE);
  ASSERT_EQ(Play(id), 0u);
  ASSERT_EQ(SeekTo(id, 100), 0u);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);
  EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 100u);
  EXPECT_EQ(Simple(id, MCI_CLOSE), 0u);
}

TEST_F(Mci, CloseStopsAtOnceAndFreesTheId) {
  const MCIDEVICEID a = OpenWave(MakeWave(22050, 1, 16, 22050 * 20), "a.wav");
  const MCIDEVICEID b = OpenWave(MakeWave(22050, 1, 16, 100), "b.wav");
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  ASSERT_EQ(Play(a), 0u);
  const auto start = Clock::now();
  EXPECT_EQ(Simple(a, MCI_CLOSE), 0u);
  EXPECT_LT(MsSince(start), 10000);  // does not wait for the twenty seconds of sound
  MCIERROR e = 0;
  EXPECT_EQ(Status(a, MCI_STATUS_MODE, &e), 0u);
  EXPECT_EQ(e, MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(Simple(a, MCI_CLOSE), MCIERR_INVALID_DEVICE_ID);
  EXPECT_EQ(Status(b, MCI_STATUS_LENGTH), 4u);  // the other device is untouched
  EXPECT_EQ(Simple(b, MCI_CLOSE), 0u);
}

TEST_F(Mci, SaveWritesTheSoundAndVolumeTakesItsRange) {
  const WaveData w = MakeWave(8000, 2, 8, 321);
  const MCIDEVICEID id = OpenWave(w);
  ASSERT_NE(id, 0);
  const std::string copy = dir.File("copy.wav");
  MCI_SAVE_PARMS sp{};
  sp.lpfilename = copy.c_str();
  ASSERT_EQ(mciSendCommandA(id, MCI_SAVE, MCI_SAVE_FILE | MCI_WAIT, &sp), 0u);
  WaveData back;
  ASSERT_EQ(ReadWaveFile(copy, back), WaveError::None);
  EXPECT_EQ(back.samples, w.samples);
  EXPECT_EQ(back.rate, 8000u);
  EXPECT_EQ(back.channels, 2);
  EXPECT_EQ(back.bits, 8);
  sp.lpfilename = "/no/such/folder/x.wav";
  EXPECT_EQ(mciSendCommandA(id, MCI_SAVE, MCI_SAVE_FILE | MCI_WAIT, &sp), MCIERR_FILE_NOT_SAVED);

  MCI_DGV_SETAUDIO_PARMS vp{};
  vp.dwItem = MCI_DGV_SETAUDIO_VOLUME;
  const DWORD vflags = MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE | MCI_WAIT;
  vp.dwValue = 1000;
  EXPECT_EQ(mciSendCommandA(id, MCI_SETAUDIO, vflags, &vp), 0u);
  vp.dwValue = 1001;
  EXPECT_EQ(mciSendCommandA(id, MCI_SETAUDIO, vflags, &vp), MCIERR_OUTOFRANGE);
  EXPECT_EQ(Simple(id, MCI_CLOSE), 0u);
}

TEST_F(Mci, OpenFailsCleanlyOnWhatItCannotPlay) {
  std::string good = EncodeWave(MakeWave(22050, 1, 16, 100));
  std::string long_data = good;
  long_data[40] = char(0xF0);  // data size 240 + ... beyond the file
  std::string float_format = good;
  float_format[20] = 3;
  struct Case {
    const char* what;
    std::string path;
    MCIERROR want;
  } cases[] = {
      {"empty file", dir.Write("empty.wav", ""), MCIERR_INVALID_FILE},
      {"truncated header", dir.Write("cut.wav", good.substr(0, 30)), MCIERR_INVALID_FILE},
      {"data longer than file", dir.Write("long.wav", long_data), MCIERR_INVALID_FILE},
      {"not PCM", dir.Write("float.wav", float_format), MCIERR_INVALID_FILE},
      {"a directory", dir.File("folder.wav"), MCIERR_INVALID_FILE},
      {"missing file", dir.File("missing.wav"), MCIERR_FILE_NOT_FOUND},
      {"another extension", dir.Write("good.mp3", good), MCIERR_EXTENSION_NOT_FOUND},
      {"no extension", dir.Write("good", good), MCIERR_EXTENSION_NOT_FOUND},
      {"dot in the folder only", dir.File("folder.wav") + "/plain", MCIERR_EXTENSION_NOT_FOUND},
      // At 1 sample a second, 4 300 000 samples last longer than 2^32 milliseconds.
      {"longer than its times can tell",
       dir.Write("slow.wav", EncodeWave(MakeWave(1, 1, 8, 4300000))), MCIERR_INVALID_FILE},
  };
  std::filesystem::create_directory(dir.File("folder.wav"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MCIERROR e = 0;
    EXPECT_EQ(OpenFile(c.path, &e), 0);
    EXPECT_EQ(e, c.want);
  }
  // Upper-case extensions are wave files too.
  const MCIDEVICEID id = OpenFile(dir.Write("GOOD.WAV", good));
  EXPECT_NE(id, 0);
  EXPECT_EQ(Simple(id, MCI_CLOSE), 0u);
}

TEST_F(Mci, RefusesWhatTheCommandsDoNotTake) {
  const MCIDEVICEID id = OpenWave(MakeWave(8000, 1, 16, 800));
  ASSERT_NE(id, 0);
  MCI_STATUS_PARMS sp{};
  sp.dwItem = 99;
  EXPECT_EQ(mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM, &sp), MCIERR_BAD_CONSTANT);
  sp.dwItem = MCI_STATUS_MODE;
  EXPECT_EQ(mciSendCommandA(id, MCI_STATUS, 0, &sp), MCIERR_MISSING_PARAMETER);
  EXPECT_EQ(mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM, nullptr), MCIERR_NULL_PARAMETER_BLOCK);
  EXPECT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_SAVE_FILE, nullptr), MCIERR_FLAGS_NOT_COMPATIBLE);
  EXPECT_EQ(mciSendCommandA(id, MCI_PLAY, MCI_TO, nullptr), MCIERR_NULL_PARAMETER_BLOCK);
  EXPECT_EQ(mciSendCommandA(id, MCI_SEEK, MCI_WAIT, nullptr), MCIERR_MISSING_PARAMETER);
  EXPECT_EQ(mciSendCommandA(id, 1234, 0, nullptr), MCIERR_UNRECOGNIZED_COMMAND);
  EXPECT_EQ(mciSendCommandA(0, MCI_PLAY, 0, nullptr), MCIERR_INVALID_DEVICE_ID);
  MCI_OPEN_PARMS op{};
  EXPECT_EQ(mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT, &op), MCIERR_MISSING_PARAMETER);
  EXPECT_EQ(Status(id, MCI_STATUS_MODE), MCI_MODE_STOP);  // none of it touched the device
  EXPECT_EQ(Simple(id, MCI_CLOSE), 0u);
}

}  // namespace
