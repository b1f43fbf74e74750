// The hardening tests run offscreen on SDL's silent driver. Built with ORV_NO_SOUND_DEVICE,
// they run on SDL's disk driver with a device file that cannot be made: no device opens.
#include <cstdlib>

#include "tests/support/WindowTestMain.h"

int main(int argc, char** argv) {
#ifdef ORV_NO_SOUND_DEVICE
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/nonexistent-orv-folder/sound.raw", 1);
#else
  setenv("SDL_AUDIODRIVER", "dummy", 1);
#endif
  return testsupport::RunWindowTests(argc, argv, "orv_hardening");
}
