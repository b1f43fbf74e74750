#include "platform/audio/Mci.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/audio/SoundOutput.h"
#include "platform/audio/WaveFile.h"
#include "platform/core/SampleCodec.h"

namespace platform {
namespace {

constexpr DWORD kMaxVolume = 1000;

// One open wave-audio device: the sound of its file and a play cursor that the sound
// thread moves.
class WaveDevice {
 public:
  explicit WaveDevice(WaveData data) : data_(std::move(data)), frames_(data_.Frames()) {}

  // The sound output is opened at the first play and kept until the device closes: some
  // drivers (the silent one among them) serve only one output at a time.
  // Called under m_. That is safe only because SDL opens a device paused: its sound thread
  // takes SDL's device lock and then m_ (in Fill), so nothing here may wait for that lock
  // while holding m_ once the device runs. Starting it (Settle) happens after m_ is let go.
  bool StartOutput() {
    if (out_) return true;
    PcmFormat format{data_.rate, data_.channels, data_.bits};
    out_ = SoundOutput::Open(format, [this](uint8_t* b, size_t n) { Fill(b, n); });
    if (out_) silence_ = out_->Silence();
    return out_ != nullptr;
  }

  DWORD Ms(uint64_t frames) const { return DWORD(frames * 1000 / data_.rate); }
  DWORD LengthMs() const { return Ms(frames_); }
  // The first frame at or after a time; the length itself is the very end.
  uint64_t FrameAt(DWORD ms) const {
    if (ms >= LengthMs()) return frames_;
    return std::min(frames_, (uint64_t{ms} * data_.rate + 999) / 1000);
  }

  DWORD Mode() {
    State mode;
    {
      std::lock_guard<std::mutex> lock(m_);
      mode = mode_;
    }
    Settle(mode);
    switch (mode) {
      case kPlaying:
        return MCI_MODE_PLAY;
      case kPaused:
        return MCI_MODE_PAUSE;
      default:
        return MCI_MODE_STOP;
    }
  }
  DWORD PositionMs() {
    std::lock_guard<std::mutex> lock(m_);
    return Ms(cursor_);
  }

  MCIERROR Play(bool has_to, DWORD to_ms, bool wait) {
    State mode;
    {
      std::lock_guard<std::mutex> lock(m_);
      if (has_to && to_ms > LengthMs()) return MCIERR_OUTOFRANGE;
      const uint64_t to = has_to ? FrameAt(to_ms) : frames_;
      if (to < cursor_) return MCIERR_OUTOFRANGE;
      if (cursor_ < to && !StartOutput()) return MCIERR_WAVE_OUTPUTSUNSUITABLE;
      to_ = to;
      draining_ = false;
      mode_ = cursor_ < to_ ? kPlaying : kStopped;
      mode = mode_;
    }
    Settle(mode);
    if (wait) {
      while (Mode() == MCI_MODE_PLAY) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return MMSYSERR_NOERROR;
  }

  void Pause() {
    State mode;
    {
      std::lock_guard<std::mutex> lock(m_);
      if (mode_ == kPlaying) {
        mode_ = kPaused;
        draining_ = false;
      }
      mode = mode_;
    }
    Settle(mode);
  }

  MCIERROR Seek(bool to_start, DWORD to_ms) {
    if (!to_start && to_ms > LengthMs()) return MCIERR_OUTOFRANGE;
    {
      std::lock_guard<std::mutex> lock(m_);
      cursor_ = to_start ? 0 : FrameAt(to_ms);
      mode_ = kStopped;
      draining_ = false;
    }
    Settle(kStopped);
    return MMSYSERR_NOERROR;
  }

  MCIERROR SetVolume(DWORD value) {
    if (value > kMaxVolume) return MCIERR_OUTOFRANGE;
    std::lock_guard<std::mutex> lock(m_);
    volume_ = value;
    return MMSYSERR_NOERROR;
  }

  bool Save(const std::string& path) const { return WriteWaveFile(path, data_); }

 private:
  enum State { kStopped, kPlaying, kPaused };

  // Main thread: the output asks for buffers only while the device plays. Never called
  // under m_, as the output takes its own lock, which the sound thread holds while it fills.
  void Settle(State mode) {
    const bool run = mode == kPlaying;
    if (out_ && run != running_) {
      running_ = run;
      out_->SetPaused(!run);
    }
  }

  // Sound thread: hand the device the next buffer.
  void Fill(uint8_t* buffer, size_t bytes) {
    std::lock_guard<std::mutex> lock(m_);
    size_t done = 0;
    if (mode_ == kPlaying && draining_) {
      // The buffer that held the last sound has been taken: the sound is over.
      mode_ = kStopped;
      draining_ = false;
    } else if (mode_ == kPlaying) {
      const uint32_t align = data_.BlockAlign();
      const uint64_t frames = std::min<uint64_t>(to_ - cursor_, bytes / align);
      done = size_t(frames * align);
      const char* from = data_.samples.data() + cursor_ * align;
      if (volume_ == kMaxVolume) {
        std::memcpy(buffer, from, done);
      } else {
        Scale(from, buffer, done);
      }
      cursor_ += frames;
      if (cursor_ >= to_) draining_ = true;
    }
    std::memset(buffer + done, silence_, bytes - done);
  }

  void Scale(const char* from, uint8_t* to, size_t bytes) const {
    if (data_.bits == 8) {
      for (size_t i = 0; i < bytes; ++i) {
        const int centred = int(uint8_t(from[i])) - 128;
        to[i] = uint8_t(centred * int(volume_) / int(kMaxVolume) + 128);
      }
      return;
    }
    for (size_t i = 0; i + 1 < bytes; i += 2) {
      const int s = LoadSample(from + i);
      StoreSample(to + i, int16_t(s * int(volume_) / int(kMaxVolume)));
    }
  }

  const WaveData data_;
  const uint64_t frames_;
  uint8_t silence_ = 0;

  std::mutex m_;  // guards what follows; shared with the sound thread
  State mode_ = kStopped;
  uint64_t cursor_ = 0;    // next frame to hand to the device
  uint64_t to_ = 0;        // frame where playing ends
  bool draining_ = false;  // the last sound is in the device's buffer
  DWORD volume_ = kMaxVolume;

  bool running_ = false;  // main thread only: the output asks for buffers

  std::unique_ptr<SoundOutput> out_;  // last: closed first, before the state it reads
};

struct Table {
  std::mutex m;
  std::map<MCIDEVICEID, std::shared_ptr<WaveDevice>> devices;
  MCIDEVICEID last_id = 0;
  MciObserver observer;
};

Table& T() {
  static Table* table = new Table;  // lives to the very end: sound threads may outlast exit
  return *table;
}

std::shared_ptr<WaveDevice> Find(MCIDEVICEID id) {
  std::lock_guard<std::mutex> lock(T().m);
  auto it = T().devices.find(id);
  return it == T().devices.end() ? nullptr : it->second;
}

bool OnlyFlags(DWORD_PTR flags, DWORD allowed) { return (flags & ~DWORD_PTR(allowed)) == 0; }

bool IsWaveName(const std::string& name) {
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext == "wav";
}

MCIERROR Open(DWORD_PTR flags, MCI_OPEN_PARMS* p) {
  if (!OnlyFlags(flags, MCI_OPEN_ELEMENT | MCI_WAIT)) return MCIERR_FLAGS_NOT_COMPATIBLE;
  if (!p) return MCIERR_NULL_PARAMETER_BLOCK;
  if (!(flags & MCI_OPEN_ELEMENT) || !p->lpstrElementName) return MCIERR_MISSING_PARAMETER;
  const std::string name = p->lpstrElementName;
  if (!IsWaveName(name)) return MCIERR_EXTENSION_NOT_FOUND;

  WaveData data;
  switch (ReadWaveFile(name, data)) {
    case WaveError::None:
      break;
    case WaveError::NotFound:
      return MCIERR_FILE_NOT_FOUND;
    default:
      return MCIERR_INVALID_FILE;
  }
  // Lengths and positions are 32-bit milliseconds; a sound longer than that (at a rate of a
  // few samples a second) could be neither measured nor played to its end.
  if (data.Frames() * 1000 / data.rate > 0xFFFFFFFFu) return MCIERR_INVALID_FILE;
  auto device = std::make_shared<WaveDevice>(std::move(data));

  std::lock_guard<std::mutex> lock(T().m);
  MCIDEVICEID id = T().last_id;
  do {
    id = MCIDEVICEID(id + 1);
  } while (id == 0 || T().devices.count(id));
  T().last_id = id;
  T().devices[id] = std::move(device);
  p->wDeviceID = id;
  return MMSYSERR_NOERROR;
}

MCIERROR Close(MCIDEVICEID id, DWORD_PTR flags) {
  if (!OnlyFlags(flags, MCI_WAIT)) return MCIERR_FLAGS_NOT_COMPATIBLE;
  std::shared_ptr<WaveDevice> device;
  {
    std::lock_guard<std::mutex> lock(T().m);
    auto it = T().devices.find(id);
    if (it == T().devices.end()) return MCIERR_INVALID_DEVICE_ID;
    device = std::move(it->second);
    T().devices.erase(it);
  }
  device.reset();  // the sound stops here
  return MMSYSERR_NOERROR;
}

MCIERROR Status(WaveDevice& d, DWORD_PTR flags, MCI_STATUS_PARMS* p) {
  if (!OnlyFlags(flags, MCI_STATUS_ITEM | MCI_WAIT)) return MCIERR_FLAGS_NOT_COMPATIBLE;
  if (!p) return MCIERR_NULL_PARAMETER_BLOCK;
  if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
  switch (p->dwItem) {
    case MCI_STATUS_MODE:
      p->dwReturn = d.Mode();
      return MMSYSERR_NOERROR;
    case MCI_STATUS_LENGTH:
      p->dwReturn = d.LengthMs();
      return MMSYSERR_NOERROR;
    case MCI_STATUS_POSITION:
      p->dwReturn = d.PositionMs();
      return MMSYSERR_NOERROR;
    default:
      return MCIERR_BAD_CONSTANT;
  }
}

MCIERROR Command(MCIDEVICEID id, UINT command, DWORD_PTR flags, void* parms) {
  if (command == MCI_OPEN) {
    if (id != 0) return MCIERR_INVALID_DEVICE_ID;
    return Open(flags, static_cast<MCI_OPEN_PARMS*>(parms));
  }
  if (command == MCI_CLOSE) return Close(id, flags);

  std::shared_ptr<WaveDevice> d = Find(id);
  if (!d) return MCIERR_INVALID_DEVICE_ID;
  switch (command) {
    case MCI_PLAY: {
      if (!OnlyFlags(flags, MCI_TO | MCI_WAIT)) return MCIERR_FLAGS_NOT_COMPATIBLE;
      auto* p = static_cast<MCI_PLAY_PARMS*>(parms);
      if ((flags & MCI_TO) && !p) return MCIERR_NULL_PARAMETER_BLOCK;
      return d->Play(flags & MCI_TO, p ? p->dwTo : 0, flags & MCI_WAIT);
    }
    case MCI_PAUSE:
      if (!OnlyFlags(flags, MCI_WAIT)) return MCIERR_FLAGS_NOT_COMPATIBLE;
      d->Pause();
      return MMSYSERR_NOERROR;
    case MCI_SEEK: {
      if (!OnlyFlags(flags, MCI_TO | MCI_SEEK_TO_START | MCI_WAIT))
        return MCIERR_FLAGS_NOT_COMPATIBLE;
      const bool to = flags & MCI_TO, start = flags & MCI_SEEK_TO_START;
      if (to && start) return MCIERR_FLAGS_NOT_COMPATIBLE;
      if (!to && !start) return MCIERR_MISSING_PARAMETER;
      auto* p = static_cast<MCI_SEEK_PARMS*>(parms);
      if (to && !p) return MCIERR_NULL_PARAMETER_BLOCK;
      return d->Seek(start, to ? p->dwTo : 0);
    }
    case MCI_SAVE: {
      if (!OnlyFlags(flags, MCI_SAVE_FILE | MCI_WAIT)) return MCIERR_FLAGS_NOT_COMPATIBLE;
      auto* p = static_cast<MCI_SAVE_PARMS*>(parms);
      if (!p) return MCIERR_NULL_PARAMETER_BLOCK;
      if (!(flags & MCI_SAVE_FILE) || !p->lpfilename) return MCIERR_MISSING_PARAMETER;
      return d->Save(p->lpfilename) ? MMSYSERR_NOERROR : MCIERR_FILE_NOT_SAVED;
    }
    case MCI_SETAUDIO: {
      if (!OnlyFlags(flags, MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE | MCI_WAIT))
        return MCIERR_FLAGS_NOT_COMPATIBLE;
      auto* p = static_cast<MCI_DGV_SETAUDIO_PARMS*>(parms);
      if (!p) return MCIERR_NULL_PARAMETER_BLOCK;
      if (!(flags & MCI_DGV_SETAUDIO_ITEM) || !(flags & MCI_DGV_SETAUDIO_VALUE))
        return MCIERR_MISSING_PARAMETER;
      if (p->dwItem != MCI_DGV_SETAUDIO_VOLUME) return MCIERR_BAD_CONSTANT;
      return d->SetVolume(p->dwValue);
    }
    case MCI_STATUS:
      return Status(*d, flags, static_cast<MCI_STATUS_PARMS*>(parms));
    default:
      return MCIERR_UNRECOGNIZED_COMMAND;
  }
}

}  // namespace

MCIERROR mciSendCommandA(MCIDEVICEID device, UINT command, DWORD_PTR flags, void* parms) {
  MciObserver observer;
  {
    std::lock_guard<std::mutex> lock(T().m);
    observer = T().observer;
  }
  if (observer) observer(device, command, flags, parms);
  return Command(device, command, flags, parms);
}

void SetMciObserver(MciObserver observer) {
  std::lock_guard<std::mutex> lock(T().m);
  T().observer = std::move(observer);
}

}  // namespace platform
