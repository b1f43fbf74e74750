#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "banks/SlotTable.h"
#include "platform/core/MainLoop.h"
#include "platform/core/Random.h"
#include "speech/SpeechSettings.h"
#include "speech/SynthesisSteps.h"
#include "tests/engine/SampleFixture.h"
#include "tests/support/ServeLoop.h"
#include "tests/support/WavCheck.h"

using namespace enginetest;
namespace fs = std::filesystem;

namespace {
// A small synthetic voice: one sine period in the vowel and l, m, n slots, a buzz of 600
// samples in every other slot; slot 0 and the vowel variants empty.
SlotArray SyntheticBank() {
  SlotArray bank;
  bank.fill(banks::EmptySlot);
  std::vector<int> sine;
  for (int i = 0; i < 180; ++i)
    sine.push_back(static_cast<int>(std::lround(9000 * std::sin(6.2831853 * i / 180))));
  auto buzz = [](int slot) {
    std::vector<int> rec;
    for (int i = 0; i < 600; ++i) rec.push_back(((i * 37 + slot * 11) % 200 - 100) * 20);
    return SampleBytes(rec);
  };
  for (const banks::SlotRow& row : banks::SlotTable) {
    bank[static_cast<std::size_t>(row.base)] =
        row.IsPeriodic() ? SampleBytes(sine) : buzz(row.base);
    if (row.kind == banks::SlotKind::Vowel || !row.HasVariants()) continue;
    for (int slot : row.variants) bank[static_cast<std::size_t>(slot)] = buzz(slot);
  }
  return bank;
}

struct Engine : TCreateVoice {};

void Configure(TCreateVoice& v, const std::string& sentence, std::uint32_t rate,
               const fs::path& file) {
  const SpeechSettings s{
      .SampleRate = static_cast<std::int32_t>(rate), .Pitch = 71, .Speed = 5, .Volume = 80};
  v.FSentence = sentence;
  SetUpSynthesis(v, s, SyntheticBank(), file.string());
}

std::vector<std::string> DirEntries(const fs::path& d) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(d)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Windows-1252, as the engine reads it.
const char* const Sentence =
    "Hola, buenos d\xED"
    "as a todos.";
}  // namespace

TEST(Driver, SentenceBecomesAWaveFileWhoseHeaderMatchesIt) {
  const testsupport::TempDir temp{"driver"};
  const fs::path& dir = temp.path;
  struct Case {
    std::uint32_t rate;
    std::size_t dataBytes = 0;
  } cases[] = {{22050}, {11025}, {8000}};
  for (Case& c : cases) {
    const fs::path file = dir / ("s" + std::to_string(c.rate) + ".wav");
    Engine v;
    Configure(v, Sentence, c.rate, file);
    platform::RandSeed(99);
    v.Synthesize();
    EXPECT_TRUE(v.Terminated());
    EXPECT_EQ(v.WaveStream, nullptr);
    EXPECT_EQ(v.FPhoneStream, nullptr);
    const std::string wav = ReadFile(file);
    ASSERT_GT(wav.size(), 44u + 2000u) << c.rate;
    EXPECT_TRUE(testsupport::IsMonoPcmWave(wav, c.rate));
    // The volume step comes last: both peaks at 80 % of full scale (26213.6 rounded).
    std::vector<int> s = Samples(wav, 44);
    EXPECT_EQ(*std::max_element(s.begin(), s.end()), 26214) << c.rate;
    EXPECT_EQ(*std::min_element(s.begin(), s.end()), -26214) << c.rate;
    c.dataBytes = wav.size() - 44;
  }
  // The lower rates keep every second and every third sample of the same rendering.
  const double full = static_cast<double>(cases[0].dataBytes / 2);
  EXPECT_NEAR(static_cast<double>(cases[1].dataBytes / 2), full / 2, 1.0);
  EXPECT_NEAR(static_cast<double>(cases[2].dataBytes / 2), full / 3, 1.0);
}

TEST(Driver, SameSeedSameFile) {
  const testsupport::TempDir temp{"driver"};
  const fs::path& dir = temp.path;
  std::string files[2];
  for (int k = 0; k < 2; ++k) {
    Engine v;
    Configure(v,
              "\xBF"
              "Qu\xE9 tal est\xE1 usted, se\xF1or P\xE9rez?",
              22050, dir / "same.wav");
    v.FTimbre = 9;  // draws a random weight in every period
    platform::RandSeed(5);
    v.Synthesize();
    files[k] = ReadFile(dir / "same.wav");
  }
  EXPECT_GT(files[0].size(), 44u);
  EXPECT_EQ(files[0], files[1]);
}

TEST(Driver, EmptySentenceWritesNothing) {
  const testsupport::TempDir temp{"driver"};
  const fs::path& dir = temp.path;
  Engine v;
  Configure(v, "", 22050, dir / "empty.wav");
  v.Synthesize();
  EXPECT_TRUE(v.Terminated());
  EXPECT_FALSE(fs::exists(dir / "empty.wav"));
  EXPECT_EQ(v.WaveStream, nullptr);
  EXPECT_EQ(v.ReverseScratch, nullptr);
}

TEST(Driver, FailureLeavesThePreviousFileAsItWas) {
  struct Case {
    const char* name;
    bool targetIsDirectory;
    int speed;
  };
  const Case cases[] = {
      {"a stage fails (speed 0 divides by zero)", false, 0},
      {"the file cannot be written (a directory stands there)", true, 5},
  };
  for (const Case& c : cases) {
    const testsupport::TempDir temp{"driver"};
    const fs::path& dir = temp.path;
    const fs::path target = dir / "out.wav";
    if (c.targetIsDirectory) {
      fs::create_directory(target);
      std::ofstream(target / "keep") << "kept";
    } else {
      std::ofstream(target, std::ios::binary) << "previous sentence";
    }
    Engine v;
    Configure(v, Sentence, 22050, target);
    v.FSpeed = static_cast<std::uint16_t>(c.speed);
    v.Synthesize();
    EXPECT_TRUE(v.Terminated()) << c.name;
    EXPECT_EQ(v.WaveStream, nullptr) << c.name;
    EXPECT_EQ(v.FPhoneStream, nullptr) << c.name;
    if (c.targetIsDirectory)
      EXPECT_EQ(ReadFile(target / "keep"), "kept") << c.name;
    else
      EXPECT_EQ(ReadFile(target), "previous sentence") << c.name;
    EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"out.wav"}) << c.name;  // no scratch
  }
}

TEST(Driver, MissingFolderIsASilentFailure) {
  const testsupport::TempDir temp{"driver"};
  const fs::path& dir = temp.path;
  Engine v;
  Configure(v, Sentence, 22050, dir / "no" / "such" / "out.wav");
  v.Synthesize();
  EXPECT_TRUE(v.Terminated());
  EXPECT_FALSE(fs::exists(dir / "no"));
}

TEST(Driver, ALinkAtTheTargetIsReplacedNotFollowed) {
  const testsupport::TempDir temp{"driver"};
  const fs::path& dir = temp.path;
  const fs::path victim = dir / "victim.txt";
  std::ofstream(victim) << "do not touch";
  fs::create_symlink(victim, dir / "out.wav");
  Engine v;
  Configure(v, Sentence, 22050, dir / "out.wav");
  v.Synthesize();
  EXPECT_EQ(ReadFile(victim), "do not touch");
  EXPECT_FALSE(fs::is_symlink(dir / "out.wav"));
  EXPECT_EQ(ReadFile(dir / "out.wav").substr(0, 4), "RIFF");
  EXPECT_EQ(DirEntries(dir), (std::vector<std::string>{"out.wav", "victim.txt"}));
}

TEST(Driver, TheThreadHandsTheSynthesisToTheMainLoop) {
  using namespace std::chrono_literals;
  platform::MainLoop::MarkMainThread();
  const testsupport::TempDir temp{"driver"};
  const fs::path& dir = temp.path;
  {
    // Built, filled, then started: the synthesis waits for the main loop.
    platform::ThreadHandle<TCreateVoice> t;
    Configure(*t, Sentence, 11025, dir / "thread.wav");
    t.Start();
    testsupport::ServeMainLoopUntil([&] { return t->Finished(); }, 10s);
    EXPECT_TRUE(t->Terminated());
  }
  const std::string wav = ReadFile(dir / "thread.wav");
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(U32(wav, 24), 11025u);
}

// A sentence's thread started and released at once, as Escape does right after a tick: the
// release serves the synthesis the body handed over. This once aborted ("pure virtual method
// called") when the body could run before the thread object was built.
TEST(Driver, ThreadsStartedAndReleasedAtOnceNeverAbort) {
  platform::MainLoop::MarkMainThread();
  // Counts the synthesis objects that, when destroyed, found their thread ended and marked.
  struct Counted : TCreateVoice {
    explicit Counted(int& ended) : ended_(ended) {}
    ~Counted() override { ended_ += Finished() && Terminated(); }
    int& ended_;
  };
  constexpr int kRounds = 3000;
  int ended = 0;
  for (int i = 0; i < kRounds; ++i) {
    platform::ThreadHandle<Counted> t(ended);
    t->FSentence = " ";
    t.Start();
    if (i % 2) t->Terminate();
  }
  platform::MainLoop::ServePending();  // the queued copies find nothing to do
  EXPECT_EQ(ended, kRounds);
}

TEST(Driver, ControlBytesBelow14AddNothingAndBytes14To31AddTheirOneSample) {
  const testsupport::TempDir temp{"driver"};
  const fs::path& dir = temp.path;
  auto speak = [&](const std::string& sentence) {
    Engine v;
    Configure(v, sentence, 22050, dir / "c.wav");
    platform::RandSeed(3);
    v.Synthesize();
    return ReadFile(dir / "c.wav");
  };
  const std::string plain = speak("Hola casa.");
  ASSERT_GT(plain.size(), 44u);
  struct Case {
    const char* name;
    std::string sentence;
    std::size_t extraSamples;
  };
  const Case cases[] = {
      {"byte 2", std::string("Hola casa\x02."), 0},
      {"byte 13 inside the text", std::string("Hola casa\r."), 0},
      {"byte 20", std::string("Hola casa\x14."), 1},
      // Bytes 25 to 28 get a lead-in to 10 samples like a fricative.
      {"byte 25", std::string("Hola casa\x19."), 10},
  };
  for (const Case& c : cases) {
    const std::string wav = speak(c.sentence);
    ASSERT_EQ(wav.size(), plain.size() + 2 * c.extraSamples) << c.name;
    // The same samples, with the zero samples of the extra byte put in where it stands.
    std::vector<int> a = Samples(plain, 44), b = Samples(wav, 44);
    std::size_t k = 0;
    while (k < a.size() && a[k] == b[k]) ++k;
    if (c.extraSamples > 0) {
      ASSERT_LE(k + c.extraSamples, b.size()) << c.name;
      const auto at = b.begin() + static_cast<std::ptrdiff_t>(k);
      EXPECT_EQ(std::vector<int>(at, at + static_cast<std::ptrdiff_t>(c.extraSamples)),
                std::vector<int>(c.extraSamples, 0))
          << c.name;
      b.erase(at, at + static_cast<std::ptrdiff_t>(c.extraSamples));
    }
    EXPECT_EQ(a, b) << c.name;
  }
}

namespace {
struct Heard {
  std::string step;
  std::int32_t position;
};
std::vector<Heard> heard;
void Record(const char* step, std::int32_t position, const std::string&) {
  heard.push_back({step, position});
}
std::vector<std::int32_t> PositionsOf(const std::string& step) {
  std::vector<std::int32_t> out;
  for (const Heard& h : heard)
    if (h.step == step) out.push_back(h.position);
  return out;
}
}  // namespace

// "Mi casa." is framed as "\001Mi casa.": positions 1 (the start mark) and 4 (the blank)
// are silent, words start at 2 and 5.
TEST(Driver, TheStepTraceShowsWhereEachStepRan) {
  const testsupport::TempDir temp{"driver"};
  heard.clear();
  SetStepTrace(Record);
  Engine v;
  Configure(v, "Mi casa.", 22050, temp.path / "traced.wav");
  v.Synthesize();
  SetStepTrace(nullptr);
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(PositionsOf("word stage"), (std::vector<std::int32_t>{2, 5}));
  EXPECT_EQ(PositionsOf("append phoneme"), (std::vector<std::int32_t>{2, 3, 5, 6, 7, 8, 9}));
  EXPECT_EQ(PositionsOf("silent h"), (std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(heard.back().step, "terminate");
  EXPECT_TRUE(fs::exists(temp.path / "traced.wav"));

  // Off again: the next synthesis is heard by nobody.
  heard.clear();
  Engine quiet;
  Configure(quiet, "Mi casa.", 22050, temp.path / "quiet.wav");
  quiet.Synthesize();
  EXPECT_TRUE(heard.empty());
}
