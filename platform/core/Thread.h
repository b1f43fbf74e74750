// A worker thread in the manner of the class library's: created running, with a terminate
// flag and a synchronized call into the main thread. All real work of this program runs on
// the main thread; a worker only hands it a call and waits.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {

class TThread {
 public:
  // The body starts at once unless createSuspended; Start() releases a suspended thread.
  explicit TThread(bool createSuspended);
  virtual ~TThread();  // releases: see WaitAndRelease
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Start();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  bool Finished() const;

  // Derived classes must call this first thing in their destructor: waits for the body to
  // end, serving on this (main) thread a synchronized call the body has pending meanwhile.
  void WaitAndRelease();

 protected:
  virtual void Execute() = 0;
  // From the body: runs call on the main thread and returns when it has run. An exception
  // thrown by call comes back here and is rethrown in the body.
  void Synchronize(const std::function<void()>& call);

 private:
  void Run();

  // Shared with calls still queued on the main thread, which may outlive this object.
  struct Shared {
    std::mutex m;
    std::condition_variable cv;
    bool started = false;
    bool released = false;
    bool finished = false;
    bool pendingCall = false;
    bool callDone = false;
    std::function<void()> call;
    std::exception_ptr callError;
    // Runs the pending call, if any, on the calling (main) thread.
    void ServeCall();
  };

  std::atomic<bool> terminated_{false};
  std::shared_ptr<Shared> s_ = std::make_shared<Shared>();
  std::thread thread_;
};

}  // namespace platform
