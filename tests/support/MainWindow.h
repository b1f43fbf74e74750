// The program's main window for window tests and benchmarks (header only):
//   CreateMainWindow()  makes the window as the program start does (the global ZedUdezuv is
//                       set before the creation handler runs), shows and activates it
// The fixtures' shared hooks and teardown are in WindowTeardown.h.
#pragma once

#include "app/ZIriD.h"
#include "platform/ui/testing/Testing.h"

namespace testsupport {

inline TZedUdezuv* CreateMainWindow() {
  ZedUdezuv = new TZedUdezuv();
  ZedUdezuv->DoCreate();
  ui::testing::ShowAndActivate(ZedUdezuv);
  return ZedUdezuv;
}

}  // namespace testsupport
