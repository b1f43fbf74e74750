// The main window under long and odd inputs: a text of a megabyte, files that are junk,
// missing, unreadable or a folder, and a reading whose WAV file goes missing or turns bad.
// Nothing crashes, errors reach the error box, and reading never changes the text box.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

#include "HardeningFixture.h"
#include "platform/audio/SoundOutput.h"
#include "platform/core/Files.h"
#include "platform/core/RichText.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

fs::path Scratch(const std::string& name) {
  fs::path d = fs::path(platform::GetEnv("TEMP")) / "inputs";
  fs::create_directories(d);
  return d / name;
}

// Spanish sentences with numbers and punctuation, Windows-1252, repeated to `size` bytes.
std::string LongText(std::size_t size) {
  const std::string lines[] = {
      "El s\xE1"
      "bado 14 de marzo salimos a las 7:45 de la ma\xF1"
      "ana.",
      "\xBF"
      "Cu\xE1"
      "nto falta? Pregunt\xF3 Luc\xED"
      "a por tercera vez.",
      "Pagamos 1.250 euros por la casa; a cada uno le tocaron 104 euros.",
      "\xA1Qu\xE9 vista tan hermosa! (Exclam\xF3 la abuela, que ten\xED"
      "a 83 a\xF1os.)",
  };
  std::string text;
  for (std::size_t i = 0; text.size() < size; ++i) text += lines[i % 4] + (i % 3 ? " " : "\r\n");
  return text;
}

}  // namespace

TEST_F(HardeningTest, AMegabyteTextIsReadFromItsStartAndStoppedWithTheTextBoxUnchanged) {
  // Short sentences first, so that a few of them are heard in a moment.
  const std::string text = "Uno. Dos. Tres. Cuatro. " + LongText(1 << 20);
  w->R1->SetText(text);
  const std::string before = w->R1->Text();
  ASSERT_GE(before.size(), std::size_t(1) << 20);
  ReadFrom(0);
  ASSERT_TRUE(WaitFor([&] { return opened.size() >= 3; }, 60)) << opened.size();
  // The caret follows the short sentences and no further.
  EXPECT_GT(w->R1->SelStart(), 0);
  EXPECT_LT(w->R1->SelStart(), 40);
  Escape();
  EXPECT_FALSE(Reading());
  EXPECT_FALSE(fs::exists(wav));
  EXPECT_EQ(w->Voices->FPlayer->FDeviceID, 0u);
  EXPECT_TRUE(w->R1->Text() == before) << "the reading changed the text box";
  EXPECT_TRUE(errors.empty());
}

// A named pipe among them: the window must not wait for a writer that never comes.
TEST_F(HardeningTest, FilesThatCannotBeReadReachTheErrorBoxWithTheirNameAndReason) {
  const fs::path folder = Scratch("una carpeta");
  fs::create_directories(folder);
  const fs::path fifo = Scratch("una tuberia");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  fs::path unreadable = Scratch("sin permiso.txt");
  platform::LoadFailure unreadableWhy = platform::LoadFailure::NoPermission;
  if (geteuid() == 0) {
    // Permissions do not stop root; a file that the kernel refuses to read does.
    unreadable = "/proc/self/mem";
    unreadableWhy = platform::LoadFailure::ReadError;
  } else {
    testsupport::WriteFile(unreadable, "Hola.\r\n");
    chmod(unreadable.c_str(), 0);
  }
  struct Case {
    fs::path path;
    platform::LoadFailure why;
  };
  const Case cases[] = {
      {Scratch("no existe.txt"), platform::LoadFailure::NotFound},
      {unreadable, unreadableWhy},
      {folder, platform::LoadFailure::NotRegular},
      {fifo, platform::LoadFailure::NotRegular},
      {"/dev/zero", platform::LoadFailure::NotRegular},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    w->R1->SetText("Texto anterior.\r\n");
    const std::string before = w->R1->Text();
    errors.clear();
    ui::TOpenDialog::SetExecuteHook([&](const ui::TOpenDialog&) { return c.path.string(); });
    ui::testing::ChooseMenuItem(w->Open1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], platform::LoadFailureMessage(c.why, c.path.string()));
    EXPECT_NE(errors[0].find(c.path.filename().string()), std::string::npos) << errors[0];
    EXPECT_EQ(w->R1->Text(), before);
  }
  errors.clear();
}

TEST_F(HardeningTest, BinaryJunkLoadsAsTextAndIsReadWithoutHarm) {
  std::mt19937 random(11);
  std::string junk(64 * 1024, '\0');
  for (char& b : junk) b = char(random() & 0xFF);
  const fs::path file = Scratch("basura.bin");
  testsupport::WriteFile(file, junk);
  ui::TOpenDialog::SetExecuteHook([&](const ui::TOpenDialog&) { return file.string(); });
  ui::testing::ChooseMenuItem(w->Open1);
  ASSERT_TRUE(errors.empty()) << errors.front();
  const std::string loaded = w->R1->Text();
  ASSERT_GT(loaded.size(), junk.size() / 2);

  // Junk holds sentences of every kind, with control bytes and no words; read a few seconds.
  ReadFrom(0);
  WaitFor([&] { return !Reading(); }, 3);
  Escape();
  EXPECT_FALSE(Reading());
  EXPECT_FALSE(fs::exists(wav));
  EXPECT_TRUE(w->R1->Text() == loaded) << "the reading changed the text box";
  EXPECT_TRUE(errors.empty());
}

// The sentence's file goes missing or turns bad between its synthesis and its turn: the
// reading stops at that sentence with one beep, the caret at its start, and tries nothing
// again.
TEST_F(HardeningTest, AWavFileLostOrSpoiltBeforeItsTurnStopsTheReadingThereWithOneBeep) {
  const struct {
    const char* what;
    std::function<void()> change;
  } cases[] = {
      {"lost", [&] { fs::remove(wav); }},
      {"spoilt", [&] { testsupport::WriteFile(wav, "no es un archivo de sonido"); }},
      {"a folder",
       [&] {
         fs::remove(wav);
         fs::create_directory(wav);
       }},
  };
  const int sentenceStarts[] = {0, 16};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    w->R1->SetText("Primera frase.\r\nSegunda frase.\r\n");
    opened.clear();
    ReadFrom(0);
    // A synthesis has written its file and the next tick has not yet handed it over.
    auto& v = *w->Voices;
    ASSERT_TRUE(
        WaitFor([&] { return v.FThread && (*v.FThread)->Terminated() && !v.FFileHandedOver; }, 30));
    const std::size_t sentence = opened.size();
    ASSERT_LT(sentence, 2u);
    const int beeps = platform::BeepCount();
    c.change();
    ASSERT_TRUE(WaitFor([&] { return !Reading(); }, 30));
    EXPECT_EQ(opened.size(), sentence);
    EXPECT_EQ(platform::BeepCount() - beeps, 1);
    EXPECT_EQ(w->R1->SelStart(), sentenceStarts[sentence]);
    ui::testing::ProcessMessages(1000);
    EXPECT_EQ(platform::BeepCount() - beeps, 1);
    EXPECT_EQ(opened.size(), sentence);
    Escape();
    std::error_code ec;
    fs::remove(wav, ec);
    EXPECT_TRUE(errors.empty());
  }
}

TEST_F(HardeningTest, WithNoSoundOutputToBeHadTheReadingGoesOnWithoutSound) {
  // The silent driver serves one stream at a time: holding it leaves none for the player.
  std::string why;
  auto held = platform::SoundOutput::Open(
      {}, [](uint8_t* b, size_t n) { std::memset(b, 0, n); }, &why);
  ASSERT_TRUE(held) << why;
  w->R1->SetText("Primera frase.\r\nSegunda frase.\r\n");
  ReadFrom(0);
  ASSERT_TRUE(WaitFor([&] { return !Reading(); }, 30));
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(openedAtCaret[0], 16);
  EXPECT_GE(openedAtCaret[1], 31);
  EXPECT_TRUE(errors.empty());

  // Once the output is free again, the next reading is heard.
  held.reset();
  const int playsBefore = plays;
  ReadFrom(0);
  ASSERT_TRUE(WaitFor([&] { return w->Voices->FPlayer->GetMode() == pmPlaying; }, 10));
  EXPECT_GT(plays, playsBefore);
  Escape();
  EXPECT_TRUE(errors.empty());
}

TEST_F(HardeningTest, SoundLeavesTerminationSignalsToTheProgram) {
  w->R1->SetText("Hola.");
  ReadFrom(0);
  ASSERT_TRUE(WaitFor([&] { return w->Voices->FPlayer->GetMode() == pmPlaying; }, 10));
  for (int sig : {SIGINT, SIGTERM}) {
    struct sigaction sa {};
    ASSERT_EQ(sigaction(sig, nullptr, &sa), 0);
    EXPECT_TRUE(sa.sa_handler == SIG_DFL) << "signal " << sig << " is caught";
  }
  Escape();
}
