// Every seed and every kept regression input of the fuzz targets, through the same entry
// points, without libFuzzer: the normal and the sanitizer builds replay them all.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/fuzz/FuzzEntries.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace fuzz {
void PrintTo(const Target& t, std::ostream* os) { *os << t.name; }
}  // namespace fuzz

namespace {

class Replay : public testing::TestWithParam<fuzz::Target> {};

std::vector<fs::path> FilesIn(const fs::path& dir) {
  std::vector<fs::path> files;
  if (!fs::is_directory(dir)) return files;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST_P(Replay, SeedsAndRegressionsPassTheirChecks) {
  const fuzz::Target& t = GetParam();
  const fs::path root = ORV_FUZZ_DIR;
  const std::vector<fs::path> seeds = FilesIn(root / "corpus" / t.name);
  EXPECT_FALSE(seeds.empty()) << "no seeds for " << t.name;
  std::vector<fs::path> all = seeds;
  for (const fs::path& p : FilesIn(root / "regressions" / t.name)) all.push_back(p);
  for (const fs::path& p : all) {
    EXPECT_EQ(t.run(testsupport::ReadFile(p)), "") << p;
  }
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Replay, testing::ValuesIn(fuzz::kTargets),
                         [](const testing::TestParamInfo<fuzz::Target>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
