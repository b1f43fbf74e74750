// "Serve the window's message loop until done" (header only; window tests and benchmarks):
//   ServeWindowUntil([&] { return !Reading(); }, std::chrono::seconds(30))
// processes the application's messages in slices of sliceMs until done() holds; false when
// the time ran out first.
#pragma once

#include <chrono>

#include "platform/ui/testing/Testing.h"

namespace testsupport {

template <class Done>
bool ServeWindowUntil(Done done, std::chrono::milliseconds limit, int sliceMs = 5) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    ui::testing::ProcessMessages(sliceMs);
  }
  return true;
}

}  // namespace testsupport
