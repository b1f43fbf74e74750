#include "platform/core/Thread.h"

#include <cstdio>
#include <cstdlib>

#include "platform/core/MainLoop.h"

namespace platform {
namespace {
// A use of the layer that can only deadlock or run a call on the wrong thread: the program
// stops here, where the fault is, rather than hang.
[[noreturn]] void Misuse(const char* rule) {
  std::fprintf(stderr, "ThreadHandle misuse: %s\n", rule);
  std::fflush(stderr);
  std::abort();
}
}  // namespace

void TThread::Shared::ServeCall() {
  std::function<void()> c;
  {
    std::lock_guard<std::mutex> l(m);
    if (!pendingCall) return;
    pendingCall = false;
    serving = true;
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
    serving = false;
    callError = err;
    callDone = true;
  }
  cv.notify_all();
}

bool TThread::Finished() const {
  std::lock_guard<std::mutex> lock(s_->m);
  return s_->finished;
}

void TThread::Synchronize(const std::function<void()>& call) {
  if (MainLoop::IsMainThread())
    Misuse(
        "Synchronize is called from the thread's body, never on the main thread, which "
        "would wait for itself to serve the call");
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

void ThreadRunner::Start() {
  if (started_) return;
  started_ = true;
  // Settles which thread is the main one, if nothing has yet, before a worker could be the
  // first to ask.
  MainLoop::IsMainThread();
  thread_ = std::thread([this] { Run(); });
}

void ThreadRunner::Run() {
  // A terminate request that came before the body started means the body never runs.
  if (!body_.terminated_) {
    try {
      body_.Execute();
    } catch (...) {
      // The silent end of a failed body: nothing reads it.
    }
  }
  {
    std::lock_guard<std::mutex> lock(body_.s_->m);
    body_.s_->finished = true;
  }
  body_.s_->cv.notify_all();
}

void ThreadRunner::WaitAndRelease() {
  const std::shared_ptr<TThread::Shared>& s = body_.s_;
  if (!thread_.joinable()) {
    std::lock_guard<std::mutex> lock(s->m);
    s->finished = true;
    return;
  }
  if (!MainLoop::IsMainThread())
    Misuse(
        "a started thread is released on the main thread only, which serves its pending "
        "call");
  {
    std::lock_guard<std::mutex> lock(s->m);
    if (s->serving)
      Misuse(
          "a thread is never released inside its own synchronized call, which waits for "
          "the release as the release waits for it");
  }
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(s->m);
      s->cv.wait(lock, [&] { return s->finished || s->pendingCall; });
      if (s->finished) break;
    }
    s->ServeCall();
  }
  thread_.join();
}

}  // namespace platform
