// What the benchmarks share: the process's CPU clock, the wall clock, texts made of a piece
// repeated, and the sentences a reading of a text speaks, cut as the reading cuts them.
#pragma once

#include <time.h>

#include <chrono>
#include <string>
#include <vector>

#include "speech/SentenceCutter.h"

namespace bench {

inline double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

using Clock = std::chrono::steady_clock;

inline double Seconds(Clock::time_point from) {
  return std::chrono::duration<double>(Clock::now() - from).count();
}

// The piece repeated to at least `bytes` bytes.
inline std::string Repeated(const std::string& piece, std::size_t bytes) {
  std::string out;
  out.reserve(bytes + piece.size());
  while (out.size() < bytes) out += piece;
  return out;
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
