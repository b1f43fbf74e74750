#include "platform/core/Beep.h"

#include <atomic>
#include <mutex>

namespace platform {
namespace {
std::mutex hook_mutex;
std::function<void(unsigned)>& Hook() {
  static std::function<void(unsigned)> hook;
  return hook;
}
std::atomic<int> count{0};
std::atomic<unsigned> last{MB_OK};
}  // namespace

bool MessageBeep(unsigned type) {
  count.fetch_add(1);
  last.store(type);
  std::function<void(unsigned)> beep;
  {
    std::lock_guard<std::mutex> lock(hook_mutex);
    beep = Hook();
  }
  if (beep) beep(type);
  return true;
}

void SetBeepHook(std::function<void(unsigned type)> beep) {
  std::lock_guard<std::mutex> lock(hook_mutex);
  Hook() = std::move(beep);
}

int BeepCount() { return count.load(); }
unsigned LastBeepType() { return last.load(); }

}  // namespace platform
