#include "platform/audio/Tone.h"

#include <SDL.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/SoundOutput.h"

namespace platform {
namespace {

constexpr uint32_t kRate = 22050;
constexpr double kFrequency = 880.0;
constexpr int kSamples = kRate / 10;  // 100 ms
constexpr int kRamp = kRate / 100;    // 10 ms of attack and of release
constexpr double kAmplitude = 0.3 * 32767;

// The tone as 16-bit samples: a sine with raised-cosine edges, so that it starts and stops
// without a click. A tone's thread may outlive the bounded wait at the program's end, so
// what it reads is never destroyed (like the sound devices' table).
const std::vector<int16_t>& ToneSamples() {
  static const std::vector<int16_t>* samples = new std::vector<int16_t>([] {
    const double pi = std::acos(-1.0);
    std::vector<int16_t> s(kSamples);
    for (int i = 0; i < kSamples; ++i) {
      double gain = 1.0;
      const int edge = std::min(i, kSamples - 1 - i);
      if (edge < kRamp) gain = 0.5 - 0.5 * std::cos(pi * edge / kRamp);
      s[std::size_t(i)] =
          int16_t(std::lround(kAmplitude * gain * std::sin(2 * pi * kFrequency * i / kRate)));
    }
    return s;
  }());
  return *samples;
}

// The tones whose stream is not closed yet.
struct Playing {
  std::mutex lock;
  std::condition_variable changed;
  int count = 0;
};
Playing& Tones() {
  static Playing* playing = new Playing;
  return *playing;
}

// One tone on its own stream; the sound thread tells when the last sample has gone out.
struct Tone {
  std::mutex m;
  std::condition_variable done_cv;
  std::size_t pos = 0;
  int silent = 0;  // buffers filled after the tone's end
  bool done = false;

  void Fill(uint8_t* buffer, std::size_t bytes) {
    const auto& s = ToneSamples();
    std::lock_guard<std::mutex> lock(m);
    std::size_t n = std::min(bytes / 2, s.size() - pos);
    std::memcpy(buffer, s.data() + pos, n * 2);
    std::memset(buffer + n * 2, 0, bytes - n * 2);
    // Done once two whole buffers of silence followed the tone: the one before them, with
    // the tone's end, has gone out to the device.
    if (n == 0 && pos == s.size() && ++silent >= 2) done = true;
    pos += n;
    if (done) done_cv.notify_all();
  }
};

void Finished() {
  Playing& tones = Tones();
  std::lock_guard<std::mutex> lock(tones.lock);
  --tones.count;
  tones.changed.notify_all();
}

}  // namespace

void PlayBeepTone(std::function<void()> noDevice) {
  {
    std::lock_guard<std::mutex> lock(Tones().lock);
    ++Tones().count;
  }
  // Opening a device may take a while (the sound server); the caller does not wait for it.
  std::thread([noDevice = std::move(noDevice)] {
    auto tone = std::make_shared<Tone>();
    PcmFormat format;
    format.rate = kRate;
    std::unique_ptr<SoundOutput> out =
        SoundOutput::Open(format, [tone](uint8_t* b, std::size_t n) { tone->Fill(b, n); });
    if (out && SoundOutput::DriverName() != "dummy") {
      out->SetPaused(false);
      std::unique_lock<std::mutex> lock(tone->m);
      tone->done_cv.wait_for(lock, std::chrono::seconds(2), [&] { return tone->done; });
    } else if (noDevice) {
      noDevice();  // nobody would hear it
    }
    out.reset();
    SDL_TLSCleanup();  // SDL's data for a thread it did not make
    Finished();
  }).detach();
}

void WaitForBeepTones() {
  Playing& tones = Tones();
  std::unique_lock<std::mutex> lock(tones.lock);
  tones.changed.wait_for(lock, std::chrono::seconds(1), [&] { return tones.count == 0; });
}

}  // namespace platform
