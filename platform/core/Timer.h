// Message-loop timers, as the class library has them.
//
// A TTimer runs while it is Enabled, its Interval is above 0 and it has an OnTimer handler;
// changing any of the three starts its period anew (or stops it). Like the class library's,
// a new timer is enabled with an Interval of 1000 ms and no handler, so it is idle until a
// handler is set. The handler runs on the main thread from the message loop; ticks of one
// timer never overlap. The handler may change or destroy its own timer.
//
// An exception escaping the handler goes to platform::HandleException: the silent abort
// (EAbort) shows nothing, anything else reaches the error box hook.
//
// The timing itself comes from a backend. The default backend is ManualTimers, a clock that
// only moves when a test (or a tool without a window) calls ManualTimers::Advance. The window
// layer installs a backend on its event loop with SetTimerBackend before it creates timers.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/core/Component.h"

namespace platform {

class TTimer;

// How a backend meets the timers:
// - Start(t, ms): t is to tick every ms milliseconds (ms > 0) from now on. A Start of a timer
//   that already runs replaces its period and starts counting anew.
// - Stop(t): t ticks no more. Called for timers that do not run too (must be harmless), and
//   always from t's destructor.
// - At each period the backend calls t->Tick() on the main thread. Tick may destroy t (its
//   destructor calls Stop first), so after Tick returns the backend must look t up again
//   rather than touch it.
class TimerBackend {
 public:
  virtual ~TimerBackend() = default;
  virtual void Start(TTimer* timer, unsigned interval_ms) = 0;
  virtual void Stop(TTimer* timer) = 0;
};

// Installs the backend used from then on by timers that start; nullptr restores ManualTimers.
// Timers that run keep the backend they were started on until they stop.
void SetTimerBackend(TimerBackend* backend);
TimerBackend* CurrentTimerBackend();

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner = nullptr);
  ~TTimer() override;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);  // 0 stops the timer
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  const std::function<void()>& OnTimer() const { return on_timer_; }
  void SetOnTimer(std::function<void()> handler);  // an empty function stops the timer

  // True while the timer ticks (enabled, interval above 0, a handler set).
  bool Running() const { return backend_ != nullptr; }

  // Backend side: one period has passed. Runs the handler and handles what escapes it.
  void Tick();

 private:
  void Update();

  unsigned interval_ = 1000;
  bool enabled_ = true;
  std::function<void()> on_timer_;
  TimerBackend* backend_ = nullptr;  // the backend it runs on, none when stopped
};

// The default backend: a clock of its own, moved by tests.
class ManualTimers {
 public:
  // Moves the clock by ms, firing every tick that falls due on the way, in the order of
  // their times (timers due at the same moment in the order they were started). A timer
  // with period p started at t ticks at t + p, t + 2p, ...
  static void Advance(unsigned ms);
  // Milliseconds since the program started using the clock.
  static uint64_t Now();
  // How many timers run on this backend.
  static int RunningCount();
  static TimerBackend* Backend();
};

}  // namespace platform
