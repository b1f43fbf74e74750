#include "player/SFPlayer.h"

#include "platform/core/Beep.h"

using namespace platform;

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the name of an entry starts from. A drive name ("C:\..." or "C:/...", the colon and
// separator first found at the second character) and a root name ("/...") are absolute;
// a network name ("\\..." or "//...") stands on its own; anything else is relative.
enum class NameKind { Absolute, Network, Relative };

NameKind KindOf(const std::string& name) {
  if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) return NameKind::Network;
  if (!name.empty() && name[0] == '/') return NameKind::Absolute;
  size_t first = std::string::npos;
  for (size_t i = 0; i + 1 < name.size(); ++i) {
    if (name[i] == ':' && IsSeparator(name[i + 1])) {
      first = i;
      break;
    }
  }
  return first == 1 ? NameKind::Absolute : NameKind::Relative;
}

}  // namespace

TSFPlayer::TSFPlayer(TComponent* AOwner) : TComponent(AOwner) {}

TSFPlayer::~TSFPlayer() {
  if (FDeviceID != 0) {
    MCI_GENERIC_PARMS p{};
    mciSendCommandA(FDeviceID, MCI_CLOSE, MCI_WAIT, &p);
  }
  delete FEndTimer;
}

void TSFPlayer::SetFiles(const std::string& Value) { FFileList.SetText(Value); }

void TSFPlayer::Open() {
  if (FFileList.Count() == 0) return;
  if (FOpened) Close();
  FFileName = FFileList.Strings(FFileIndex);

  switch (KindOf(FFileName)) {
    case NameKind::Absolute: {
      size_t last = FFileName.size();
      while (last > 0 && !IsSeparator(FFileName[last - 1])) --last;
      FDirectory = FFileName.substr(0, last);
      break;
    }
    case NameKind::Relative:
      if (!FDirectory.empty()) FFileName = FDirectory + FFileName;
      break;
    case NameKind::Network:
      break;
  }

  MCI_OPEN_PARMS p{};
  p.lpstrElementName = FFileName.c_str();
  FFlags = MCI_OPEN_ELEMENT | MCI_WAIT;
  FError = mciSendCommandA(0, MCI_OPEN, FFlags, &p);
  if (FError != 0) {
    MessageBeep(MB_OK);
    return;
  }
  FOpened = true;
  FDeviceID = p.wDeviceID;
  if (FAudioVolume > 0) SetAudioVolume(FAudioVolume);
  SetStartPos(0);
  SetEndPos(int32_t(GetLength()));
}

void TSFPlayer::Close() {
  if (FDeviceID == 0) return;
  MCI_GENERIC_PARMS p{};
  FFlags = MCI_WAIT;
  FError = mciSendCommandA(FDeviceID, MCI_CLOSE, FFlags, &p);
  if (FError != 0) return;
  FOpened = false;
  FDeviceID = 0;
  if (FFileList.Count() != 1) {
    FStartPos = 0;
    FEndPos = 0;
  }
}

void TSFPlayer::Play() {
  if (FFileList.Count() == 0) return;
  if (!FOpened) Open();

  if (int64_t{GetLength()} < FEndPos) SetEndPos(int32_t(GetLength()));
  if (FStartPos < 0) SetStartPos(0);
  if (FStartPos > 0 && FStartPos >= FEndPos) SetEndPos(int32_t(GetLength()));
  if (FEndPos <= FStartPos) {
    SetStartPos(0);
    SetEndPos(int32_t(GetLength()));
  }

  if (int64_t{GetPosition()} >= FEndPos) Rewind();

  MCI_PLAY_PARMS p{};
  FFlags = FEndPos > 0 ? MCI_TO : 0;
  p.dwTo = DWORD(FEndPos);
  mciSendCommandA(FDeviceID, MCI_PLAY, FFlags, &p);

  if (!FEndTimer && FUseEndTimer) FEndTimer = new TTimer(this);
  if (FEndTimer) {
    int64_t interval;
    if (FEndPos > FStartPos) {
      interval = int64_t{FEndPos} - GetPosition();
    } else {
      interval = int64_t{GetLength()} - FStartPos;
      FEndPos = int32_t(interval);
    }
    FEndTimer->SetInterval(interval > 0 ? unsigned(interval) : 0);
    FEndTimer->SetOnTimer([this] { EndTimerTick(); });
  }
}

void TSFPlayer::Pause() {
  if (!FOpened) return;
  if (FEndTimer) FEndTimer->SetInterval(0);
  MCI_GENERIC_PARMS p{};
  FFlags = 0;
  FError = mciSendCommandA(FDeviceID, MCI_PAUSE, FFlags, &p);
}

void TSFPlayer::PlayPause() {
  if (GetMode() == pmPlaying) {
    Pause();
  } else {
    Play();
  }
}

void TSFPlayer::Seek(int32_t Position) {
  if (!FOpened) return;
  MCI_SEEK_PARMS p{};
  p.dwTo = DWORD(Position);
  FFlags = MCI_TO | MCI_WAIT;
  FError = mciSendCommandA(FDeviceID, MCI_SEEK, FFlags, &p);
}

void TSFPlayer::Rewind() {
  if (FDeviceID == 0) return;
  if (GetMode() == pmRecording) Save();
  if (FStartPos > 0) {
    Seek(FStartPos);
  } else {
    MCI_SEEK_PARMS p{};
    mciSendCommandA(FDeviceID, MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &p);
  }
}

void TSFPlayer::Save() {
  if (FFileName.empty()) return;
  MCI_SAVE_PARMS p{};
  p.lpfilename = FFileName.c_str();
  FFlags = MCI_SAVE_FILE | MCI_WAIT;
  FError = mciSendCommandA(FDeviceID, MCI_SAVE, FFlags, &p);
}

void TSFPlayer::SetStartPos(int32_t Value) { FStartPos = Value; }

void TSFPlayer::SetEndPos(int32_t Value) {
  const TSFPlayerMode m = GetMode();
  FEndPos = Value;
  if (FStartPos > 0) Seek(FStartPos);
  // A start at or past the end of the file would have Play set the end again, and so on
  // without end: restart the play once only.
  if (m == pmPlaying && !FRestarting) {
    FRestarting = true;
    try {
      Play();
    } catch (...) {
      FRestarting = false;
      throw;
    }
    FRestarting = false;
  }
}

void TSFPlayer::SetAudioVolume(uint16_t Value) {
  MCI_DGV_SETAUDIO_PARMS p{};
  p.dwItem = MCI_DGV_SETAUDIO_VOLUME;
  p.dwValue = Value;
  FFlags = MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE | MCI_WAIT;
  FError = mciSendCommandA(FDeviceID, MCI_SETAUDIO, FFlags, &p);
  FAudioVolume = FError == 0 ? Value : 0;
}

uint32_t TSFPlayer::GetLength() {
  MCI_STATUS_PARMS p{};
  p.dwItem = MCI_STATUS_LENGTH;
  FFlags = MCI_STATUS_ITEM;
  FError = mciSendCommandA(FDeviceID, MCI_STATUS, FFlags, &p);
  return FError == 0 ? uint32_t(p.dwReturn) : 0;
}

TSFPlayerMode TSFPlayer::GetMode() {
  MCI_STATUS_PARMS p{};
  p.dwItem = MCI_STATUS_MODE;
  FFlags = MCI_STATUS_ITEM;
  FError = mciSendCommandA(FDeviceID, MCI_STATUS, FFlags, &p);
  if (FError != 0) return pmNotReady;
  return TSFPlayerMode(uint8_t(p.dwReturn - MCI_MODE_NOT_READY));
}

uint32_t TSFPlayer::GetPosition() {
  MCI_STATUS_PARMS p{};
  p.dwItem = MCI_STATUS_POSITION;
  FFlags = MCI_STATUS_ITEM;
  if (mciSendCommandA(FDeviceID, MCI_STATUS, FFlags, &p) != 0) {
    Close();
    return 0;
  }
  return uint32_t(p.dwReturn);
}

void TSFPlayer::EndTimerTick() {
  if (!FEndTimer) return;
  if (FEndTimer->Interval() != 20) FEndTimer->SetInterval(20);
  if (int64_t{GetPosition()} < FEndPos) return;
  delete FEndTimer;  // made again by the next Play
  FEndTimer = nullptr;

  if (FStartPos > 0 || int64_t{FEndPos} <= int64_t{GetLength()} - 1) {
    Seek(FStartPos);
    Play();
    return;
  }
  if (FFileList.Count() <= 1) {
    Rewind();
  } else {
    Close();
    FFileIndex = FFileIndex < FFileList.Count() - 1 ? FFileIndex + 1 : 0;
  }
  if (FFileList.Count() > 0) PlayPause();
}
