// A fresh main window per test, created as the program creates it, with the error box, the
// message box and the beep observed.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/ZIriD.h"
#include "platform/core/Beep.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/ui/Application.h"
#include "platform/ui/testing/Testing.h"
#include "speech/RUZIZ.h"
#include "tests/support/WindowTeardown.h"

struct ShownBox {
  std::string text;
  std::string caption;
  unsigned flags;
};

// The hooks alone: tests that make their window themselves start here.
class WindowHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::testing::App();
    testsupport::RecordErrorBoxes(errors);
    ui::testing::App().SetMessageBoxHook(
        [this](const std::string& text, const std::string& caption, unsigned flags) {
          boxes.push_back({text, caption, flags});
          return ui::IDOK;
        });
  }
  void TearDown() override {
    testsupport::DestroyMainWindow();
    w = nullptr;
    ui::testing::App().SetMessageBoxHook({});
    platform::SetProgramFileForTesting("");
  }

  void CreateWindow() { w = testsupport::CreateMainWindow(); }

  void Focus(ui::TWinControl* control) {
    control->SetFocus();
    ASSERT_EQ(w->ActiveControl(), control);
  }
  void Click(std::uint16_t vk, ui::TShiftState shift = {}) { ui::testing::KeyClick(vk, shift, w); }
  void Release(std::uint16_t vk, ui::TShiftState shift = {}) {
    ui::testing::KeyRelease(vk, shift, false, w);
  }
  void Press(std::uint16_t vk, ui::TShiftState shift = {}) { ui::testing::KeyPress(vk, shift, w); }

  TZedUdezuv* w = nullptr;
  std::vector<std::string> errors;
  std::vector<ShownBox> boxes;
};

class WindowTest : public WindowHooks {
 protected:
  void SetUp() override {
    WindowHooks::SetUp();
    CreateWindow();
    ASSERT_TRUE(errors.empty()) << errors.front();
    ASSERT_NE(w->Voices, nullptr);
  }
};
