// The main window where no sound device can be opened at all: the sound goes to the silent
// driver, which takes as long as the sound would be heard, and the reading goes on.
#include <chrono>
#include <filesystem>

#include "HardeningFixture.h"
#include "platform/audio/SoundOutput.h"

TEST_F(HardeningTest, WithoutASoundDeviceTheTextIsReadSilentlyInItsOwnTime) {
  w->R1->SetText("Primera frase.\r\nSegunda frase.\r\n");
  const std::string before = w->R1->Text();
  const auto start = std::chrono::steady_clock::now();
  ReadFrom(0);
  ASSERT_TRUE(WaitFor([&] { return !Reading(); }, 60));
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(platform::SoundOutput::DriverName(), "dummy");
  ASSERT_EQ(opened.size(), 2u);
  // Both sentences were played out, not passed over.
  EXPECT_GE(took, 0.95 * (openedSeconds[0] + openedSeconds[1]));
  EXPECT_GE(w->R1->SelStart(), 31);
  EXPECT_EQ(w->R1->Text(), before);
  EXPECT_TRUE(errors.empty());
}
