// A worker thread in the manner of the class library's, split in two so that its lifetime
// cannot be got wrong:
//  - TThread is the thread's body and data: derive from it and override Execute. On its own
//    it is a plain object; no thread runs it.
//  - ThreadHandle<T> is the only way to run one. It builds the T, lets the caller fill it,
//    starts the OS thread on Start() (so the body never runs before the T is fully built),
//    and on destruction waits for the thread to end, serving a synchronized call it has
//    pending, before the T is destroyed (so a call never runs on a half-destroyed object).
// All real work of this program runs on the main thread; a worker only hands it a call and
// waits. Three uses would deadlock or run the call on the wrong thread; each aborts the
// program at once with a message naming the rule it breaks:
//  - Synchronize is called only from the body's own thread, never on the main thread;
//  - a started handle is released on the main thread only;
//  - a handle is never released inside its own synchronized call.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

namespace platform {

template <class T>
class ThreadHandle;

class TThread {
 public:
  TThread() = default;
  virtual ~TThread() = default;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // True once the body has ended (or was dropped without running).
  bool Finished() const;

 protected:
  virtual void Execute() = 0;
  // From the body: runs call on the main thread and returns when it has run. An exception
  // thrown by call comes back here and is rethrown in the body. On the main thread itself
  // it aborts: nothing would be left to serve the call.
  void Synchronize(const std::function<void()>& call);

 private:
  template <class T>
  friend class ThreadHandle;
  friend class ThreadRunner;

  // Shared with calls still queued on the main thread, which may outlive this object.
  struct Shared {
    std::mutex m;
    std::condition_variable cv;
    bool finished = false;
    bool pendingCall = false;
    bool callDone = false;
    bool serving = false;  // the main thread is running the call
    std::function<void()> call;
    std::exception_ptr callError;
    // Runs the pending call, if any, on the calling (main) thread.
    void ServeCall();
  };

  std::atomic<bool> terminated_{false};
  std::shared_ptr<Shared> s_ = std::make_shared<Shared>();
};

// The untyped half of ThreadHandle: starting, and the wait of the release.
// Only a ThreadHandle makes one.
class ThreadRunner {
 public:
  ~ThreadRunner() { WaitAndRelease(); }
  ThreadRunner(const ThreadRunner&) = delete;
  ThreadRunner& operator=(const ThreadRunner&) = delete;

 private:
  template <class T>
  friend class ThreadHandle;
  explicit ThreadRunner(TThread& body) : body_(body) {}
  void Start();
  // Waits for the body to end, serving on this (main) thread a synchronized call the body
  // has pending meanwhile. A body that was never started is marked finished at once.
  // Aborts when called on another thread than the main one, or from inside the call.
  void WaitAndRelease();
  void Run();
  TThread& body_;
  std::thread thread_;
  bool started_ = false;
};

template <class T>
class ThreadHandle final {
  static_assert(std::is_base_of_v<TThread, T>, "a thread's body derives from TThread");

 public:
  // Builds the body; nothing runs until Start.
  template <class... Args>
  explicit ThreadHandle(Args&&... args)
      : body_(std::make_unique<T>(std::forward<Args>(args)...)), runner_(*body_) {}
  // Members go in reverse order: the runner waits for the thread, then the body goes.
  ~ThreadHandle() = default;
  ThreadHandle(const ThreadHandle&) = delete;
  ThreadHandle& operator=(const ThreadHandle&) = delete;

  // Starts the body once; later calls do nothing. A body terminated before it starts never
  // runs its Execute.
  void Start() { runner_.Start(); }

  T& operator*() const { return *body_; }
  T* operator->() const { return body_.get(); }

 private:
  const std::unique_ptr<T> body_;
  ThreadRunner runner_;
};

}  // namespace platform
