// The window tests run offscreen, without a sound card, with TEMP naming a fresh folder of
// their own (the speech component's WAV file goes there).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::string pattern = (std::filesystem::temp_directory_path() / "orv_app_window_XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 2;
  setenv("TEMP", pattern.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(pattern, ec);
  return result;
}
