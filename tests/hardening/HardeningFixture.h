// The main window as the program makes it, with the error box, the beep and the traffic to
// the sound devices observed, and the message loop served until something holds.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ZIriD.h"
#include "platform/audio/Mci.h"
#include "platform/core/Beep.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/testing/Testing.h"
#include "speech/RUZIZ.h"
#include "tests/support/ServeWindow.h"
#include "tests/support/WindowTeardown.h"

class HardeningTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::testing::App();
    testsupport::RecordErrorBoxes(errors);
    platform::SetMciObserver(
        [this](platform::MCIDEVICEID, unsigned command, platform::DWORD_PTR, const void* parms) {
          if (command == platform::MCI_OPEN) {
            opened.push_back(static_cast<const platform::MCI_OPEN_PARMS*>(parms)->lpstrElementName);
            std::error_code ec;
            const auto size = std::filesystem::file_size(opened.back(), ec);
            openedSeconds.push_back(ec || size < 44 ? 0.0 : double(size - 44) / 2 / 22050);
            openedAtCaret.push_back(w ? w->R1->SelStart() : -1);
          }
          if (command == platform::MCI_PLAY) ++plays;
        });
    w = testsupport::CreateMainWindow();
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_NE(w->Voices, nullptr);
    wav = w->Voices->FWavFile;
  }

  void TearDown() override {
    if (w && w->Voices) w->Voices->Stop();
    testsupport::DestroyMainWindow();
    w = nullptr;
    platform::SetMciObserver({});
  }

  // Serves the message loop until done() holds; false when the time ran out first.
  template <class Done>
  bool WaitFor(Done done, int seconds) {
    return testsupport::ServeWindowUntil(done, std::chrono::seconds(seconds));
  }

  bool Reading() const { return w->Voices->FTimer->Interval() != 0; }

  // Enter on "Leer" with the caret at pos.
  void ReadFrom(int pos) {
    w->R1->SetSelStart(pos);
    w->QueLB->SetFocus();
    ASSERT_EQ(w->ActiveControl(), w->QueLB);
    ui::testing::KeyClick(ui::VK_RETURN, {}, w);
  }
  void Escape() { ui::testing::KeyClick(ui::VK_ESCAPE, {}, w); }

  TZedUdezuv* w = nullptr;
  std::string wav;
  std::vector<std::string> errors;
  std::vector<std::string> opened;    // files opened on a sound device, in order
  std::vector<double> openedSeconds;  // their length at 22050 samples per second
  std::vector<int> openedAtCaret;     // where the caret stood then
  int plays = 0;
};
