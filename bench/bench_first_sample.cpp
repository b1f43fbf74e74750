// The time from the release of Enter on "Leer" to the first sound handed to the sound device,
// on the main window as the program makes it (offscreen, SDL's silent driver), and the peak
// memory of a whole reading.
//
//   bench_first_sample TEXT_FILE [RUNS] [--whole]
//
// Loads TEXT_FILE into the text box as the open dialog would, then RUNS times (10 by default)
// reads it from the start and stops at the first non-silent buffer. With --whole it then
// reads the whole text to its end. Prints the times and the peak resident memory.
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ZIriD.h"
#include "platform/audio/SoundOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/testing/Testing.h"
#include "speech/RUZIZ.h"
#include "tests/support/Files.h"
#include "tests/support/MainWindow.h"
#include "tests/support/ServeWindow.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::atomic<Clock::rep> firstSound{0};  // 0 until a buffer with sound has been filled

template <class Done>
bool ServeUntil(Done done, int seconds) {
  return testsupport::ServeWindowUntil(done, std::chrono::seconds(seconds), 1);
}

long PeakKiB() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s TEXT_FILE [RUNS] [--whole]\n", argv[0]);
    return 2;
  }
  int runs = 10;
  bool whole = false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--whole") == 0)
      whole = true;
    else
      runs = std::max(1, std::atoi(argv[i]));
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const testsupport::TempDir temp{"bench"};
  setenv("TEMP", temp.path.c_str(), 1);

  ui::testing::App();
  TZedUdezuv* w = testsupport::CreateMainWindow();
  if (!w->Voices) return 1;
  w->R1->LoadFromFile(argv[1]);

  platform::SoundOutput::SetFillObserver([](const uint8_t* b, size_t n, uint8_t silence) {
    if (firstSound.load() != 0) return;
    for (size_t i = 0; i < n; ++i)
      if (b[i] != silence) {
        Clock::rep zero = 0;
        firstSound.compare_exchange_strong(zero, Clock::now().time_since_epoch().count());
        return;
      }
  });

  std::vector<double> ms;
  for (int r = 0; r < runs; ++r) {
    w->R1->SetSelStart(0);
    w->QueLB->SetFocus();
    ui::testing::KeyPress(ui::VK_RETURN, {}, w);
    firstSound = 0;
    const Clock::time_point released = Clock::now();
    ui::testing::KeyRelease(ui::VK_RETURN, {}, false, w);
    if (!ServeUntil([] { return firstSound.load() != 0; }, 10)) {
      std::fprintf(stderr, "no sound reached the device\n");
      return 1;
    }
    const auto heard = Clock::time_point(Clock::duration(firstSound.load()));
    ms.push_back(std::chrono::duration<double, std::milli>(heard - released).count());
    ui::testing::KeyClick(ui::VK_ESCAPE, {}, w);
    ui::testing::ProcessMessages(50);
  }
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  std::printf(
      "first sound after the release of Enter, %d runs: min %.1f ms, median %.1f ms, "
      "max %.1f ms\n",
      runs, sorted.front(), sorted[sorted.size() / 2], sorted.back());

  if (whole) {
    const auto start = Clock::now();
    w->R1->SetSelStart(0);
    w->QueLB->SetFocus();
    ui::testing::KeyClick(ui::VK_RETURN, {}, w);
    if (!ServeUntil([&] { return w->Voices->FTimer->Interval() == 0; }, 900)) {
      std::fprintf(stderr, "the reading did not end\n");
      return 1;
    }
    std::printf("whole reading: %.1f s\n",
                std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::printf("peak resident memory: %.1f MB\n", double(PeakKiB()) / 1024.0);

  platform::SoundOutput::SetFillObserver({});
  w->Voices->Stop();
  delete ZedUdezuv;
  ZedUdezuv = nullptr;
  return 0;
}
