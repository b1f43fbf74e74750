// One libFuzzer program; ORV_FUZZ_ENTRY names the entry point it drives.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault =
      fuzz::ORV_FUZZ_ENTRY(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!fault.empty()) {
    std::fprintf(stderr, "fuzz check failed: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
