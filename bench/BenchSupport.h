// What the benchmarks share: the process's CPU clock and the sentences a reading of a text
// speaks, cut as the reading cuts them.
#pragma once

#include <time.h>

#include <string>
#include <vector>

#include "speech/SentenceCutter.h"

namespace bench {

inline double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The sentences a reading of the text speaks.
inline std::vector<std::string> Sentences(std::string text) {
  std::vector<std::string> out;
  SentenceCursor cursor;
  std::string s;
  while (CutSentenceToSay(text, cursor, s)) {
    out.push_back(s);
    ConsumeSeparator(text, cursor);
  }
  return out;
}

}  // namespace bench
