#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/core/MainLoop.h"
#include "platform/core/Thread.h"
#include "tests/support/ServeLoop.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {
class SyncThread : public TThread {
 public:
  explicit SyncThread(bool fail = false, std::chrono::milliseconds delay = 0ms)
      : fail_(fail), delay_(delay) {}
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

// Counts, over many threads, the bodies and calls that found their object whole.
struct Tally {
  std::atomic<int> ran{0}, bodiesWhole{0}, callsWhole{0};
};

// Members of the most derived class, read by the body and by its synchronized call: a body
// that ran before they were built, or a call served after they were gone, reads garbage
// (and, under the sanitizers, is reported).
class MemberThread : public TThread {
 public:
  explicit MemberThread(Tally& tally) : tally_(tally), text_(64, 'x') {}
  ~MemberThread() override { text_.assign(64, 'd'); }

 protected:
  void Execute() override {
    ++tally_.ran;
    if (text_ == std::string(64, 'x')) ++tally_.bodiesWhole;
    Synchronize([this] {
      if (text_ == std::string(64, 'x')) ++tally_.callsWhole;
    });
  }

 private:
  Tally& tally_;
  std::string text_;
};

void ServeUntil(const std::function<bool()>& done) { testsupport::ServeMainLoopUntil(done, 10s); }

// Waits, with a bound, for a started body to reach its synchronized call.
bool WaitForBody(const SyncThread& t) {
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (!t.bodyRan && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(1ms);
  return t.bodyRan;
}
}  // namespace

TEST(Thread, SynchronizedCallRunsOnTheMainLoop) {
  MainLoop::MarkMainThread();
  ThreadHandle<SyncThread> t;
  t.Start();
  ASSERT_TRUE(WaitForBody(*t));
  // Nothing runs until the main thread serves its queue: the body waits in Synchronize.
  EXPECT_FALSE(t->Terminated());
  ServeUntil([&] { return t->Finished(); });
  EXPECT_TRUE(t->callRanOnMain);
  EXPECT_TRUE(t->Terminated());
  EXPECT_TRUE(t->Finished());
}

TEST(Thread, NothingRunsBeforeStart) {
  MainLoop::MarkMainThread();
  ThreadHandle<SyncThread> t;
  MainLoop::ServePending();
  EXPECT_FALSE(t->bodyRan);
  EXPECT_FALSE(t->Finished());
}

// The fault this layer exists for: a body started by its base before the derived object
// was built called a pure virtual Execute and aborted the program. Build, start and
// release many times; each body must see its members both in Execute and in the call its
// release serves.
TEST(Thread, StartedAndReleasedAtOnceManyTimes) {
  MainLoop::MarkMainThread();
  constexpr int kRounds = 5000;
  Tally tally;
  for (int i = 0; i < kRounds; ++i) {
    ThreadHandle<MemberThread> t(tally);
    t.Start();
  }
  MainLoop::ServePending();  // the queued copies find nothing to do
  EXPECT_EQ(tally.ran, kRounds);
  EXPECT_EQ(tally.bodiesWhole, kRounds);
  EXPECT_EQ(tally.callsWhole, kRounds);
}

TEST(Thread, ReleaseServesAPendingCall) {
  MainLoop::MarkMainThread();
  auto t = std::make_unique<ThreadHandle<SyncThread>>();
  (*t).Start();
  ASSERT_TRUE(WaitForBody(**t));
  t.reset();                 // must not deadlock: the pending call runs inside the release
  MainLoop::ServePending();  // the queued copy finds nothing to do
}

TEST(Thread, ReleaseAlreadyWaitingServesTheCallPostedLater) {
  MainLoop::MarkMainThread();
  auto* t = new ThreadHandle<SyncThread>(false, 100ms);
  t->Start();
  ASSERT_TRUE(WaitForBody(**t));
  // The release starts waiting before the body asks for its call. Were it to miss the call,
  // it would wait for ever; a helper thread keeps that from hanging the test.
  auto released = std::make_shared<std::promise<void>>();
  std::future<void> done = released->get_future();
  std::thread([t, released] {
    delete t;
    released->set_value();
  }).detach();
  EXPECT_EQ(done.wait_for(10s), std::future_status::ready);
  MainLoop::ServePending();
}

TEST(Thread, TerminatedBeforeStartNeverRunsItsBody) {
  ThreadHandle<SyncThread> t;
  t->Terminate();
  t.Start();
  ServeUntil([&] { return t->Finished(); });
  EXPECT_TRUE(t->Finished());
  EXPECT_FALSE(t->bodyRan);
}

TEST(Thread, ExceptionOfTheCallReachesTheBody) {
  MainLoop::MarkMainThread();
  ThreadHandle<SyncThread> t(true);
  t.Start();
  ServeUntil([&] { return t->Finished(); });
  EXPECT_TRUE(t->sawError);
}
