#include "platform/audio/SoundOutput.h"

#include <SDL.h>

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

// Guards the driver's state below.
std::mutex driver_mutex;
bool initialised = false;
bool on_silent_driver = false;
int open_streams = 0;

constexpr const char* kSilentDriver = "dummy";

// Read by sound threads, which may still run while the program exits: like the device table,
// it is never destroyed.
struct ObserverSlot {
  std::mutex lock;
  SoundOutput::FillObserver observer;
};
ObserverSlot& Observer() {
  static ObserverSlot* slot = new ObserverSlot;
  return *slot;
}

void SwitchToSilentDriver(const char* why) {
  std::fprintf(stderr, "orv_lp: no sound device could be opened (%s); playing silently\n", why);
  if (initialised) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  initialised = false;
  on_silent_driver = true;
  SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, kSilentDriver, SDL_HINT_OVERRIDE);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) initialised = true;
}

bool EnsureInitialised() {
  if (initialised) return true;
  if (on_silent_driver) return false;
  // SDL would otherwise turn SIGINT and SIGTERM into quit events that nobody reads, and the
  // program could no longer be interrupted or terminated.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    initialised = true;
    on_silent_driver = SDL_strcmp(SDL_GetCurrentAudioDriver(), kSilentDriver) == 0;
    return true;
  }
  SwitchToSilentDriver(SDL_GetError());
  return initialised;
}

// A buffer of about 20 to 40 ms: positions then lag what is heard by no more than that.
Uint16 BufferFrames(uint32_t rate) {
  Uint16 frames = 64;
  while (frames < 4096 && frames * 2u <= rate / 25) frames *= 2;
  return frames;
}

}  // namespace

std::unique_ptr<SoundOutput> SoundOutput::Open(const PcmFormat& format, Fill fill,
                                               std::string* error) {
  std::unique_ptr<SoundOutput> out(new SoundOutput);
  out->fill_ = std::move(fill);

  SDL_AudioSpec want{};
  want.freq = int(format.rate);
  want.format = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = Uint8(format.channels);
  want.samples = BufferFrames(format.rate);
  want.callback = &SoundOutput::Callback;
  want.userdata = out.get();

  std::lock_guard<std::mutex> lock(driver_mutex);
  if (!EnsureInitialised()) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  SDL_AudioSpec have{};
  // No changes allowed: the callback works in the file's own format, and SDL converts
  // only when the device cannot take it.
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0 && !on_silent_driver && open_streams == 0) {
    SwitchToSilentDriver(SDL_GetError());
    if (initialised) id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  }
  if (id == 0) {
    if (error) *error = SDL_GetError();
    return nullptr;
  }
  ++open_streams;
  out->device_ = id;
  out->silence_ = have.silence;
  return out;
}

SoundOutput::~SoundOutput() {
  if (device_ == 0) return;
  SDL_CloseAudioDevice(device_);  // waits for the sound thread to leave the callback
  std::lock_guard<std::mutex> lock(driver_mutex);
  --open_streams;
}

void SoundOutput::SetPaused(bool paused) { SDL_PauseAudioDevice(device_, paused ? 1 : 0); }

std::string SoundOutput::DriverName() {
  std::lock_guard<std::mutex> lock(driver_mutex);
  const char* name = initialised ? SDL_GetCurrentAudioDriver() : nullptr;
  return name ? name : "";
}

void SoundOutput::SetFillObserver(FillObserver observer) {
  std::lock_guard<std::mutex> lock(Observer().lock);
  Observer().observer = std::move(observer);
}

void SoundOutput::Callback(void* self, uint8_t* stream, int len) {
  auto* out = static_cast<SoundOutput*>(self);
  out->fill_(stream, size_t(len));
  ObserverSlot& slot = Observer();
  std::lock_guard<std::mutex> lock(slot.lock);
  if (slot.observer) slot.observer(stream, size_t(len), out->silence_);
}

}  // namespace platform
