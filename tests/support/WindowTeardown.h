// What every main-window fixture shares around the window (header only, GoogleTest):
//   RecordErrorBoxes(v)  the error box appends its text to v instead of showing
//   DestroyMainWindow()  the window goes, the open-dialog hook is cleared, and an error box
//                        after the test fails it
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/Exceptions.h"
#include "tests/support/MainWindow.h"

namespace testsupport {

inline void RecordErrorBoxes(std::vector<std::string>& errors) {
  platform::SetErrorBoxHook([&errors](const std::string& m) { errors.push_back(m); });
}

inline void DestroyMainWindow() {
  delete ZedUdezuv;
  ZedUdezuv = nullptr;
  ui::TOpenDialog::SetExecuteHook({});
  platform::SetErrorBoxHook(
      [](const std::string& m) { ADD_FAILURE() << "error box after the test: " << m; });
}

}  // namespace testsupport
