// A fresh folder per test for the temporary WAV file and the captured sound.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace speechtest {

struct TestDir {
  std::filesystem::path path;
  TestDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path =
        std::filesystem::temp_directory_path() /
        ("orv_speech_" + std::string(info ? info->name() : "x") + "_" + std::to_string(::getpid()) +
         "_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(path);
  }
  ~TestDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace speechtest
