#include "platform/core/Exceptions.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {
std::mutex hook_mutex;
std::function<void(const std::string&)>& Hook() {
  static std::function<void(const std::string&)> hook;
  return hook;
}

void Show(const std::string& message) {
  std::function<void(const std::string&)> show;
  {
    std::lock_guard<std::mutex> lock(hook_mutex);
    show = Hook();
  }
  if (show) {
    show(message);
  } else {
    std::fprintf(stderr, "%s\n", message.c_str());
  }
}
}  // namespace

void HandleException(std::exception_ptr error) {
  if (!error) return;
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
  } catch (const std::exception& e) {
    Show(e.what());
  } catch (...) {
    Show("Unknown exception");
  }
}

void SetErrorBoxHook(std::function<void(const std::string& message)> show) {
  std::lock_guard<std::mutex> lock(hook_mutex);
  Hook() = std::move(show);
}

}  // namespace platform
