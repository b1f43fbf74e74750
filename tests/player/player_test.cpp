// The sound-file player on the media control layer, with the silent sound driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/Beep.h"
#include "platform/core/Timer.h"
#include "player/SFPlayer.h"
#include "tests/platform/audio_test_files.h"

using namespace platform;
using Clock = std::chrono::steady_clock;

namespace {

struct Sent {
  MCIDEVICEID device;
  UINT command;
  DWORD_PTR flags;
  DWORD to;  // dwTo of a play or seek
  bool operator==(const Sent&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Sent& s) {
  return os << "{dev " << s.device << " cmd " << s.command << " flags " << s.flags << " to " << s.to
            << "}";
}

class Player : public testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

  void SetUp() override {
    SetMciObserver([this](MCIDEVICEID d, UINT c, DWORD_PTR f, const void* parms) {
      DWORD to = 0;
      if (c == MCI_PLAY && parms) to = static_cast<const MCI_PLAY_PARMS*>(parms)->dwTo;
      if (c == MCI_SEEK && parms) to = static_cast<const MCI_SEEK_PARMS*>(parms)->dwTo;
      if (c == MCI_SAVE && parms)
        saved_names.push_back(static_cast<const MCI_SAVE_PARMS*>(parms)->lpfilename);
      sent.push_back({d, c, f, to});
    });
  }
  void TearDown() override { SetMciObserver(nullptr); }

  // A mono 8000 Hz file of `ms` milliseconds.
  std::string Wave(const std::string& name, uint32_t ms) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(WriteWaveFile(path, audio_test::MakeWave(8000, 1, 16, 8 * ms)));
    return path;
  }
  // The commands sent other than status queries.
  std::vector<Sent> Actions() const {
    std::vector<Sent> out;
    for (const Sent& s : sent)
      if (s.command != MCI_STATUS) out.push_back(s);
    return out;
  }
  static bool WaitUntilNotPlaying(TSFPlayer& p) {
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (p.GetMode() == pmPlaying) {
      if (Clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  audio_test::TempDir dir{"player"};
  std::vector<Sent> sent;
  std::vector<std::string> saved_names;
};

TEST_F(Player, WithoutADeviceTheModeIsNotReady) {
  TSFPlayer p;
  EXPECT_EQ(p.GetMode(), pmNotReady);
  EXPECT_EQ(p.FDeviceID, 0);
  p.SetFiles(Wave("a.wav", 100));
  p.Open();
  ASSERT_NE(p.FDeviceID, 0);
  EXPECT_EQ(p.GetMode(), pmStopped);
  p.Close();
  EXPECT_EQ(p.FDeviceID, 0);
  EXPECT_FALSE(p.FOpened);
  EXPECT_EQ(p.GetMode(), pmNotReady);
}

TEST_F(Player, EmptyPlayListSendsNothing) {
  TSFPlayer p;
  p.Play();
  p.Open();
  p.SetFiles("");
  p.Play();
  EXPECT_TRUE(sent.empty());
  EXPECT_EQ(p.FDeviceID, 0);
}

TEST_F(Player, NamesFollowTheFolderOfTheLastAbsoluteName) {
  struct Step {
    std::string entry, name, folder;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  } cases[] = {
      {"drive name, then a bare name",
       {{"C:\\Dir\\a.wav", "C:\\Dir\\a.wav", "C:\\Dir\\"},
        {"b.wav", "C:\\Dir\\b.wav", "C:\\Dir\\"}}},
      {"colon and backslash at the third character is relative",
       {{"C:\\Dir\\a.wav", "C:\\Dir\\a.wav", "C:\\Dir\\"},
        {"ab:\\x.wav", "C:\\Dir\\ab:\\x.wav", "C:\\Dir\\"}}},
      {"only the first colon and backslash counts",
       {{"x:y:\\z.wav", "x:y:\\z.wav", ""}, {"C:\\a:\\b.wav", "C:\\a:\\b.wav", "C:\\a:\\"}}},
      {"bare name before any absolute one is kept", {{"b.wav", "b.wav", ""}}},
      {"network name is kept and leaves the folder",
       {{"C:\\Dir\\a.wav", "C:\\Dir\\a.wav", "C:\\Dir\\"},
        {"\\\\srv\\share\\c.wav", "\\\\srv\\share\\c.wav", "C:\\Dir\\"},
        {"//srv/share/c.wav", "//srv/share/c.wav", "C:\\Dir\\"}}},
      {"root names of this system",
       {{"/tmp/sound/a.wav", "/tmp/sound/a.wav", "/tmp/sound/"},
        {"b.wav", "/tmp/sound/b.wav", "/tmp/sound/"},
        {"sub/c.wav", "/tmp/sound/sub/c.wav", "/tmp/sound/"},
        {"/d.wav", "/d.wav", "/"},
        {"e.wav", "/e.wav", "/"}}},
      {"drive name with forward slashes", {{"C:/Dir/a.wav", "C:/Dir/a.wav", "C:/Dir/"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSFPlayer p;
    for (const Step& s : c.steps) {
      p.SetFiles(s.entry);
      p.Open();
      EXPECT_EQ(p.FFileName, s.name);
      EXPECT_EQ(p.Files(), s.name);
      EXPECT_EQ(p.FDirectory, s.folder);
    }
  }
}

TEST_F(Player, RealFolderNamesOpenAndPlay) {
  Wave("a.wav", 100);
  const std::string b = Wave("b.wav", 200);
  TSFPlayer p;
  p.SetFiles(dir.File("a.wav"));
  p.Open();
  ASSERT_NE(p.FDeviceID, 0);
  p.SetFiles("b.wav");
  p.Open();
  EXPECT_EQ(p.FFileName, b);
  ASSERT_NE(p.FDeviceID, 0);
  EXPECT_EQ(p.GetLength(), 200u);
}

TEST_F(Player, OpenSetsTheWholeFileAsRangeAndPlayGoesToItsEnd) {
  const std::string a = Wave("a.wav", 250);
  TSFPlayer p;
  p.SetFiles(a);
  p.Open();
  ASSERT_TRUE(p.FOpened);
  const MCIDEVICEID id = p.FDeviceID;
  EXPECT_EQ(p.FStartPos, 0);
  EXPECT_EQ(p.FEndPos, 250);
  sent.clear();
  p.Play();
  EXPECT_EQ(Actions(), (std::vector<Sent>{{id, MCI_PLAY, MCI_TO, 250}}));
  EXPECT_EQ(p.GetMode(), pmPlaying);
  ASSERT_TRUE(WaitUntilNotPlaying(p));
  EXPECT_EQ(p.GetMode(), pmStopped);
  EXPECT_EQ(p.GetPosition(), 250u);
  EXPECT_EQ(p.FDeviceID, id);  // stays open after playing to the end
}

TEST_F(Player, PlayPausePausesAPlayingDeviceAndPlaysAnyOther) {
  const std::string a = Wave("a.wav", 300);
  enum Start { kPlaying, kPaused, kStoppedAtEnd, kClosed };
  struct Case {
    const char* what;
    Start start;
    TSFPlayerMode then;
    std::vector<UINT> commands;  // sent by PlayPause, status queries aside
  } cases[] = {
      {"playing", kPlaying, pmPaused, {MCI_PAUSE}},
      {"paused", kPaused, pmPlaying, {MCI_PLAY}},
      {"stopped at the end", kStoppedAtEnd, pmPlaying, {MCI_SEEK, MCI_PLAY}},
      {"closed", kClosed, pmPlaying, {MCI_OPEN, MCI_PLAY}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSFPlayer p;
    p.SetFiles(a);
    if (c.start != kClosed) p.Play();
    if (c.start == kPaused) p.Pause();
    if (c.start == kStoppedAtEnd) {
      ASSERT_TRUE(WaitUntilNotPlaying(p));
    }
    sent.clear();
    p.PlayPause();
    std::vector<UINT> commands;
    for (const Sent& s : Actions()) commands.push_back(s.command);
    EXPECT_EQ(commands, c.commands);
    EXPECT_EQ(p.GetMode(), c.then);
  }
}

TEST_F(Player, CloseKeepsTheRangeOfASingleEntryOnly) {
  const std::string a = Wave("a.wav", 120);
  struct Case {
    std::string list;
    int32_t start, end;
  } cases[] = {{a, 0, 120}, {a + "\r\n" + a, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    TSFPlayer p;
    p.SetFiles(c.list);
    p.Open();
    ASSERT_TRUE(p.FOpened);
    p.Close();
    EXPECT_FALSE(p.FOpened);
    EXPECT_EQ(p.FDeviceID, 0);
    EXPECT_EQ(p.FStartPos, c.start);
    EXPECT_EQ(p.FEndPos, c.end);
  }
}

TEST_F(Player, AFileThatCannotBeOpenedBeepsOncePerOpenAndLeavesNoDevice) {
  const std::string names[] = {dir.File("missing.wav"), dir.Write("text.txt", "hello"),
                               dir.Write("broken.wav", "RIFF")};
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    TSFPlayer p;
    p.SetFiles(name);
    const int before = BeepCount();
    p.Open();
    EXPECT_EQ(BeepCount(), before + 1);
    EXPECT_EQ(LastBeepType(), MB_OK);
    EXPECT_EQ(p.FDeviceID, 0);
    EXPECT_FALSE(p.FOpened);
    EXPECT_NE(p.FError, 0u);
    // Playing goes on without a device: one beep more, an empty range, nothing plays.
    p.PlayPause();
    EXPECT_EQ(BeepCount(), before + 2);
    EXPECT_EQ(p.FDeviceID, 0);
    EXPECT_EQ(p.FStartPos, 0);
    EXPECT_EQ(p.FEndPos, 0);
    EXPECT_EQ(p.GetMode(), pmNotReady);
  }
}

TEST_F(Player, SeekRewindAndARangeInsideTheFile) {
  const std::string a = Wave("a.wav", 400);
  TSFPlayer p;
  p.SetFiles(a);
  p.Open();
  const MCIDEVICEID id = p.FDeviceID;
  p.Seek(100);
  EXPECT_EQ(p.GetPosition(), 100u);
  p.Rewind();
  EXPECT_EQ(p.GetPosition(), 0u);
  p.SetStartPos(150);
  p.SetEndPos(250);  // seeks to the start of the range
  EXPECT_EQ(p.GetPosition(), 150u);
  sent.clear();
  p.Play();
  EXPECT_EQ(Actions(), (std::vector<Sent>{{id, MCI_PLAY, MCI_TO, 250}}));
  ASSERT_TRUE(WaitUntilNotPlaying(p));
  EXPECT_EQ(p.GetPosition(), 250u);
  sent.clear();
  p.Play();  // at the end of the range: back to its start first
  EXPECT_EQ(Actions(), (std::vector<Sent>{{id, MCI_SEEK, MCI_TO | MCI_WAIT, 150},
                                          {id, MCI_PLAY, MCI_TO, 250}}));
}

TEST_F(Player, RangeFittingRepairsImpossibleRanges) {
  const std::string a = Wave("a.wav", 200);
  struct Case {
    const char* what;
    int32_t start, end;
    int32_t want_start, want_end;
  } cases[] = {
      {"end past the file", 0, 5000, 0, 200},
      {"negative start", -10, 100, 0, 100},
      {"start at the end", 100, 100, 100, 200},
      {"start past the file", 300, 100, 0, 200},
      {"empty range", 0, 0, 0, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TSFPlayer p;
    p.SetFiles(a);
    p.Open();
    p.FStartPos = c.start;
    p.FEndPos = c.end;
    p.Play();
    EXPECT_EQ(p.FStartPos, c.want_start);
    EXPECT_EQ(p.FEndPos, c.want_end);
    EXPECT_EQ(p.GetMode(), pmPlaying);
  }
}

TEST_F(Player, StartPastTheEndOnAPlayingDeviceEnds) {
  const std::string a = Wave("a.wav", 300);
  TSFPlayer p;
  p.SetFiles(a);
  p.Play();
  ASSERT_EQ(p.GetMode(), pmPlaying);
  p.SetStartPos(1000);
  p.Play();  // would set the end and play again without end
  EXPECT_EQ(p.FStartPos, 0);
  EXPECT_EQ(p.FEndPos, 300);
}

TEST_F(Player, VolumeIsKeptOnlyWhenTakenAndSentToEveryNewDevice) {
  const std::string a = Wave("a.wav", 100);
  TSFPlayer p;
  p.SetFiles(a);
  p.SetAudioVolume(500);  // no device yet
  EXPECT_EQ(p.FAudioVolume, 0);
  p.Open();
  p.SetAudioVolume(500);
  EXPECT_EQ(p.FAudioVolume, 500);
  p.SetAudioVolume(60000);  // out of the device's range
  EXPECT_EQ(p.FAudioVolume, 0);
  p.SetAudioVolume(700);
  sent.clear();
  p.Open();  // closes and opens anew
  std::vector<UINT> commands;
  for (const Sent& s : Actions()) commands.push_back(s.command);
  EXPECT_EQ(commands, (std::vector<UINT>{MCI_CLOSE, MCI_OPEN, MCI_SETAUDIO}));
  EXPECT_EQ(p.FAudioVolume, 700);
}

TEST_F(Player, SaveWritesTheCurrentFile) {
  const std::string a = Wave("a.wav", 100);
  const std::string before = audio_test::ReadFile(a);
  TSFPlayer p;
  p.Save();  // no name yet: nothing
  EXPECT_TRUE(sent.empty());
  p.SetFiles(a);
  p.Open();
  p.Save();
  EXPECT_EQ(p.FError, 0u);
  EXPECT_EQ(saved_names, (std::vector<std::string>{a}));
  EXPECT_EQ(audio_test::ReadFile(a), before);
}

TEST_F(Player, DestroyClosesTheDevice) {
  const std::string a = Wave("a.wav", 500);
  auto p = std::make_unique<TSFPlayer>();
  p->SetFiles(a);
  p->Play();
  const MCIDEVICEID id = p->FDeviceID;
  ASSERT_NE(id, 0);
  p.reset();
  MCI_STATUS_PARMS sp{};
  sp.dwItem = MCI_STATUS_MODE;
  EXPECT_EQ(mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM, &sp), MCIERR_INVALID_DEVICE_ID);
}

TEST_F(Player, EndTimerStepsThroughThePlayListAndBackToTheFirst) {
  const std::string a = Wave("a.wav", 100), b = Wave("b.wav", 150);
  TSFPlayer p;
  p.FUseEndTimer = true;
  p.SetFiles(a + "\r\n" + b);
  p.Play();
  ASSERT_NE(p.FEndTimer, nullptr);
  // The time left when the play started: the whole file, less what a slow machine (a
  // sanitizer build) already played before the timer was set.
  const unsigned left = p.FEndTimer->Interval();
  EXPECT_LE(left, 100u);
  EXPECT_GE(left, 100u - std::min(100u, unsigned(p.GetPosition())));
  // Before the end the timer goes on polling.
  ManualTimers::Advance(100);
  if (p.GetPosition() < 100u) {
    ASSERT_NE(p.FEndTimer, nullptr);
    EXPECT_EQ(p.FEndTimer->Interval(), 20u);
  }
  const char* want[] = {"b.wav", "a.wav", "b.wav"};
  for (const char* name : want) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(WaitUntilNotPlaying(p));
    ManualTimers::Advance(200);  // reaches the end: next entry
    EXPECT_EQ(p.FFileName, dir.File(name));
    EXPECT_EQ(p.GetMode(), pmPlaying);
    ASSERT_NE(p.FEndTimer, nullptr);
  }
  EXPECT_EQ(p.FFileIndex, 1);
}

TEST_F(Player, EndTimerLoopsARangeAndReplaysASingleFile) {
  const std::string a = Wave("a.wav", 200);
  TSFPlayer p;
  p.FUseEndTimer = true;
  p.SetFiles(a);
  p.Open();
  const MCIDEVICEID id = p.FDeviceID;
  p.SetEndPos(80);  // a range that ends before the file does
  p.Play();
  ASSERT_TRUE(WaitUntilNotPlaying(p));
  sent.clear();
  ManualTimers::Advance(200);
  EXPECT_EQ(Actions(),
            (std::vector<Sent>{{id, MCI_SEEK, MCI_TO | MCI_WAIT, 0}, {id, MCI_PLAY, MCI_TO, 80}}));
  EXPECT_EQ(p.GetMode(), pmPlaying);

  p.SetEndPos(200);  // now to the file's end: a single file plays again from its start
  ASSERT_TRUE(WaitUntilNotPlaying(p));
  ASSERT_NE(p.FEndTimer, nullptr);
  sent.clear();
  ManualTimers::Advance(300);
  EXPECT_EQ(Actions(), (std::vector<Sent>{{id, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, 0},
                                          {id, MCI_PLAY, MCI_TO, 200}}));
  EXPECT_EQ(p.FDeviceID, id);
}

}  // namespace
