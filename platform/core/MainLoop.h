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
  // Once SetWaker returns, the previous waker is not running and never runs again.
  static void SetWaker(std::function<void()> waker);
  // The main thread is the thread that first touched the queue (any call of this class,
  // Post from a worker included), until MarkMainThread names another: the window layer and
  // tests that serve the queue call it on their main thread before any worker starts.
  static void MarkMainThread();
  static bool IsMainThread();
};

}  // namespace platform
