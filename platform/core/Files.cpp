#include "platform/core/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace platform {
namespace fs = std::filesystem;
namespace {
std::string& ProgramFileOverride() {
  static std::string path;
  return path;
}
}  // namespace

std::string GetEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

bool DirectoryExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

bool ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  fs::create_directories(path, ec);
  return DirectoryExists(path);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(path, ec) && !fs::is_directory(path, ec);
}

bool CanWriteIn(const std::string& folder) {
  if (!DirectoryExists(folder)) return false;
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path scratch = fs::path(folder) / ("~$orv_probe_" + std::to_string(::getpid()) + "_" +
                                                 std::to_string(++counter));
    const int fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    // A full disk often still takes an empty file: only a written byte tells.
    const bool written = ::write(fd, "", 1) == 1 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    ::unlink(scratch.c_str());
    return written && closed;
  }
  return false;
}

bool DeleteFile(const std::string& path) {
  std::error_code ec;
  return FileExists(path) && fs::remove(path, ec);
}

namespace {
std::optional<FileIdentity> IdentityOfStat(const struct stat& st) {
  if (!S_ISREG(st.st_mode)) return std::nullopt;
  FileIdentity id;
  id.device = static_cast<std::uint64_t>(st.st_dev);
  id.inode = static_cast<std::uint64_t>(st.st_ino);
  id.size = static_cast<std::uint64_t>(st.st_size);
  id.writtenNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}
}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return IdentityOfStat(st);
}

std::optional<FileIdentity> IdentityOfOpen(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  return IdentityOfStat(st);
}

std::string ProgramFile() {
  if (!ProgramFileOverride().empty()) return ProgramFileOverride();
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string ProgramFolder() {
  std::string file = ProgramFile();
  auto slash = file.rfind(PathDelim);
  return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

void SetProgramFileForTesting(const std::string& path) { ProgramFileOverride() = path; }

}  // namespace platform
