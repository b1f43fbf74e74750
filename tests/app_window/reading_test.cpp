// A whole reading through the window: Enter on "Leer" reads sentence by sentence with the
// caret following, Escape stops it and deletes the WAV file.
#include <chrono>
#include <filesystem>

#include "WindowFixture.h"
#include "tests/support/ServeWindow.h"

namespace {

template <class Done>
bool WaitFor(Done done, int seconds) {
  return testsupport::ServeWindowUntil(done, std::chrono::seconds(seconds), 20);
}

}  // namespace

TEST_F(WindowTest, EnterOnLeerReadsWithTheCaretFollowingAndEscapeStops) {
  const std::string text =
      "Hola amigo.\r\nBuenos d\xED"
      "as.\r\nAdi\xF3s.\r\n";
  w->R1->SetText(text);
  w->R1->SetSelStart(0);
  Focus(w->QueLB);
  Click(ui::VK_RETURN);
  const std::string wav = w->Voices->FWavFile;

  // The first sentence is cut at the first tick: the caret moves past it and its line end.
  ASSERT_TRUE(WaitFor([&] { return w->R1->SelStart() == 13; }, 10)) << w->R1->SelStart();
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(wav); }, 30));
  // The second sentence starts only when the first has been played.
  ASSERT_TRUE(WaitFor([&] { return w->R1->SelStart() == 27; }, 60)) << w->R1->SelStart();
  EXPECT_EQ(w->Voices->FSentence,
            "Buenos d\xED"
            "as.\r");

  Click(ui::VK_ESCAPE);
  EXPECT_EQ(w->Voices->FTimer->Interval(), 0u);
  EXPECT_FALSE(std::filesystem::exists(wav));
  EXPECT_EQ(w->Voices->FPlayer->FDeviceID, 0u);
  // Nothing goes on afterwards.
  ui::testing::ProcessMessages(500);
  EXPECT_EQ(w->R1->SelStart(), 27);
  EXPECT_FALSE(std::filesystem::exists(wav));
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, ClosingDuringAReadingAsksNothingAndEndsCleanly) {
  w->R1->SetText("Una frase para leer.\r\nOtra frase m\xE1s.\r\n");
  w->R1->SetSelStart(0);
  Focus(w->QueLB);
  Click(ui::VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return w->R1->SelStart() > 0; }, 10));
  w->Close();
  EXPECT_FALSE(w->Visible());
  EXPECT_TRUE(boxes.empty());
  // The window and its speech component go while the reading is still under way.
  EXPECT_TRUE(w->Voices->FTimer->Running());
}
