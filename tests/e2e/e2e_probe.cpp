// The real-window test's eyes on the sound: it watches the file that SDL's disk driver writes
// (rewritten each time a sound device opens, so one stretch of it per sentence) and the
// temporary WAV file, and compares what reached the device with what was written.
//
//   e2e_probe watch DEVICE_FILE WAV_FILE OUT_DIR
//       Polls every 10 ms until OUT_DIR/stop exists. Keeps each device stretch as
//       OUT_DIR/seg<k>.raw and each new WAV file as OUT_DIR/wav<k>.wav, and keeps
//       OUT_DIR/state (shell assignments, replaced whole) up to date:
//       SEGMENTS (stretches begun), NONZERO (non-silent samples heard in all),
//       WAVS (WAV files seen), WAVEXISTS (0 or 1).
//   e2e_probe match SEGMENT WAV
//       Succeeds when the stretch, from its first non-silent sample on, holds the WAV file's
//       samples from their first non-silent one on, for as long as both last (at least
//       0.05 s of sound).
//   e2e_probe rate WAV        prints the rate in the WAV header
//   e2e_probe samples FILE    prints the count of 16-bit samples of a raw file or WAV data
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Files.h"
#include "tests/support/Wav.h"

namespace fs = std::filesystem;

namespace {

using testsupport::ReadFile;
using testsupport::Samples;
using testsupport::U32;
using testsupport::WriteFile;

long NonZero(const std::string& bytes, std::size_t from, std::size_t to) {
  long n = 0;
  for (std::size_t i = from & ~std::size_t(1); i + 1 < to; i += 2)
    if (bytes[i] != 0 || bytes[i + 1] != 0) ++n;
  return n;
}

struct FileId {
  bool exists = false;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t mtime_ns = 0;
  bool operator==(const FileId&) const = default;
};

FileId Identify(const std::string& path) {
  struct stat st {};
  FileId id;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return id;
  id.exists = true;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.mtime_ns = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

int Watch(const std::string& device, const std::string& wav, const std::string& out) {
  std::string current;  // the device stretch being written
  int segments = 0;
  long nonzero = 0;
  int wavs = 0;
  FileId lastWav;
  const std::string stop = out + "/stop";
  auto keepSegment = [&] {
    if (segments > 0) WriteFile(out + "/seg" + std::to_string(segments) + ".raw", current);
  };
  for (;;) {
    const bool stopping = fs::exists(stop);
    // The device file: a shorter file than before is a new stretch.
    FileId dev = Identify(device);
    if (dev.exists) {
      if (segments == 0 || std::size_t(dev.size) < current.size()) {
        keepSegment();
        ++segments;
        current.clear();
      }
      if (std::size_t(dev.size) > current.size()) {
        std::ifstream in(device, std::ios::binary);
        in.seekg(std::streamoff(current.size()));
        std::string more(std::size_t(dev.size) - current.size(), '\0');
        in.read(more.data(), std::streamsize(more.size()));
        more.resize(std::size_t(in.gcount()));
        const std::size_t from = current.size();
        current += more;
        nonzero += NonZero(current, from, current.size());
      }
    }
    // The WAV file: a new file (it is renamed into place whole) is a new sentence's sound.
    FileId id = Identify(wav);
    if (id.exists && !(id == lastWav) && id.size >= 44) {
      std::string data = ReadFile(wav);
      if (data.size() == std::size_t(id.size)) {
        ++wavs;
        WriteFile(out + "/wav" + std::to_string(wavs) + ".wav", data);
        lastWav = id;
      }
    } else if (!id.exists) {
      lastWav = id;
    }
    {
      std::ofstream st(out + "/state.tmp", std::ios::trunc);
      st << "SEGMENTS=" << segments << "\nNONZERO=" << nonzero << "\nWAVS=" << wavs
         << "\nWAVEXISTS=" << (id.exists ? 1 : 0) << "\n";
    }
    std::error_code ec;
    fs::rename(out + "/state.tmp", out + "/state", ec);
    if (stopping) {
      keepSegment();
      return 0;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::size_t FirstSound(const std::vector<int>& s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == 0) ++i;
  return i;
}

int Match(const std::string& segPath, const std::string& wavPath) {
  const std::string seg = ReadFile(segPath), wav = ReadFile(wavPath);
  if (wav.size() < 44 || wav.compare(0, 4, "RIFF") != 0) {
    std::printf("%s is no WAV file\n", wavPath.c_str());
    return 1;
  }
  const auto heard = Samples(seg, 0), written = Samples(wav, 44);
  const std::size_t h = FirstSound(heard), w = FirstSound(written);
  const std::size_t n = std::min(heard.size() - h, written.size() - w);
  const std::size_t rate = U32(wav, 24);
  if (n < rate / 20) {
    std::printf("too little sound to compare: %zu samples heard, %zu written\n", heard.size() - h,
                written.size() - w);
    return 1;
  }
  for (std::size_t i = 0; i < n; ++i)
    if (heard[h + i] != written[w + i]) {
      std::printf("differs at sample %zu of the sound (%d heard, %d written)\n", i, heard[h + i],
                  written[w + i]);
      return 1;
    }
  std::printf("%zu samples alike\n", n);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string cmd = argc > 1 ? argv[1] : "";
  if (cmd == "watch" && argc == 5) return Watch(argv[2], argv[3], argv[4]);
  if (cmd == "match" && argc == 4) return Match(argv[2], argv[3]);
  if (cmd == "rate" && argc == 3) {
    const std::string wav = ReadFile(argv[2]);
    if (wav.size() < 44) return 1;
    std::printf("%u\n", U32(wav, 24));
    return 0;
  }
  if (cmd == "samples" && argc == 3) {
    const std::string data = ReadFile(argv[2]);
    const std::size_t from = data.compare(0, 4, "RIFF") == 0 ? 44 : 0;
    std::printf("%zu\n", data.size() > from ? (data.size() - from) / 2 : 0);
    return 0;
  }
  std::fprintf(stderr, "usage: %s watch DEVICE WAV OUT | match SEG WAV | rate WAV | samples F\n",
               argv[0]);
  return 2;
}
