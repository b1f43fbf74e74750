#include "platform/core/Thread.h"

#include "platform/core/MainLoop.h"

namespace platform {

void TThread::Shared::ServeCall() {
  std::function<void()> c;
  {
    std::lock_guard<std::mutex> l(m);
    if (!pendingCall) return;
    pendingCall = false;
    c = std::move(call);
  }
  std::exception_ptr err;
  try {
    c();
  } catch (...) {
    err = std::current_exception();
  }
  {
    std::lock_guard<std::mutex> l(m);
    callError = err;
    callDone = true;
  }
  cv.notify_all();
}

TThread::TThread(bool createSuspended) {
  thread_ = std::thread([this] { Run(); });
  if (!createSuspended) Start();
}

TThread::~TThread() { WaitAndRelease(); }

bool TThread::Finished() const {
  std::lock_guard<std::mutex> lock(s_->m);
  return s_->finished;
}

void TThread::Start() {
  {
    std::lock_guard<std::mutex> lock(s_->m);
    s_->started = true;
  }
  s_->cv.notify_all();
}

void TThread::Run() {
  bool run;
  {
    std::unique_lock<std::mutex> lock(s_->m);
    s_->cv.wait(lock, [this] { return s_->started || s_->released; });
    run = s_->started && !s_->released;
  }
  // A terminate request that came before the body started means the body never runs.
  if (run && !terminated_) {
    try {
      Execute();
    } catch (...) {
      // The silent end of a failed body: nothing reads it.
    }
  }
  {
    std::lock_guard<std::mutex> lock(s_->m);
    s_->finished = true;
  }
  s_->cv.notify_all();
}

void TThread::Synchronize(const std::function<void()>& call) {
  std::shared_ptr<Shared> s = s_;
  {
    std::lock_guard<std::mutex> lock(s->m);
    s->call = call;
    s->pendingCall = true;
    s->callDone = false;
    s->callError = nullptr;
  }
  // A release may already be waiting for this thread: it serves the call as well.
  s->cv.notify_all();
  // Served by the main loop, or by a release that is waiting for this thread, whichever
  // comes first; the other finds nothing pending.
  MainLoop::Post([s] { s->ServeCall(); });
  std::unique_lock<std::mutex> lock(s->m);
  s->cv.wait(lock, [&] { return s->callDone; });
  if (s->callError) std::rethrow_exception(s->callError);
}

void TThread::WaitAndRelease() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(s_->m);
    s_->released = true;
  }
  s_->cv.notify_all();
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(s_->m);
      s_->cv.wait(lock, [this] { return s_->finished || s_->pendingCall; });
      if (s_->finished) break;
    }
    s_->ServeCall();
  }
  thread_.join();
}

}  // namespace platform
