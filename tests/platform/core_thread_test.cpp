#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
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
  auto t = std::make_unique<ThreadHandle<SyncThread>>(false, 100ms);
  t->Start();
  ASSERT_TRUE(WaitForBody(**t));
  // The release starts waiting before the body asks for its call. Were it to miss the call,
  // it would wait for ever: a watchdog then ends the test program rather than let it hang.
  std::promise<void> released;
  std::thread watchdog([done = released.get_future()] {
    if (done.wait_for(60s) == std::future_status::ready) return;
    std::fprintf(stderr, "the release missed the call that the body asked for later\n");
    std::_Exit(1);
  });
  t.reset();
  released.set_value();
  watchdog.join();
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

// Each use that would deadlock or run the call on the wrong thread stops the program at once
// with the rule it breaks.
class ThreadMisuse : public testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// A body whose synchronized call runs the given code on the main thread.
class CallThread : public TThread {
 public:
  std::function<void()> inCall;

 protected:
  void Execute() override {
    Synchronize([this] { inCall(); });
  }
};

TEST_F(ThreadMisuse, ReleasingAHandleInsideItsOwnSynchronizedCallAborts) {
  EXPECT_DEATH(
      {
        MainLoop::MarkMainThread();
        auto t = std::make_unique<ThreadHandle<CallThread>>();
        (*t)->inCall = [&t] { t.reset(); };
        t->Start();
        ServeUntil([&] { return !t; });
      },
      "ThreadHandle misuse: a thread is never released inside its own synchronized call");
}

TEST_F(ThreadMisuse, SynchronizeOnTheMainThreadAborts) {
  // Execute called directly: the body runs on the caller's thread.
  struct Direct : CallThread {
    void RunHere() { Execute(); }
  };
  EXPECT_DEATH(
      {
        MainLoop::MarkMainThread();
        Direct d;
        d.inCall = [] {};
        d.RunHere();
      },
      "ThreadHandle misuse: Synchronize is called from the thread's body, never on the main "
      "thread");
}

TEST_F(ThreadMisuse, ReleasingAStartedHandleOnAWorkerThreadAborts) {
  EXPECT_DEATH(
      {
        MainLoop::MarkMainThread();
        auto* t = new ThreadHandle<SyncThread>();
        t->Start();
        std::thread([t] { delete t; }).join();
      },
      "ThreadHandle misuse: a started thread is released on the main thread only");
}

// The rules stop only misuse: a handle never started may go on any thread, and a release
// on the main thread outside the call serves it as before.
TEST_F(ThreadMisuse, AHandleNeverStartedMayBeReleasedAnywhere) {
  MainLoop::MarkMainThread();
  auto* t = new ThreadHandle<SyncThread>();
  std::thread([t] { delete t; }).join();
}
