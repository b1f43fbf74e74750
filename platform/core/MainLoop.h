// The main thread's queue of synchronized calls. Worker threads post a call and wait;
// the main thread serves the queue from its message loop (the window layer wakes it), and
// tests serve it themselves.
#pragma once

#include <chrono>
#include <functional>

namespace platform {

class MainLoop {
 public:
  // Any thread: queue a call for the main thread and wake the loop.
  static void Post(std::function<void()> call);
  // Main thread: run the calls queued so far, in order. Returns how many ran.
  static int ServePending();
  // Blocks until a call is queued or the timeout passes; true when one is queued.
  static bool WaitForPending(std::chrono::milliseconds timeout);
  // The window layer installs a waker that nudges its event loop (called from any thread).
  static void SetWaker(std::function<void()> waker);
  // The thread that first used the queue, or that called MarkMainThread.
  static void MarkMainThread();
  static bool IsMainThread();
};

}  // namespace platform
