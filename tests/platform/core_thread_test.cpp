#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/core/MainLoop.h"
#include "platform/core/Thread.h"
#include "tests/support/ServeLoop.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {
class SyncThread : public TThread {
 public:
  explicit SyncThread(bool suspended, bool fail = false,
                      std::chrono::milliseconds delay = std::chrono::milliseconds(0))
      : TThread(suspended), fail_(fail), delay_(delay) {}
  ~SyncThread() override { WaitAndRelease(); }
  std::atomic<bool> bodyRan{false};
  std::atomic<bool> callRanOnMain{false};
  std::atomic<bool> sawError{false};

 protected:
  void Execute() override {
    bodyRan = true;
    std::this_thread::sleep_for(delay_);
    try {
      Synchronize([this] {
        callRanOnMain = MainLoop::IsMainThread();
        Terminate();
        if (fail_) throw std::runtime_error("boom");
      });
    } catch (const std::runtime_error&) {
      sawError = true;
    }
  }

 private:
  bool fail_;
  std::chrono::milliseconds delay_;
};

void ServeUntil(const std::function<bool()>& done) { testsupport::ServeMainLoopUntil(done, 5s); }
}  // namespace

TEST(Thread, SynchronizedCallRunsOnTheMainLoop) {
  MainLoop::MarkMainThread();
  SyncThread t(false);
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(t.Terminated());  // nothing runs until the main thread serves its queue
  ServeUntil([&] { return t.Finished(); });
  EXPECT_TRUE(t.callRanOnMain);
  EXPECT_TRUE(t.Terminated());
  EXPECT_TRUE(t.Finished());
}

TEST(Thread, ReleaseServesAPendingCall) {
  MainLoop::MarkMainThread();
  auto* t = new SyncThread(false);
  while (!t->bodyRan) std::this_thread::sleep_for(1ms);
  delete t;                  // must not deadlock: the pending call runs inside the release
  MainLoop::ServePending();  // the queued copy finds nothing to do
}

TEST(Thread, ReleaseAlreadyWaitingServesTheCallPostedLater) {
  MainLoop::MarkMainThread();
  auto* t = new SyncThread(false, false, 100ms);
  while (!t->bodyRan) std::this_thread::sleep_for(1ms);
  // The release starts waiting before the body asks for its call. Were it to miss the call,
  // it would wait for ever; a helper thread keeps that from hanging the test.
  auto released = std::make_shared<std::promise<void>>();
  std::future<void> done = released->get_future();
  std::thread([t, released] {
    delete t;
    released->set_value();
  }).detach();
  EXPECT_EQ(done.wait_for(5s), std::future_status::ready);
  MainLoop::ServePending();
}

TEST(Thread, TerminatedBeforeStartNeverRunsItsBody) {
  SyncThread t(true);
  t.Terminate();
  t.Start();
  ServeUntil([&] { return t.Finished(); });
  EXPECT_FALSE(t.bodyRan);
}

TEST(Thread, ExceptionOfTheCallReachesTheBody) {
  MainLoop::MarkMainThread();
  SyncThread t(false, true);
  ServeUntil([&] { return t.Finished(); });
  EXPECT_TRUE(t.sawError);
}
