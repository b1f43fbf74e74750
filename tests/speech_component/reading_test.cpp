// The reading: Speak, Stop and the timer's ticks, with real synthesis and SDL's disk sound
// driver, which writes what reaches the device to a file. The test drives the timer clock
// and serves the synthesis calls itself, as the message loop would.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "banks/VoiceBanks.h"
#include "platform/audio/Mci.h"
#include "platform/core/Beep.h"
#include "platform/core/MainLoop.h"
#include "platform/core/Timer.h"
#include "speech/RUZIZ.h"
#include "tests/support/ConstrainedFolder.h"
#include "tests/support/Files.h"
#include "tests/support/ServeLoop.h"
#include "tests/support/Wav.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testsupport::ReadFile;

namespace {

constexpr std::int32_t Follow = TORVHumanVoices::FollowCaretOn;
constexpr std::int32_t Stay = TORVHumanVoices::FollowCaretOff;

// What one synthesis thread was given, seen before its synthesis ran, and what it wrote.
struct Synthesis {
  std::string sentence;
  int caret = 0;  // the caret when the synthesis started
  std::uint32_t rate = 0;
  std::int16_t pitch = 0, compressor = 0, volume = 0, voicingAmp = 0;
  std::uint16_t speed = 0, timbre = 0, reverb = 0, treble = 0;
  SlotArray bank;
  bool wroteFile = false;
  std::string wav;
};

std::uint32_t HeaderRate(const std::string& wav) { return testsupport::U32(wav, 24); }

class Reading : public testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heardFile.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);  // plays far faster than real time
    setenv("TEMP", dir.path.c_str(), 1);
    v = std::make_unique<TORVHumanVoices>(nullptr);
    v->SetSampleRate(8000);
    v->LoadVoice(0, 0, 0);
    SetReadingCaret({[this] { return caret; }, [this](int p) { caret = p; }});
    platform::SetMciObserver([this](platform::MCIDEVICEID, platform::UINT command,
                                    platform::DWORD_PTR, const void* p) {
      if (command != platform::MCI_OPEN) return;
      // The previous device has been closed: its sound is all in the capture file.
      if (!opened.empty()) heard.push_back(ReadFile(heardFile));
      opened.push_back(ReadFile(static_cast<const platform::MCI_OPEN_PARMS*>(p)->lpstrElementName));
      if (onOpen) onOpen();
    });
  }
  void TearDown() override {
    platform::SetMciObserver(nullptr);
    SetReadingCaret({});
    v.reset();
    unsetenv("TEMP");
  }

  // Serves a pending synthesis as the message loop would, after onSynthesis has seen it.
  void ServeSynthesis() {
    if (!v->FThread || (*v->FThread)->Terminated()) return;
    TCreateVoice& t = **v->FThread;
    Synthesis s;
    s.sentence = t.FSentence;
    s.caret = caret;
    s.rate = t.FSampleRate;
    s.pitch = t.FPitch;
    s.compressor = t.FCompressor;
    s.volume = t.FVolume;
    s.voicingAmp = t.FVoicingAmp;
    s.speed = t.FSpeed;
    s.timbre = t.FTimbre;
    s.reverb = t.FReverb;
    s.treble = t.FTreble;
    s.bank = t.FBank;
    if (onSynthesis) onSynthesis(syntheses.size(), t);
    ASSERT_TRUE(
        testsupport::ServeMainLoopUntil([&] { return t.Terminated(); }, std::chrono::seconds(20)))
        << "synthesis never ran";
    s.wroteFile = fs::exists(v->FWavFile);
    if (s.wroteFile) s.wav = ReadFile(v->FWavFile);
    syntheses.push_back(std::move(s));
    if (afterSynthesis) afterSynthesis(syntheses.size() - 1);
  }

  // One period of the timer clock and what the message loop serves after it.
  void Step(unsigned ms = 200) {
    platform::ManualTimers::Advance(ms);
    ServeSynthesis();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  void ReadToTheEnd() {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (v->FTimer->Running()) {
      ASSERT_LT(Clock::now(), deadline) << "the reading does not end";
      Step();
    }
  }

  std::vector<std::string> Sentences() const {
    std::vector<std::string> out;
    for (const Synthesis& s : syntheses) out.push_back(s.sentence);
    return out;
  }
  std::vector<int> Carets() const {
    std::vector<int> out;
    for (const Synthesis& s : syntheses) out.push_back(s.caret);
    return out;
  }
  // Which synthesis wrote each file that the player opened (-1: none of them).
  std::vector<int> OpenedSyntheses() const {
    std::vector<int> out;
    for (const std::string& file : opened) {
      int which = -1;
      for (std::size_t k = 0; k < syntheses.size(); ++k)
        if (syntheses[k].wroteFile && syntheses[k].wav == file) which = static_cast<int>(k);
      out.push_back(which);
    }
    return out;
  }
  void Forget() {
    syntheses.clear();
    opened.clear();
    heard.clear();
  }

  // The device got the file's samples, then nothing but silence. Silence before them (the
  // driver may run a period before the play starts) does not count.
  static void ExpectHeard(const std::string& got, const std::string& wav) {
    ASSERT_GT(wav.size(), 44u);
    auto skipSilence = [](const std::string& s, std::size_t from) {
      const std::size_t p = s.find_first_not_of('\0', from);
      return p == std::string::npos ? s.size() : p;
    };
    const std::size_t heardFrom = skipSilence(got, 0);
    const std::size_t wavFrom = skipSilence(wav, 44);
    const std::string sound = wav.substr(wavFrom);
    ASSERT_FALSE(sound.empty());
    ASSERT_GE(got.size() - heardFrom, sound.size());
    EXPECT_TRUE(got.compare(heardFrom, sound.size(), sound) == 0);
    EXPECT_EQ(got.find_first_not_of('\0', heardFrom + sound.size()), std::string::npos);
  }

  testsupport::TempDir dir{"speech"};
  std::string heardFile = dir.File("heard.raw");
  std::unique_ptr<TORVHumanVoices> v;
  int caret = 0;
  std::function<void(std::size_t index, TCreateVoice&)> onSynthesis;
  // After a synthesis has written its file, before the next tick looks at it.
  std::function<void(std::size_t index)> afterSynthesis;
  // As the player opens a file, before the device reads it.
  std::function<void()> onOpen;
  std::vector<Synthesis> syntheses;
  std::vector<std::string> opened;  // the file's content at each open, in order
  std::vector<std::string> heard;   // what each opened device played
};

TEST_F(Reading, ThreeSentencesAreSynthesisedPlayedAndFollowedInOrder) {
  caret = 40;
  v->Speak("Uno dos. Tres cuatro\r\nCinco", 5, 71, 80, Follow);
  ReadToTheEnd();

  EXPECT_EQ(Sentences(), (std::vector<std::string>{"Uno dos. ", "Tres cuatro\r", "Cinco"}));
  // As each synthesis starts the caret moves onto the first character of the next sentence
  // (past the LF of a line end); after the last, to the end.
  EXPECT_EQ(Carets(), (std::vector<int>{49, 62, 67}));
  ASSERT_EQ(syntheses.size(), 3u);
  std::vector<std::string> wavs;
  for (const Synthesis& s : syntheses) {
    ASSERT_TRUE(s.wroteFile) << s.sentence;
    wavs.push_back(s.wav);
  }
  EXPECT_TRUE(wavs[0] != wavs[1]);
  EXPECT_TRUE(wavs[1] != wavs[2]);
  EXPECT_EQ(OpenedSyntheses(), (std::vector<int>{0, 1, 2}));

  // The end leaves the last file and the device; only the timer stops.
  EXPECT_FALSE(v->FTimer->Running());
  EXPECT_EQ(v->FTimer->Interval(), 0u);
  EXPECT_FALSE(v->FTimer->OnTimer());
  EXPECT_TRUE(ReadFile(v->FWavFile) == wavs[2]);
  EXPECT_NE(v->FPlayer->FDeviceID, 0);
  EXPECT_NE(v->FThread, nullptr);

  v->Stop();
  EXPECT_EQ(v->FPlayer->FDeviceID, 0);
  EXPECT_FALSE(fs::exists(v->FWavFile));
  EXPECT_EQ(v->FThread, nullptr);
  heard.push_back(ReadFile(heardFile));
  ASSERT_EQ(heard.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    ExpectHeard(heard[k], wavs[k]);
  }
}

TEST_F(Reading, SentencesAreCutAndTheCaretFollows) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> sentences;
    std::vector<int> carets;  // from 0
  } cases[] = {
      {"two sentences and a line end", "Hola. Adios\r\n", {"Hola. ", "Adios\r"}, {6, 13}},
      // After either kind of cut the caret stands on the next sentence's first letter, so
      // that Escape and Enter on "Leer" resume there.
      {"full stops", "Uno. Dos. Tres.", {"Uno. ", "Dos. ", "Tres."}, {5, 10, 15}},
      {"full stop, then line end", "Uno. Dos\r\nTres", {"Uno. ", "Dos\r", "Tres"}, {5, 10, 14}},
      {"two sentences, no line end", "Hola. Adios", {"Hola. ", "Adios"}, {6, 11}},
      {"accented capital", "Hola. \xC1rbol", {"Hola. ", "\xC1rbol"}, {6, 11}},
      {"abbreviation in capitals", "Vino la ONU. Luego", {"Vino la ONU. Luego"}, {18}},
      {"inverted question mark", "Hola. \xBFQu\xE9?", {"Hola. \xBFQu\xE9?"}, {11}},
      {"capital N with tilde", "Hola. \xD1u", {"Hola. \xD1u"}, {8}},
      {"digit", "Hola. 3 veces", {"Hola. 3 veces"}, {13}},
      {"two blanks", "Hola.  Adios", {"Hola.  Adios"}, {12}},
      {"three lines", "uno\r\ndos\r\ntres", {"uno\r", "dos\r", "tres"}, {5, 10, 14}},
      {"two empty lines folded", "uno\r\n\r\n\r\ndos", {"uno    \r", "dos"}, {9, 12}},
      // Control bytes that the cuts skip are passed over by the caret too, so that it does
      // not fall behind line by line.
      {"indented lines", "Uno\r\n\tDos\r\n\tTres", {"Uno\r", "Dos\r", "Tres"}, {6, 12, 16}},
      {"a line end first", "\r\nUno\r\nDos", {"Uno\r", "Dos"}, {7, 10}},
      {"trailing line end", "Fin\r\n", {"Fin\r"}, {5}},
      {"one letter", "a", {"a"}, {1}},
      {"one digit", "7", {"7"}, {1}},
      {"empty text", "", {}, {}},
      // A sentence with nothing to say is passed over (the caret still moves past it).
      {"a row of hyphens", "Uno\r\n-----\r\nDos", {"Uno\r", "Dos"}, {5, 15}},
      {"a line of blanks", "Uno\r\n   \r\nDos\r\n", {"Uno\r", "Dos\r"}, {5, 15}},
      {"full stops, then more", "...\r\nUno. Dos", {"Uno. ", "Dos"}, {10, 13}},
      {"nothing to say at the end", "Uno\r\n---", {"Uno\r"}, {5}},
      {"nothing to say at all", "- - -", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Forget();
    caret = 0;
    v->Speak(c.text, 5, 71, 80, Follow);
    ReadToTheEnd();
    EXPECT_EQ(Sentences(), c.sentences);
    EXPECT_EQ(Carets(), c.carets);
    for (const Synthesis& s : syntheses) EXPECT_TRUE(s.wroteFile) << s.sentence;
    std::vector<int> all;
    for (std::size_t k = 0; k < c.sentences.size(); ++k) all.push_back(static_cast<int>(k));
    EXPECT_EQ(OpenedSyntheses(), all);
  }
}

TEST_F(Reading, AnEmptyTextEndsAtTheFirstTick) {
  v->Speak("", 5, 71, 80, Follow);
  EXPECT_TRUE(v->FTimer->Running());
  platform::ManualTimers::Advance(9);
  EXPECT_TRUE(v->FTimer->Running());
  platform::ManualTimers::Advance(1);
  EXPECT_FALSE(v->FTimer->Running());
  EXPECT_EQ(v->FThread, nullptr);
  EXPECT_EQ(caret, 0);
}

TEST_F(Reading, TicksComeAfter10MsThenEvery200) {
  v->Speak("Uno\r\nDos", 5, 71, 80, Stay);
  platform::ManualTimers::Advance(10);
  ASSERT_NE(v->FThread, nullptr);  // the first sentence starts at once
  EXPECT_EQ(v->FTimer->Interval(), 200u);
  ServeSynthesis();
  ASSERT_TRUE(fs::exists(v->FWavFile));
  platform::ManualTimers::Advance(199);
  EXPECT_TRUE(opened.empty());
  platform::ManualTimers::Advance(1);
  EXPECT_EQ(opened.size(), 1u);  // the file ready is handed to the player
  EXPECT_EQ(caret, 0);           // an announcement does not move the caret
}

TEST_F(Reading, ASentenceThatEndsWithoutItsFileStopsTheReadingThere) {
  const std::string text = "Uno\r\nDos. Tres";
  const std::vector<std::string> sentences{"Uno\r", "Dos. ", "Tres"};
  const int starts[] = {0, 5, 10};
  // Speed 0 makes the engine fail: no file for that sentence.
  for (std::size_t failing = 0; failing < 3; ++failing) {
    SCOPED_TRACE(failing);
    Forget();
    caret = 0;
    onSynthesis = [failing](std::size_t index, TCreateVoice& t) {
      if (index == failing) t.FSpeed = 0;
    };
    const int beeps = platform::BeepCount();
    v->Speak(text, 5, 71, 80, Follow);
    ReadToTheEnd();
    ASSERT_EQ(Sentences(),
              std::vector<std::string>(sentences.begin(), sentences.begin() + failing + 1));
    EXPECT_FALSE(syntheses.back().wroteFile);
    std::vector<int> played;
    for (std::size_t k = 0; k < failing; ++k) played.push_back(static_cast<int>(k));
    EXPECT_EQ(OpenedSyntheses(), played);  // never the previous sentence's file again
    EXPECT_EQ(platform::BeepCount() - beeps, 1);
    EXPECT_EQ(caret, starts[failing]);
    EXPECT_FALSE(v->FTimer->Running());

    // The next reading from the caret tries that sentence again.
    Forget();
    onSynthesis = nullptr;
    v->Speak(text.substr(static_cast<std::size_t>(caret)), 5, 71, 80, Follow);
    ReadToTheEnd();
    EXPECT_EQ(Sentences(), std::vector<std::string>(sentences.begin() + failing, sentences.end()));
    for (const Synthesis& s : syntheses) EXPECT_TRUE(s.wroteFile) << s.sentence;
    EXPECT_EQ(platform::BeepCount() - beeps, 1);
  }
}

// The folder of the WAV file stops taking files during a reading: mounted read-only, or its
// disk filled up.
TEST_F(Reading, AFolderThatTakesNoMoreFilesStopsTheReadingWithABeep) {
  int tried = 0;
  for (auto kind :
       {testsupport::ConstrainedFolder::ReadOnly, testsupport::ConstrainedFolder::Full}) {
    SCOPED_TRACE(kind == testsupport::ConstrainedFolder::Full ? "full" : "read-only");
    testsupport::ConstrainedFolder folder(dir.path / ("folder" + std::to_string(kind)), kind);
    if (!folder.Available()) continue;
    ++tried;
    setenv("TEMP", folder.Path().c_str(), 1);
    v = std::make_unique<TORVHumanVoices>(nullptr);
    v->SetSampleRate(8000);
    v->LoadVoice(0, 0, 0);
    ASSERT_EQ(fs::path(v->FWavFile).parent_path(), fs::path(folder.Path()));

    // The last reading's file stays; once the folder is read-only Stop cannot delete it.
    v->Speak("Cero", 5, 71, 80, Stay);
    ReadToTheEnd();
    ASSERT_TRUE(fs::exists(v->FWavFile));
    folder.Constrain();
    Forget();
    caret = 0;
    const int beeps = platform::BeepCount();
    v->Speak("Uno\r\nDos", 5, 71, 80, Follow);
    ReadToTheEnd();
    ASSERT_EQ(Sentences(), (std::vector<std::string>{"Uno\r"}));
    EXPECT_TRUE(opened.empty());  // nor the old reading's file
    EXPECT_EQ(platform::BeepCount() - beeps, 1);
    EXPECT_EQ(caret, 0);
    EXPECT_FALSE(v->FTimer->Running());

    folder.Release();
    Forget();
    v->Speak("Uno\r\nDos", 5, 71, 80, Follow);
    ReadToTheEnd();
    EXPECT_EQ(Sentences(), (std::vector<std::string>{"Uno\r", "Dos"}));
    EXPECT_EQ(OpenedSyntheses(), (std::vector<int>{0, 1}));
    v.reset();  // before the folder goes
  }
  if (tried == 0) GTEST_SKIP() << "no folder could be made unwritable here";
}

// What stands at the WAV file's name when a sentence's synthesis has ended need not be the
// file that it wrote: the name is shared with anyone who uses the same folder. The reading
// plays only its own file; for anything else it stops at that sentence, once, with a beep.
TEST_F(Reading, OnlyTheFileThatTheSynthesisWroteIsPlayed) {
  const std::string foreign = dir.File("foreign.wav");
  auto another = [&] {
    // Another copy's sentence: a good WAV file of its own.
    TORVHumanVoices other(nullptr);
    other.SetSampleRate(11025);
    other.LoadVoice(0, 0, 0);
    other.FSettings.Speed = 5;
    other.FSettings.Pitch = 71;
    other.FSettings.Volume = 80;
    auto t = std::make_unique<platform::ThreadHandle<TCreateVoice>>();
    (*t)->FSentence = "Otra cosa.";
    SetUpSynthesis(**t, other.FSettings, other.FBank, foreign);
    t->Start();
    ASSERT_TRUE(testsupport::ServeMainLoopUntil([&] { return (*t)->Terminated(); },
                                                std::chrono::seconds(20)));
  };
  auto keepingItsIdentity = [](const std::string& path, const std::function<void()>& change) {
    const auto written = fs::last_write_time(path);
    change();
    fs::last_write_time(path, written);
  };
  struct Case {
    const char* what;
    std::function<void(const std::string& wav)> change;
    int opens;  // devices asked for the sentence's file
  } cases[] = {
      {"deleted", [](const std::string& wav) { fs::remove(wav); }, 0},
      {"another copy's sentence moved over it",
       [&](const std::string& wav) {
         another();
         fs::rename(foreign, wav);
       },
       0},
      {"garbage moved over it",
       [&](const std::string& wav) {
         testsupport::WriteFile(foreign, std::string(fs::file_size(wav), 'x'));
         fs::rename(foreign, wav);
       },
       0},
      {"rewritten in place",
       [&](const std::string& wav) {
         const std::string old = ReadFile(wav);
         testsupport::WriteFile(wav, old.substr(0, old.size() - 2) + "xx");
       },
       0},
      {"a folder in its place",
       [](const std::string& wav) {
         fs::remove(wav);
         fs::create_directory(wav);
       },
       0},
      {"a link to it",
       [&](const std::string& wav) {
         fs::rename(wav, foreign);
         fs::create_symlink(foreign, wav);
       },
       0},
      // The file is this synthesis's own, but the player cannot open it: it beeps itself.
      {"spoilt in place, the player refuses it",
       [&](const std::string& wav) {
         keepingItsIdentity(wav, [&] {
           std::fstream f(wav, std::ios::in | std::ios::out | std::ios::binary);
           f.write("NOT A WAVE FILE", 15);
         });
       },
       1},
  };
  for (const Case& c : cases) {
    for (std::size_t failing : {0u, 1u}) {
      SCOPED_TRACE(std::string(c.what) + ", sentence " + std::to_string(failing));
      Forget();
      caret = 0;
      afterSynthesis = [&](std::size_t index) {
        if (index == failing) c.change(v->FWavFile);
      };
      const int beeps = platform::BeepCount();
      v->Speak("Uno\r\nDos\r\nTres", 5, 71, 80, Follow);
      ReadToTheEnd();
      afterSynthesis = nullptr;
      // Never passed over: the reading stops at that sentence, with the caret at its start.
      EXPECT_EQ(syntheses.size(), failing + 1);
      EXPECT_EQ(caret, failing == 0 ? 0 : 5);
      std::vector<int> played;
      for (std::size_t k = 0; k < failing; ++k) played.push_back(static_cast<int>(k));
      for (int k = 0; k < c.opens; ++k) played.push_back(-1);
      EXPECT_EQ(OpenedSyntheses(), played);
      if (failing == 1) ExpectHeard(ReadFile(heardFile), syntheses[0].wav);
      EXPECT_EQ(platform::BeepCount() - beeps, 1);
      // Once: no tick comes back to it.
      platform::ManualTimers::Advance(2000);
      EXPECT_EQ(platform::BeepCount() - beeps, 1);
      EXPECT_EQ(opened.size(), played.size());
      EXPECT_EQ(v->FPlayer->FDeviceID, 0);

      std::error_code ec;
      if (fs::is_directory(v->FWavFile)) fs::remove(v->FWavFile, ec);
      // The next reading from the caret reads on from there.
      Forget();
      v->Speak(std::string("Uno\r\nDos\r\nTres").substr(static_cast<std::size_t>(caret)), 5, 71, 80,
               Follow);
      ReadToTheEnd();
      EXPECT_EQ(syntheses.size(), 3 - failing);
      EXPECT_EQ(OpenedSyntheses().size(), 3 - failing);
      EXPECT_EQ(platform::BeepCount() - beeps, 1);
      fs::remove(foreign, ec);
    }
  }
}

// The player opens the file by its name: a file put there between the check and the open is
// not played either.
TEST_F(Reading, AFileReplacedAsThePlayerOpensItIsNotPlayed) {
  const std::string foreign = dir.File("foreign.wav");
  onOpen = [&] {
    onOpen = nullptr;
    testsupport::WriteFile(foreign, ReadFile(v->FWavFile));
    fs::rename(foreign, v->FWavFile);
  };
  const int beeps = platform::BeepCount();
  v->Speak("Uno\r\nDos", 5, 71, 80, Follow);
  ReadToTheEnd();
  EXPECT_EQ(Sentences(), (std::vector<std::string>{"Uno\r"}));
  EXPECT_EQ(v->FPlayer->FDeviceID, 0);  // closed again at once
  EXPECT_EQ(platform::BeepCount() - beeps, 1);
  EXPECT_EQ(caret, 0);
}

// Two copies of the program whose TEMP is the same folder write the same file name. Neither
// speaks the other's sentence: the copy whose file was replaced stops with a beep.
TEST_F(Reading, TwoCopiesSharingTheFolderNeverSpeakEachOthersSentences) {
  TORVHumanVoices other(nullptr);
  ASSERT_EQ(other.FWavFile, v->FWavFile);
  other.SetSampleRate(11025);  // tells the two copies' files apart
  other.LoadVoice(0, 0, 0);
  TORVHumanVoices* copies[2] = {v.get(), &other};
  const std::uint32_t rateOf[2] = {8000, 11025};
  int ticking = -1;
  std::vector<int> opensBy[2];  // the copy whose file each player opened
  platform::SetMciObserver(
      [&](platform::MCIDEVICEID, platform::UINT command, platform::DWORD_PTR, const void* p) {
        if (command != platform::MCI_OPEN) return;
        const std::uint32_t rate =
            HeaderRate(ReadFile(static_cast<const platform::MCI_OPEN_PARMS*>(p)->lpstrElementName));
        opensBy[ticking].push_back(rate == rateOf[0] ? 0 : rate == rateOf[1] ? 1 : -1);
      });
  const int beeps = platform::BeepCount();
  v->Speak("Uno\r\nDos\r\nTres", 5, 71, 80, Stay);
  other.Speak("Cuatro\r\nCinco\r\nSeis", 5, 71, 80, Stay);
  auto done = [&](TORVHumanVoices* c) { return !c->FThread || (*c->FThread)->Terminated(); };
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  // Both tick in turn, as two programs' timers would; each serves the other's synthesis.
  while (v->FTimer->Running() || other.FTimer->Running()) {
    ASSERT_LT(Clock::now(), deadline) << "the readings do not end";
    for (ticking = 0; ticking < 2; ++ticking)
      if (copies[ticking]->FTimer->Running()) copies[ticking]->TimerTick(nullptr);
    ASSERT_TRUE(testsupport::ServeMainLoopUntil([&] { return done(v.get()) && done(&other); },
                                                std::chrono::seconds(20)));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  // The first two sentences were written one over the other: the copy that wrote first
  // stopped there, and the other read all of its own.
  EXPECT_EQ(platform::BeepCount() - beeps, 1);
  const int reader = opensBy[0].empty() ? 1 : 0;
  EXPECT_EQ(opensBy[reader], std::vector<int>(3, reader));
  EXPECT_TRUE(opensBy[1 - reader].empty());
}

TEST_F(Reading, StopSilencesAtOnceAndDeletesTheFile) {
  unsetenv("SDL_DISKAUDIODELAY");  // the device plays at its real pace
  // Several seconds of speech, so that a busy machine still stops it halfway.
  v->Speak(
      "Hola a todos los amigos de la casa y de la calle, de la plaza y del barrio entero, "
      "que vinieron a vernos esta tarde de verano",
      5, 71, 80, Follow);
  const auto deadline = Clock::now() + std::chrono::seconds(60);
  while (v->FPlayer->GetMode() != pmPlaying) {
    ASSERT_LT(Clock::now(), deadline);
    Step();
  }
  ASSERT_EQ(syntheses.size(), 1u);
  // Some of the sound has reached the device.
  while (!fs::exists(heardFile) || fs::file_size(heardFile) == 0) {
    ASSERT_LT(Clock::now(), deadline);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(v->FPlayer->GetMode(), pmPlaying);

  v->Stop();
  EXPECT_NE(v->FPlayer->GetMode(), pmPlaying);
  EXPECT_EQ(v->FPlayer->FDeviceID, 0);
  EXPECT_FALSE(fs::exists(v->FWavFile));
  EXPECT_FALSE(v->FTimer->Running());
  EXPECT_EQ(v->FThread, nullptr);
  const auto heardAtStop = fs::file_size(heardFile);
  EXPECT_GT(heardAtStop, 0u);
  EXPECT_LT(heardAtStop, syntheses[0].wav.size() - 44);  // cut off, not played out
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(fs::file_size(heardFile), heardAtStop);
  platform::ManualTimers::Advance(1000);
  EXPECT_EQ(opened.size(), 1u);
}

TEST_F(Reading, StopDuringASynthesisLetsItFinishAndDeletesItsFile) {
  v->Speak("Uno\r\nDos", 5, 71, 80, Follow);
  platform::ManualTimers::Advance(10);
  ASSERT_NE(v->FThread, nullptr);
  v->Stop();
  EXPECT_EQ(v->FThread, nullptr);
  EXPECT_FALSE(fs::exists(v->FWavFile));
  EXPECT_FALSE(v->FTimer->Running());
  platform::MainLoop::ServePending();  // what was posted is served already: nothing happens
  platform::ManualTimers::Advance(1000);
  EXPECT_TRUE(opened.empty());
}

TEST_F(Reading, SettingsChangedDuringAReadingCountFromTheNextSentence) {
  const SlotArray firstBank = v->FBank;
  onSynthesis = [this](std::size_t index, TCreateVoice&) {
    if (index != 0) return;
    v->SetSampleRate(11025);
    v->SetPitch(200);
    v->SetCompressor(2);
    v->SetTimbre(3);
    v->SetReverb(1);
    v->SetAnalogSpeed(12);
    v->LoadVoice(20, -3, -4);
  };
  v->Speak("Uno. Dos", 5, 71, 80, Stay);
  ReadToTheEnd();
  ASSERT_EQ(syntheses.size(), 2u);
  const Synthesis& a = syntheses[0];
  const Synthesis& b = syntheses[1];
  EXPECT_EQ(a.rate, 8000u);
  EXPECT_EQ(a.pitch, 71);
  EXPECT_EQ(a.compressor, 0);
  EXPECT_EQ(a.timbre, 0);
  EXPECT_EQ(a.reverb, 0);
  EXPECT_EQ(a.treble, 0);
  EXPECT_EQ(a.voicingAmp, 12800);
  EXPECT_TRUE(a.bank == firstBank);
  // The first synthesis ran after the change, on its own copies.
  ASSERT_TRUE(a.wroteFile);
  EXPECT_EQ(HeaderRate(a.wav), 8000u);

  EXPECT_EQ(b.rate, 11025u);
  EXPECT_EQ(b.pitch, 200);
  EXPECT_EQ(b.compressor, 2);
  EXPECT_EQ(b.timbre, 3);
  EXPECT_EQ(b.reverb, 1);
  EXPECT_EQ(b.treble, 3);
  EXPECT_EQ(b.voicingAmp, 1536);
  EXPECT_TRUE(b.bank == v->FBank);
  EXPECT_TRUE(b.bank != firstBank);
  ASSERT_TRUE(b.wroteFile);
  EXPECT_EQ(HeaderRate(b.wav), 11025u);
  for (const Synthesis& s : syntheses) {
    EXPECT_EQ(s.speed, 5);
    EXPECT_EQ(s.volume, 80);
  }

  // Speed, volume and pitch come with the next speak.
  onSynthesis = nullptr;
  Forget();
  v->Speak("Tres", 7, 90, 50, Stay);
  ReadToTheEnd();
  ASSERT_EQ(syntheses.size(), 1u);
  EXPECT_EQ(syntheses[0].speed, 7);
  EXPECT_EQ(syntheses[0].pitch, 90);
  EXPECT_EQ(syntheses[0].volume, 50);
}

TEST_F(Reading, TheBassCutSetsTheVoicingStrength) {
  SetReadingCaret({});  // no window: a following reading moves nothing
  struct Case {
    std::int16_t bass;  // as the list gives it
    std::int16_t amp;
  } cases[] = {{0, 12800}, {-1, 9984}, {-2, 7168}, {-3, 4352}, {-4, 1536}, {-5, 12800}, {1, 12800}};
  for (const Case& c : cases) {
    Forget();
    v->LoadVoice(0, 0, c.bass);
    v->Speak("a", 5, 71, 80, Follow);
    platform::ManualTimers::Advance(10);
    ServeSynthesis();
    ASSERT_EQ(syntheses.size(), 1u) << c.bass;
    EXPECT_EQ(syntheses[0].voicingAmp, c.amp) << c.bass;
    v->Stop();
  }
  EXPECT_EQ(caret, 0);
}

}  // namespace
