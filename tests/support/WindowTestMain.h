// The main of a window test program: offscreen, with TEMP naming a fresh folder of its own
// (the speech component's WAV file goes there), removed again after the run.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testsupport {

// The caller sets the sound driver first; QT_QPA_PLATFORM is set here.
inline int RunWindowTests(int argc, char** argv, const char* tempPrefix) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::string pattern =
      (std::filesystem::temp_directory_path() / (std::string(tempPrefix) + "_XXXXXX")).string();
  if (!mkdtemp(pattern.data())) return 2;
  setenv("TEMP", pattern.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(pattern, ec);
  return result;
}

}  // namespace testsupport
