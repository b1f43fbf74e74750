// The hardening tests run offscreen on SDL's silent driver, with TEMP naming a fresh folder
// of their own (the speech component's WAV file goes there). Built with ORV_NO_SOUND_DEVICE,
// they run on SDL's disk driver with a device file that cannot be made: no device opens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
#ifdef ORV_NO_SOUND_DEVICE
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/nonexistent-orv-folder/sound.raw", 1);
#else
  setenv("SDL_AUDIODRIVER", "dummy", 1);
#endif
  std::string pattern = (std::filesystem::temp_directory_path() / "orv_hardening_XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 2;
  setenv("TEMP", pattern.c_str(), 1);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(pattern, ec);
  return result;
}
