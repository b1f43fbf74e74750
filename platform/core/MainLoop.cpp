#include "platform/core/MainLoop.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform {
namespace {
struct State {
  std::mutex m;
  std::condition_variable cv;
  std::deque<std::function<void()>> calls;
  // A waker runs under its own lock, so that once SetWaker has returned no call of the old
  // waker is still under way: the window layer clears it before it deletes what the waker
  // reaches (the QApplication).
  std::mutex wakerLock;
  std::function<void()> waker;
  // Read by any thread (IsMainThread), set by the main thread.
  std::atomic<std::thread::id> main{std::this_thread::get_id()};
};
State& S() {
  static State s;
  return s;
}
}  // namespace

void MainLoop::Post(std::function<void()> call) {
  {
    std::lock_guard<std::mutex> lock(S().m);
    S().calls.push_back(std::move(call));
  }
  S().cv.notify_all();
  // Not under S().m, so that serving the queue never waits for a waker. A waker must not
  // post: it would wait for its own lock.
  std::lock_guard<std::mutex> lock(S().wakerLock);
  if (S().waker) S().waker();
}

int MainLoop::ServePending() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(S().m);
    batch.swap(S().calls);
  }
  for (auto& call : batch) call();
  return static_cast<int>(batch.size());
}

bool MainLoop::WaitForPending(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(S().m);
  return S().cv.wait_for(lock, timeout, [] { return !S().calls.empty(); });
}

void MainLoop::SetWaker(std::function<void()> waker) {
  std::lock_guard<std::mutex> lock(S().wakerLock);
  S().waker = std::move(waker);
}

void MainLoop::MarkMainThread() { S().main = std::this_thread::get_id(); }

bool MainLoop::IsMainThread() { return std::this_thread::get_id() == S().main; }

}  // namespace platform
