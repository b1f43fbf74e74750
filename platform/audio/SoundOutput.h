// A sound output stream at a given PCM format, fed from a callback on the sound thread.
//
// The first stream opened brings up the sound system on the driver that SDL_AUDIODRIVER
// names, or on SDL's default choice. When no sound device can be opened there, it says so
// once on standard error and goes on with the silent driver, which still consumes the sound
// in real time, so that playback takes as long as it would be heard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

struct PcmFormat {
  uint32_t rate = 22050;
  uint16_t channels = 1;
  uint16_t bits = 16;  // 8 (unsigned) or 16 (signed little-endian)
};

class SoundOutput {
 public:
  // Fills one device buffer of `bytes` bytes; runs on the sound thread.
  using Fill = std::function<void(uint8_t* buffer, size_t bytes)>;

  // Opens a stream that reaches the device in exactly this format, paused. Returns nullptr
  // and an explanation when no stream can be had.
  static std::unique_ptr<SoundOutput> Open(const PcmFormat& format, Fill fill,
                                           std::string* error = nullptr);
  // Stops the sound at once; no Fill runs after it returns.
  ~SoundOutput();
  SoundOutput(const SoundOutput&) = delete;
  SoundOutput& operator=(const SoundOutput&) = delete;

  // A paused stream asks for nothing.
  void SetPaused(bool paused);
  // The byte value of silence in this format.
  uint8_t Silence() const { return silence_; }

  // The name of the sound driver in use, empty before the first stream.
  static std::string DriverName();

  // For measurements: sees every buffer just after it was filled, on the sound thread, with
  // the stream's silence value. An empty function removes it.
  using FillObserver = std::function<void(const uint8_t* buffer, size_t bytes, uint8_t silence)>;
  static void SetFillObserver(FillObserver observer);

 private:
  SoundOutput() = default;
  static void Callback(void* self, uint8_t* stream, int len);

  uint32_t device_ = 0;
  uint8_t silence_ = 0;
  Fill fill_;
};

}  // namespace platform
