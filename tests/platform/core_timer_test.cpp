#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/Beep.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Timer.h"

using namespace platform;

namespace {
using Log = std::vector<std::pair<std::string, uint64_t>>;

struct ErrorBoxCapture {
  std::vector<std::string> shown;
  ErrorBoxCapture() {
    SetErrorBoxHook([this](const std::string& m) { shown.push_back(m); });
  }
  ~ErrorBoxCapture() { SetErrorBoxHook(nullptr); }
};
}  // namespace

TEST(Timer, PeriodicTicksFireInTimeOrderWithTiesInStartOrder) {
  Log log;
  uint64_t t0 = ManualTimers::Now();
  TTimer a, b;
  a.SetInterval(30);
  b.SetInterval(50);
  a.SetOnTimer([&] { log.emplace_back("a", ManualTimers::Now() - t0); });
  b.SetOnTimer([&] { log.emplace_back("b", ManualTimers::Now() - t0); });
  ManualTimers::Advance(100);
  ManualTimers::Advance(50);
  Log want = {{"a", 30},  {"b", 50},  {"a", 60},  {"a", 90},
              {"b", 100}, {"a", 120}, {"a", 150}, {"b", 150}};
  EXPECT_EQ(log, want);
}

TEST(Timer, RunsOnlyWhenEnabledWithIntervalAndHandler) {
  int ticks = 0;
  TTimer t;
  EXPECT_EQ(t.Interval(), 1000u);
  EXPECT_TRUE(t.Enabled());
  EXPECT_FALSE(t.Running());  // no handler yet
  t.SetOnTimer([&] { ++ticks; });
  EXPECT_TRUE(t.Running());
  ManualTimers::Advance(1000);
  EXPECT_EQ(ticks, 1);
  t.SetInterval(0);
  EXPECT_FALSE(t.Running());
  ManualTimers::Advance(5000);
  EXPECT_EQ(ticks, 1);
  t.SetInterval(100);
  t.SetEnabled(false);
  ManualTimers::Advance(500);
  EXPECT_EQ(ticks, 1);
  t.SetEnabled(true);
  ManualTimers::Advance(250);  // counts anew from re-enabling
  EXPECT_EQ(ticks, 3);
  t.SetOnTimer(nullptr);
  EXPECT_FALSE(t.Running());
}

TEST(Timer, HandlerThatChangesItsIntervalStartsTheNewPeriodFromThatTick) {
  std::vector<uint64_t> at;
  uint64_t t0 = ManualTimers::Now();
  TTimer t;
  t.SetInterval(10);
  t.SetOnTimer([&] {
    at.push_back(ManualTimers::Now() - t0);
    if (t.Interval() == 10) t.SetInterval(200);
  });
  ManualTimers::Advance(500);
  EXPECT_EQ(at, (std::vector<uint64_t>{10, 210, 410}));
}

TEST(Timer, HandlerMayDestroyItsOwnTimer) {
  int ticks = 0;
  auto* t = new TTimer;
  t->SetInterval(20);
  t->SetOnTimer([&ticks, t] {
    ++ticks;
    delete t;
  });
  const int before = ManualTimers::RunningCount();
  ManualTimers::Advance(100);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(ManualTimers::RunningCount(), before - 1);
}

TEST(Timer, OwnerFreesItsTimers) {
  const int before = ManualTimers::RunningCount();
  {
    TComponent owner;
    auto* t = new TTimer(&owner);
    t->SetOnTimer([] {});
    auto* gone = new TTimer(&owner);
    delete gone;  // leaves the owner's list
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(ManualTimers::RunningCount(), before + 1);
  }
  EXPECT_EQ(ManualTimers::RunningCount(), before);
}

TEST(Timer, EscapingAbortIsSilentOtherFailuresReachTheErrorBox) {
  ErrorBoxCapture box;
  int ticks = 0;
  TTimer t;
  t.SetInterval(10);
  t.SetOnTimer([&] {
    ++ticks;
    if (ticks == 1) throw EAbort();
    if (ticks == 2) throw Exception("Error: imposible");
    if (ticks == 3) throw std::runtime_error("other");
  });
  ManualTimers::Advance(40);
  EXPECT_EQ(ticks, 4);  // the timer goes on after a failure
  EXPECT_EQ(box.shown, (std::vector<std::string>{"Error: imposible", "other"}));
}

TEST(Timer, StartsOnTheInstalledBackend) {
  struct Recorder : TimerBackend {
    std::vector<std::pair<TTimer*, unsigned>> starts;
    int stops = 0;
    void Start(TTimer* t, unsigned ms) override { starts.emplace_back(t, ms); }
    void Stop(TTimer*) override { ++stops; }
  } rec;
  SetTimerBackend(&rec);
  {
    TTimer t;
    t.SetOnTimer([] {});
    t.SetInterval(200);
    ASSERT_EQ(rec.starts.size(), 2u);
    EXPECT_EQ(rec.starts[1].second, 200u);
    EXPECT_EQ(rec.stops, 1);
  }
  EXPECT_EQ(rec.stops, 2);
  SetTimerBackend(nullptr);
  EXPECT_EQ(CurrentTimerBackend(), ManualTimers::Backend());
}

TEST(Beep, CountsAndReachesTheHook) {
  std::vector<unsigned> heard;
  SetBeepHook([&](unsigned type) { heard.push_back(type); });
  const int before = BeepCount();
  MessageBeep(MB_OK);
  MessageBeep(MB_ICONASTERISK);
  SetBeepHook(nullptr);
  MessageBeep(MB_ICONHAND);
  EXPECT_EQ(BeepCount(), before + 3);
  EXPECT_EQ(LastBeepType(), 16u);
  EXPECT_EQ(heard, (std::vector<unsigned>{0u, 64u}));
}
