// Files for tests and benchmarks, header only, no test framework needed:
//   ReadFile(path)         the whole file as bytes; "" when it cannot be read
//   ReadFileIfThere(path)  the same, or nothing when the file cannot be opened
//   WriteFile(path, bytes) creates or replaces the file
//   TempDir dir{"tag"}     a fresh folder <system temp>/orv_tag_<pid>_<n>, removed with the
//                          object; dir.File("a.wav") names a file in it, dir.Write("a", bytes)
//                          writes one and returns its name
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace testsupport {

inline std::optional<std::string> ReadFileIfThere(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string ReadFile(const std::filesystem::path& path) {
  return ReadFileIfThere(path).value_or(std::string());
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class TempDir {
 public:
  explicit TempDir(const std::string& tag) {
    static std::atomic<unsigned> count{0};
    path = std::filesystem::temp_directory_path() /
           ("orv_" + tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(count++));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return (path / name).string(); }
  std::string Write(const std::string& name, const std::string& bytes) const {
    WriteFile(path / name, bytes);
    return File(name);
  }

  std::filesystem::path path;
};

}  // namespace testsupport
