// Loading files into the text box, Enter on "Leer", and one timer tick of a reading at the
// end of a big text.
//
//   bench_loading [SOURCE_TEXT]     (default: bench/texto.txt beside the program's source)
//
// Builds plain texts of 1, 10 and 50 MB and a rich text of 10 MB from SOURCE_TEXT, and two
// files of 2 MB that are one line each: one without a blank, one of nested braces (refused as
// rich text, so shown as plain). Loads each into the main window's text box as the open
// dialog would (offscreen) and prints the time until the window serves its messages again.
// Then, with the 50 MB text loaded and with a small one, prints the CPU time of Enter on
// "Leer" (up to the reading's start) and what one tick that cuts the next sentence and moves
// the caret costs, reading from a sentence near the end. Targets: 50 MB under 10 s, 1 MB
// under 0.3 s, each one-line file under 1 s, Enter and the tick at the end of the big text as
// cheap as in the small one.
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/ZIriD.h"
#include "bench/BenchSupport.h"
#include "platform/ui/Application.h"
#include "platform/ui/testing/Testing.h"
#include "speech/RUZIZ.h"
#include "tests/support/Files.h"
#include "tests/support/MainWindow.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Seconds;

namespace {

// A rich text of at least `bytes` bytes: the source's lines as paragraphs, with words in
// bold, italic and underline along the way.
std::string RichText(const std::string& source, std::size_t bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : source) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c == '\\' || c == '{' || c == '}') {
      line += '\\';
      line += c;
    } else {
      line += c;
    }
  }
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
  static const char* const kOn[] = {"\\b ", "\\i ", "\\ul "};
  static const char* const kOff[] = {"\\b0 ", "\\i0 ", "\\ulnone "};
  for (std::size_t n = 0; out.size() < bytes; ++n) {
    const std::string& l = lines[n % lines.size()];
    const std::size_t cut = l.find(' ');
    if (cut == std::string::npos) {
      out += l;
    } else {
      out += kOn[n % 3] + l.substr(0, cut) + kOff[n % 3] + l.substr(cut);
    }
    out += "\\par\n";
  }
  return out + "}";
}

// Loads the file and serves the window's messages once, as the open dialog's command does.
double Load(TZedUdezuv* w, const std::string& path) {
  const auto start = Clock::now();
  w->R1->LoadFromFile(path);
  ui::testing::ProcessMessages(0);
  return Seconds(start);
}

// The cost of the tick that cuts a sentence and moves the caret, reading from byte `from`,
// as Enter on "Leer" does, over several readings, each stopped after that tick.
struct TickTimes {
  double first, median, max;
};
TickTimes Summary(std::vector<double> ms) {
  const double first = ms.front();
  std::sort(ms.begin(), ms.end());
  return {first, ms[ms.size() / 2], ms.back()};
}
TickTimes TickMs(TZedUdezuv* w, int from, int rounds) {
  const std::string text = w->R1->Text();
  std::vector<double> ms;
  for (int r = 0; r < rounds; ++r) {
    w->R1->SetSelStart(from);
    w->Voices->Speak(text.substr(static_cast<std::size_t>(from)), 5, 71, 80, -1);
    const auto start = Clock::now();
    w->Voices->TimerTick(nullptr);
    ms.push_back(Seconds(start) * 1000.0);
    if (!w->Voices->FThread || w->R1->SelStart() <= from) {
      std::fprintf(stderr, "the tick cut no sentence\n");
      std::exit(1);
    }
    w->Voices->Stop();
  }
  return Summary(std::move(ms));
}

// The CPU time of Enter on "Leer" with the caret at `from`, up to the start of the reading,
// over several readings, each stopped after it.
TickTimes EnterMs(TZedUdezuv* w, int from, int rounds) {
  std::vector<double> ms;
  w->SetActiveControl(w->QueLB);
  for (int r = 0; r < rounds; ++r) {
    w->R1->SetSelStart(from);
    std::uint16_t key = ui::VK_RETURN;
    const double start = bench::CpuSeconds();
    w->AllLBKeyUp(w->QueLB, key, {});
    ms.push_back((bench::CpuSeconds() - start) * 1000.0);
    if (w->Voices->FText.empty()) {
      std::fprintf(stderr, "Enter started no reading\n");
      std::exit(1);
    }
    w->Voices->Stop();
  }
  return Summary(std::move(ms));
}

// The start of a sentence near the end: the last line end before the last 2000 bytes.
int NearTheEnd(const std::string& text) {
  const std::size_t p = text.rfind("\r\n", text.size() > 2000 ? text.size() - 2000 : 0);
  return p == std::string::npos ? 0 : static_cast<int>(p + 2);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string source = testsupport::ReadFile(
      argc > 1 ? argv[1] : (fs::path(ORV_SOURCE_DIR) / "bench/texto.txt").string());
  if (source.empty()) {
    std::fprintf(stderr, "usage: %s [SOURCE_TEXT]\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  const testsupport::TempDir temp{"bench_loading"};
  setenv("TEMP", temp.path.c_str(), 1);

  ui::testing::App();
  TZedUdezuv* w = testsupport::CreateMainWindow();
  if (!w->Voices) return 1;

  struct File {
    const char* what;
    std::string name, bytes;
  };
  constexpr std::size_t MB = 1000 * 1000;
  const File files[] = {
      {"plain text, 1 MB", "plain1.txt", bench::Repeated(source, 1 * MB)},
      {"plain text, 10 MB", "plain10.txt", bench::Repeated(source, 10 * MB)},
      {"rich text, 10 MB", "rich10.rtf", RichText(source, 10 * MB)},
      {"one line, no blank, 2 MB", "line2.txt", std::string(2 * MB, 'a')},
      {"nested braces, 2 MB", "braces2.rtf",
       "{\\rtf1 " + std::string(MB - 7, '{') + std::string(MB, '}')},
      {"small plain text", "small.txt", source},
      {"plain text, 50 MB", "plain50.txt", bench::Repeated(source, 50 * MB)},
  };
  TickTimes smallTick{}, smallEnter{};
  for (const File& f : files) {
    const std::string path = temp.Write(f.name, f.bytes);
    const double s = Load(w, path);
    std::printf("load %-24s (%9zu bytes): %7.3f s\n", f.what, f.bytes.size(), s);
    std::fflush(stdout);
    fs::remove(path);
    if (f.name == "small.txt") {
      smallEnter = EnterMs(w, NearTheEnd(w->R1->Text()), 15);
      smallTick = TickMs(w, NearTheEnd(w->R1->Text()), 15);
    }
  }
  const TickTimes bigEnter = EnterMs(w, NearTheEnd(w->R1->Text()), 15);
  const TickTimes bigEnterStart = EnterMs(w, 0, 15);
  const TickTimes bigTick = TickMs(w, NearTheEnd(w->R1->Text()), 15);
  std::printf("Enter on \"Leer\" near the end (CPU time up to the reading's start), 15 times:\n");
  std::printf("  small text (%zu bytes): first %8.3f ms, median %8.3f ms, max %8.3f ms\n",
              source.size(), smallEnter.first, smallEnter.median, smallEnter.max);
  std::printf("  50 MB text:             first %8.3f ms, median %8.3f ms, max %8.3f ms\n",
              bigEnter.first, bigEnter.median, bigEnter.max);
  std::printf("  50 MB text, from its start: first %8.3f ms, median %8.3f ms, max %8.3f ms\n",
              bigEnterStart.first, bigEnterStart.median, bigEnterStart.max);
  std::printf("one tick near the end (cut, caret move, thread start), 15 readings:\n");
  std::printf("  small text (%zu bytes): first %8.3f ms, median %8.3f ms, max %8.3f ms\n",
              source.size(), smallTick.first, smallTick.median, smallTick.max);
  std::printf("  50 MB text:             first %8.3f ms, median %8.3f ms, max %8.3f ms\n",
              bigTick.first, bigTick.median, bigTick.max);
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  std::printf("peak resident memory: %.1f MB\n", double(ru.ru_maxrss) / 1024.0);

  delete ZedUdezuv;
  ZedUdezuv = nullptr;
  return 0;
}
