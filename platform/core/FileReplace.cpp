#include "platform/core/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <system_error>

namespace platform {
namespace fs = std::filesystem;

namespace {
std::string Hex(unsigned long long v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", v);
  return buf;
}

// A scratch name beside the target that no one else is using: created exclusively, so a
// file or link already standing there is never opened. Null, with errno set, when none can
// be created.
std::FILE* OpenScratch(const fs::path& target, fs::path& scratch) {
  static std::atomic<unsigned long long> counter{0};
  static const unsigned long long salt = std::random_device{}();
  for (int attempt = 0; attempt < 100; ++attempt) {
    scratch = target;
    scratch += ".new-" + Hex(salt ^ (++counter * 0x9E3779B97F4A7C15ull));
    if (std::FILE* f = std::fopen(scratch.c_str(), "wbx")) return f;
    if (errno != EEXIST) break;
  }
  return nullptr;
}
}  // namespace

int TrySaveReplacing(const std::string& path, const void* data, std::size_t size,
                     FileIdentity* written) {
  const fs::path target(path);
  fs::path scratch;
  std::FILE* f = OpenScratch(target, scratch);
  if (!f) return errno ? errno : EIO;
  int err = 0;
  auto note = [&err](bool ok) {
    if (!ok && err == 0) err = errno ? errno : EIO;
  };
  errno = 0;
  note(size == 0 || std::fwrite(data, 1, size, f) == size);
  note(std::fflush(f) == 0);
  // Taken from the open file, once all is written: the rename keeps it, and no one else's
  // file that comes to stand at the name can be taken for it.
  const std::optional<FileIdentity> identity = IdentityOfOpen(fileno(f));
  note(identity.has_value());
  note(std::fclose(f) == 0);
  std::error_code ec;
  if (err == 0) {
    fs::rename(scratch, target, ec);
    if (ec) err = ec.value();
  }
  if (err != 0) fs::remove(scratch, ec);
  if (err == 0 && written) *written = *identity;
  return err;
}

FileIdentity SaveReplacing(const std::string& path, const void* data, std::size_t size) {
  FileIdentity written;
  if (TrySaveReplacing(path, data, size, &written) != 0)
    throw std::runtime_error("Error al escribir " + path);
  return written;
}

}  // namespace platform
