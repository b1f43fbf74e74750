// A folder that can be made unwritable as a user's can, for tests of what a full or
// read-only disk does to the program:
//   ConstrainedFolder f(path, ConstrainedFolder::ReadOnly or ::Full);
//   if (!f.Available()) GTEST_SKIP();  f.Constrain();  ...  f.Release();
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace testsupport {

// A folder that can be made unwritable as a user's can: mounted read-only, or a small disk
// filled up. As root a real file system is mounted on it (a read-only bind mount, a small
// tmpfs); otherwise read-only is the folder's permissions, and a full disk cannot be had.
class ConstrainedFolder {
 public:
  enum Kind { ReadOnly, Full };
  ConstrainedFolder(std::filesystem::path path, Kind kind) : path_(std::move(path)), kind_(kind) {
    std::filesystem::create_directories(path_);
    const char* p = path_.c_str();
    if (kind_ == Full) {
      mounted_ = ::mount("tmpfs", p, "tmpfs", 0, "size=256k") == 0;
      available_ = mounted_;
    } else {
      mounted_ = ::mount(p, p, nullptr, MS_BIND, nullptr) == 0;
      // Root writes through permissions: without a mount, only others can be stopped.
      available_ = mounted_ || ::geteuid() != 0;
    }
  }
  ~ConstrainedFolder() {
    Release();
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  bool Available() const { return available_; }
  std::string Path() const { return path_.string(); }

  void Constrain() {
    if (kind_ == Full) {
      // Fill the disk to its last byte.
      const int fd = ::open((path_ / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ASSERT_GE(fd, 0);
      const std::string block(4096, 'x');
      while (::write(fd, block.data(), block.size()) > 0) {
      }
      while (::write(fd, "x", 1) > 0) {
      }
      ::close(fd);
    } else if (mounted_) {
      ASSERT_EQ(::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr),
                0);
    } else {
      ::chmod(path_.c_str(), 0555);
    }
  }
  void Release() {
    std::error_code ec;
    if (kind_ == Full)
      std::filesystem::remove(path_ / "filler", ec);
    else if (mounted_)
      ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_BIND, nullptr);
    else
      ::chmod(path_.c_str(), 0755);
  }

 private:
  std::filesystem::path path_;
  Kind kind_;
  bool mounted_ = false;
  bool available_ = false;
};

}  // namespace testsupport
