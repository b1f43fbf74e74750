#include "platform/core/Timer.h"

#include <exception>
#include <map>

#include "platform/core/Exceptions.h"

namespace platform {
namespace {

class ManualBackend : public TimerBackend {
 public:
  struct Entry {
    uint64_t due;
    unsigned period;
    uint64_t order;
  };

  void Start(TTimer* timer, unsigned interval_ms) override {
    timers_[timer] = Entry{now_ + interval_ms, interval_ms, next_order_++};
  }
  void Stop(TTimer* timer) override { timers_.erase(timer); }

  void Advance(unsigned ms) {
    const uint64_t target = now_ + ms;
    for (;;) {
      TTimer* next = nullptr;
      const Entry* best = nullptr;
      for (const auto& [timer, entry] : timers_) {
        if (entry.due > target) continue;
        if (!best || entry.due < best->due ||
            (entry.due == best->due && entry.order < best->order)) {
          best = &entry;
          next = timer;
        }
      }
      if (!next) break;
      now_ = best->due;
      // Schedule the next period before the handler runs, so that a handler that restarts
      // or stops its timer has the last word.
      Entry& e = timers_[next];
      e.due += e.period;
      next->Tick();
    }
    now_ = target;
  }

  uint64_t now_ = 0;
  uint64_t next_order_ = 0;
  std::map<TTimer*, Entry> timers_;
};

ManualBackend& Manual() {
  static ManualBackend backend;
  return backend;
}

TimerBackend* installed = nullptr;

}  // namespace

void SetTimerBackend(TimerBackend* backend) { installed = backend; }

TimerBackend* CurrentTimerBackend() { return installed ? installed : &Manual(); }

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  if (backend_) backend_->Stop(this);
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetOnTimer(std::function<void()> handler) {
  on_timer_ = std::move(handler);
  Update();
}

void TTimer::Update() {
  if (backend_) {
    backend_->Stop(this);
    backend_ = nullptr;
  }
  if (enabled_ && interval_ > 0 && on_timer_) {
    backend_ = CurrentTimerBackend();
    backend_->Start(this, interval_);
  }
}

void TTimer::Tick() {
  if (!on_timer_) return;
  // The handler may replace itself or destroy the timer; run a copy and touch nothing after.
  std::function<void()> handler = on_timer_;
  try {
    handler();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void ManualTimers::Advance(unsigned ms) { Manual().Advance(ms); }
uint64_t ManualTimers::Now() { return Manual().now_; }
int ManualTimers::RunningCount() { return static_cast<int>(Manual().timers_.size()); }
TimerBackend* ManualTimers::Backend() { return &Manual(); }

}  // namespace platform
