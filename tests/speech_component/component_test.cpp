// The speech component outside a reading: where its WAV file goes, what it makes at
// creation, and how it loads and prepares a voice.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "banks/VoiceBanks.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Timer.h"
#include "speech/RUZIZ.h"
#include "tests/support/ConstrainedFolder.h"
#include "tests/support/Files.h"
#include "tests/support/Wav.h"

namespace fs = std::filesystem;
using testsupport::SampleBytes;
using testsupport::Samples;

namespace {

const std::string WavName = "~$~$~$~$.wav";

class Creation : public testing::Test {
 protected:
  void TearDown() override {
    platform::SetProgramFileForTesting("");
    unsetenv("TEMP");
  }
  testsupport::TempDir dir{"speech"};
};

TEST_F(Creation, TheWavFileGoesToTempElseToTheProgramFolder) {
  const std::string temp = dir.File("temp");
  fs::create_directories(temp);
  struct Case {
    const char* what;
    bool tempSet;
    std::string tempValue;
    std::string programFile;
    std::string expected;
  } cases[] = {
      {"TEMP names a folder", true, temp, dir.File("prog/orv_lp"), temp + "/" + WavName},
      {"TEMP ends with the separator", true, temp + "/", dir.File("prog/orv_lp"),
       temp + "/" + WavName},
      {"TEMP unset", false, "", dir.File("prog/orv_lp"), dir.File("prog/") + WavName},
      {"TEMP names no folder", true, dir.File("missing"), dir.File("prog/orv_lp"),
       dir.File("prog/") + WavName},
      {"TEMP empty", true, "", dir.File("prog/orv_lp"), dir.File("prog/") + WavName},
      {"program folder missing: made with its parents", false, "", dir.File("made/deep/er/orv_lp"),
       dir.File("made/deep/er/") + WavName},
  };
  fs::create_directories(dir.File("prog"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.tempSet)
      setenv("TEMP", c.tempValue.c_str(), 1);
    else
      unsetenv("TEMP");
    platform::SetProgramFileForTesting(c.programFile);
    TORVHumanVoices v(nullptr);
    EXPECT_EQ(v.FWavFile, c.expected);
    EXPECT_TRUE(fs::is_directory(fs::path(c.expected).parent_path()));
    // Only the folder is made; the file comes with the first sentence.
    EXPECT_FALSE(fs::exists(c.expected));
  }
}

TEST_F(Creation, NoFolderPossibleFailsAndLeavesNothingBehind) {
  // A file stands where the program folder's parent would have to be made.
  std::ofstream(dir.File("plain")) << "not a folder";
  unsetenv("TEMP");
  platform::SetProgramFileForTesting(dir.File("plain/sub/orv_lp"));
  const int timersBefore = platform::ManualTimers::RunningCount();
  platform::TComponent owner;
  try {
    TORVHumanVoices v(&owner);
    FAIL() << "created with " << v.FWavFile;
  } catch (const platform::Exception& e) {
    EXPECT_EQ(std::string(e.what()), "Error: imposible ejecutar la aplicaci\xF3n");
  }
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(platform::ManualTimers::RunningCount(), timersBefore);
  EXPECT_FALSE(fs::exists(dir.File("plain/sub")));
}

// A folder counts only if it takes a file: one mounted read-only or on a full disk is passed
// over, and when the program's folder takes none either, creation fails.
TEST_F(Creation, AFolderThatTakesNoFileDoesNotCount) {
  int tried = 0;
  for (auto kind :
       {testsupport::ConstrainedFolder::ReadOnly, testsupport::ConstrainedFolder::Full}) {
    SCOPED_TRACE(kind == testsupport::ConstrainedFolder::Full ? "full" : "read-only");
    const std::string name = std::to_string(kind);
    testsupport::ConstrainedFolder temp(dir.path / ("temp" + name), kind);
    testsupport::ConstrainedFolder prog(dir.path / ("prog" + name), kind);
    if (!temp.Available() || !prog.Available()) continue;
    ++tried;
    temp.Constrain();
    setenv("TEMP", temp.Path().c_str(), 1);
    platform::SetProgramFileForTesting(prog.Path() + "/orv_lp");
    {
      TORVHumanVoices v(nullptr);
      EXPECT_EQ(v.FWavFile, prog.Path() + "/" + WavName);
    }
    prog.Constrain();
    try {
      TORVHumanVoices v(nullptr);
      ADD_FAILURE() << "created with " << v.FWavFile;
    } catch (const platform::Exception& e) {
      EXPECT_EQ(std::string(e.what()), "Error: imposible ejecutar la aplicaci\xF3n");
    }
    // No scratch file is left behind in a folder that took one.
    temp.Release();
    setenv("TEMP", temp.Path().c_str(), 1);
    {
      TORVHumanVoices v(nullptr);
      EXPECT_EQ(v.FWavFile, temp.Path() + "/" + WavName);
    }
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(temp.Path()))
      left.push_back(e.path().filename().string());
    EXPECT_TRUE(left.empty()) << left.front();
  }
  if (tried == 0) GTEST_SKIP() << "no folder could be made unwritable here";
}

TEST_F(Creation, OwnsAnIdleTimerAndHoldsAPlayerWithoutOwner) {
  setenv("TEMP", dir.path.c_str(), 1);
  platform::TComponent owner;
  auto* v = new TORVHumanVoices(&owner);
  EXPECT_EQ(v->Owner(), &owner);
  ASSERT_NE(v->FTimer, nullptr);
  EXPECT_EQ(v->FTimer->Owner(), v);
  EXPECT_FALSE(v->FTimer->Running());
  ASSERT_NE(v->FPlayer, nullptr);
  EXPECT_EQ(v->FPlayer->Owner(), nullptr);
  EXPECT_EQ(v->FPlayer->FDeviceID, 0);
  EXPECT_EQ(v->FThread, nullptr);
  for (const std::string& slot : v->FBank) EXPECT_TRUE(slot.empty());
  EXPECT_EQ(v->FSettings.SampleRate, 0);
  // The owner frees it together with its timer and player (the leak check sees the rest).
}

TEST(Resample, HandWorkedCases) {
  struct Case {
    const char* what;
    std::int16_t setting;
    std::vector<int> in, out;
    bool trailingByte = false;
  } cases[] = {
      {"L1 M2 keeps every second value", 12, {0, 10, 20, 30, 40}, {0, 20}},
      {"L2 M1: the last input is never output", 1, {0, 10, 20}, {0, 5, 10, 15}},
      {"the step truncates toward zero", 1, {0, -5}, {0, -2}},
      {"a difference beyond 16 bits becomes the sum", 1, {-20000, 20000}, {-20000, -20000}},
      {"the sum as the difference, wrapped", 1, {-30000, 10000}, {-30000, 25536}},
      {"the counter runs on across pairs (L9 M5)", 2, {0, 90, 180}, {0, 50, 100, 150}},
      {"L8 M9", 7, {0, 80, 160}, {0, 90}},
      {"L7 M11", 10, {0, 70, 140, 210}, {0, 110}},
      {"L11 M7", 3, {0, 110}, {0, 70}},
      {"a trailing odd byte is no sample", 12, {0, 10, 20, 30, 40}, {0, 20}, true},
  };
  for (const Case& c : cases) {
    std::string in = SampleBytes(c.in);
    if (c.trailingByte) in.push_back('\x7F');
    EXPECT_EQ(Samples(TORVHumanVoices::Resample(in, c.setting)), c.out) << c.what;
  }
}

TEST(Resample, EachSettingHasItsRatio) {
  // A ramp rising 10 per interpolated step: the output rises 10 * M per sample, and there are
  // ceil((n - 1) * L / M) samples.
  struct Case {
    std::int16_t setting;
    int L, M;
    std::size_t count;  // for 20 input samples
  } cases[] = {{1, 2, 1, 38}, {2, 9, 5, 35},   {3, 11, 7, 30}, {4, 7, 5, 27},
               {5, 5, 4, 24}, {6, 9, 8, 22},   {7, 8, 9, 17},  {8, 4, 5, 16},
               {9, 5, 7, 14}, {10, 7, 11, 13}, {11, 5, 9, 11}, {12, 1, 2, 10}};
  for (const Case& c : cases) {
    std::vector<int> ramp;
    for (int k = 0; k < 20; ++k) ramp.push_back(10 * c.L * k);
    const std::vector<int> out = Samples(TORVHumanVoices::Resample(SampleBytes(ramp), c.setting));
    ASSERT_EQ(out.size(), c.count) << "setting " << c.setting;
    for (std::size_t m = 0; m < out.size(); ++m)
      EXPECT_EQ(out[m], static_cast<int>(10 * c.M * m)) << "setting " << c.setting << " at " << m;
  }
}

TEST(Resample, OutsideTheSettingsNothingChangesAndShortSoundsGiveNothing) {
  const std::string sound = SampleBytes({5, -7, 300, 32767, -32768});
  for (std::int16_t setting : {0, 13, -1, 200, -32768}) {
    EXPECT_EQ(TORVHumanVoices::Resample(sound, setting), sound) << setting;
    EXPECT_EQ(TORVHumanVoices::Resample(banks::EmptySlot, setting), banks::EmptySlot) << setting;
    EXPECT_EQ(TORVHumanVoices::Resample("", setting), "") << setting;
  }
  for (std::int16_t setting = 1; setting <= 12; ++setting) {
    EXPECT_EQ(TORVHumanVoices::Resample(SampleBytes({1234}), setting), "") << setting;
    EXPECT_EQ(TORVHumanVoices::Resample(banks::EmptySlot, setting), "") << setting;
    EXPECT_EQ(TORVHumanVoices::Resample("", setting), "") << setting;
    EXPECT_EQ(TORVHumanVoices::Resample("\x01", setting), "") << setting;
  }
}

TEST(PeakPercent, RoundedPercentOfTheLargestMagnitude) {
  struct Case {
    const char* what;
    std::string sound;
    int level;
  } cases[] = {
      {"empty slot", banks::EmptySlot, 0},
      {"no bytes", "", 0},
      {"one sample, however loud", SampleBytes({32767}), 0},
      {"one negative sample", SampleBytes({-32768}), 0},
      {"full scale", SampleBytes({0, 32767}), 100},
      {"-32768 counts 32768 and stays 100", SampleBytes({100, -32768}), 100},
      {"half scale", SampleBytes({0, 16384, -100}), 50},
      {"only negative samples", SampleBytes({-5, -16384, -200}), 50},
      {"just below a half rounds down", SampleBytes({0, 16547}), 50},
      {"just above a half rounds up", SampleBytes({0, 16548}), 51},
      {"the smaller side does not count", SampleBytes({-16548, 327}), 51},
      {"quiet rounds up to 1", SampleBytes({0, 200, 164}), 1},
      {"silence", SampleBytes({0, 0, 0, 0}), 0},
  };
  for (const Case& c : cases) EXPECT_EQ(TORVHumanVoices::PeakPercent(c.sound), c.level) << c.what;
}

class Loading : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TEMP", dir.path.c_str(), 1);
    v = std::make_unique<TORVHumanVoices>(nullptr);
  }
  void TearDown() override { unsetenv("TEMP"); }
  testsupport::TempDir dir{"speech"};
  std::unique_ptr<TORVHumanVoices> v;
};

TEST_F(Loading, TheVoiceItemChoosesTheBank) {
  // The banks must differ for the choice to show.
  for (int g = 0; g + 1 < banks::BankCount; ++g)
    ASSERT_TRUE(banks::VoiceBankTable(g) != banks::VoiceBankTable(g + 1)) << g;
  struct Case {
    std::int16_t voice;
    int bank;  // -1: no bank
  } cases[] = {{0, 0},  {-1, 0}, {-32768, 0}, {8, 0},  {9, 1},  {17, 1},  {18, 2},
               {44, 4}, {45, 5}, {80, 8},     {81, 9}, {89, 9}, {90, -1}, {32767, -1}};
  for (const Case& c : cases) {
    v->LoadVoice(c.voice, 0, 0);
    for (std::size_t s = 0; s < banks::SlotCount; ++s) {
      if (c.bank >= 0) {
        ASSERT_TRUE(v->FBank[s] == banks::VoiceBankTable(c.bank)[s])
            << "voice " << c.voice << " slot " << s;
      } else {
        ASSERT_EQ(v->FBank[s], "") << "voice " << c.voice << " slot " << s;
      }
    }
  }
}

TEST_F(Loading, RecordedSlotsAreResampledEmptySlotsStayEmpty) {
  const banks::TVoiceBank& bank = banks::VoiceBankTable(3);
  int recorded = 0;
  for (std::uint8_t speed : {std::uint8_t{12}, std::uint8_t{2}}) {
    v->SetAnalogSpeed(speed);
    v->LoadVoice(30, 0, 0);
    recorded = 0;
    for (std::size_t s = 0; s < banks::SlotCount; ++s) {
      if (banks::IsEmptySlot(bank[s])) {
        EXPECT_EQ(v->FBank[s], banks::EmptySlot) << "slot " << s;
      } else {
        ++recorded;
        EXPECT_TRUE(v->FBank[s] == TORVHumanVoices::Resample(bank[s], speed)) << "slot " << s;
        EXPECT_TRUE(v->FBank[s] != bank[s]) << "slot " << s;
      }
    }
  }
  EXPECT_GT(recorded, 50);
  EXPECT_TRUE(banks::IsEmptySlot(v->FBank[0]));
}

TEST_F(Loading, ALoadDiscardsChangesMadeInPlace) {
  v->LoadVoice(0, 0, 0);
  const std::string original = v->FBank[7];
  v->FBank[7] = SampleBytes({1, 2, 3});
  v->LoadVoice(0, 0, 0);
  EXPECT_TRUE(v->FBank[7] == original);
}

TEST_F(Loading, TrebleAndBassAreStoredNegated) {
  struct Case {
    std::int16_t treble, bass, fTreble, fBass;
  } cases[] = {{-4, -2, 4, 2}, {0, 0, 0, 0}, {-1, -3, 1, 3}, {-32768, 5, -32768, -5}};
  for (const Case& c : cases) {
    v->LoadVoice(0, c.treble, c.bass);
    EXPECT_EQ(v->FSettings.Treble, c.fTreble) << c.treble;
    EXPECT_EQ(v->FSettings.Bass, c.fBass) << c.bass;
  }
}

}  // namespace
