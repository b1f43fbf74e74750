// "Serve the main loop until done", for tests without a window (header only):
//   ServeMainLoopUntil([&] { return t.Terminated(); }, std::chrono::seconds(10))
// serves the synchronized calls and posted work of platform::MainLoop until done() holds;
// false when the time ran out first. The caller has marked its thread the main thread.
#pragma once

#include <chrono>

#include "platform/core/MainLoop.h"

namespace testsupport {

template <class Done>
bool ServeMainLoopUntil(Done done, std::chrono::milliseconds limit) {
  const auto until = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    platform::MainLoop::WaitForPending(std::chrono::milliseconds(10));
    platform::MainLoop::ServePending();
  }
  return true;
}

}  // namespace testsupport
