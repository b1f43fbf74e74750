// TSFPlayer: a small non-visual component that plays the sound files of its play list
// through the media control interface, one device at a time.
#pragma once

#include <cstdint>
#include <string>

#include "platform/audio/Mci.h"
#include "platform/core/Component.h"
#include "platform/core/StringList.h"
#include "platform/core/Timer.h"

// The device mode as the player reports it: the interface's mode minus MCI_MODE_NOT_READY.
enum TSFPlayerMode : uint8_t {
  pmNotReady,
  pmStopped,
  pmPlaying,
  pmRecording,
  pmSeeking,
  pmPaused,
  pmOpen,
};

class TSFPlayer : public platform::TComponent {
 public:
  explicit TSFPlayer(platform::TComponent* AOwner = nullptr);
  ~TSFPlayer() override;

  // The play list: writing sets its whole text, a file name per line; reading gives the
  // resolved name of the current entry.
  std::string Files() const { return FFileName; }
  void SetFiles(const std::string& Value);

  void Open();
  void Close();
  void Play();
  void Pause();
  void PlayPause();
  void Seek(int32_t Position);
  void Rewind();
  void Save();
  void SetStartPos(int32_t Value);
  void SetEndPos(int32_t Value);
  void SetAudioVolume(uint16_t Value);
  uint32_t GetLength();
  TSFPlayerMode GetMode();
  uint32_t GetPosition();
  // The end-of-range timer's handler.
  void EndTimerTick();

  // The player's state is open to its users, as the speech component reads FDeviceID.
  bool FOpened = false;
  bool FUseEndTimer = false;            // Play arms the end-of-range timer
  platform::MCIDEVICEID FDeviceID = 0;  // 0 when no device is open
  uint32_t FFlags = 0;
  int32_t FStartPos = 0;  // play range, in milliseconds
  int32_t FEndPos = 0;
  uint32_t FError = 0;        // result of the last command that keeps it
  uint16_t FAudioVolume = 0;  // 0: none set
  platform::TStringList FFileList;
  int32_t FFileIndex = 0;
  std::string FDirectory;  // folder of the last absolute name opened, with its separator
  std::string FFileName;
  platform::TTimer* FEndTimer = nullptr;  // owned by the player

 private:
  bool FRestarting = false;  // SetEndPos is restarting the play
};
