// The window tests run offscreen and without a sound card.
#include <cstdlib>

#include "tests/support/WindowTestMain.h"

int main(int argc, char** argv) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  return testsupport::RunWindowTests(argc, argv, "orv_app_window");
}
