#include "platform/core/MainLoop.h"

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
  std::function<void()> waker;
  std::thread::id main = std::this_thread::get_id();
};
State& S() {
  static State s;
  return s;
}
}  // namespace

void MainLoop::Post(std::function<void()> call) {
  std::function<void()> waker;
  {
    std::lock_guard<std::mutex> lock(S().m);
    S().calls.push_back(std::move(call));
    waker = S().waker;
  }
  S().cv.notify_all();
  if (waker) waker();
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
  std::lock_guard<std::mutex> lock(S().m);
  S().waker = std::move(waker);
}

void MainLoop::MarkMainThread() { S().main = std::this_thread::get_id(); }

bool MainLoop::IsMainThread() { return std::this_thread::get_id() == S().main; }

}  // namespace platform
