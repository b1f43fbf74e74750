// A media control interface for sound files: devices opened by file name, driven by
// commands with flags and a parameter structure, and answering with an error code (0 is
// success). The one device type is wave audio, chosen by the extension ".wav".
//
// Times are in milliseconds (the only time format). Commands:
//   MCI_OPEN     (to device 0) MCI_OPEN_ELEMENT: opens lpstrElementName, the device id comes
//                back in wDeviceID. The device is stopped at position 0.
//   MCI_CLOSE    stops the sound at once and frees the device.
//   MCI_PLAY     plays from the current position to dwTo (MCI_TO) or to the end and returns
//                at once, unless MCI_WAIT is given. Playing on a paused device resumes it.
//                The first play opens the device's sound output, kept until MCI_CLOSE; when
//                none can be had (the silent driver serves one device at a time) the play
//                fails with MCIERR_WAVE_OUTPUTSUNSUITABLE.
//   MCI_PAUSE    holds the position; the next MCI_PLAY goes on from there.
//   MCI_SEEK     MCI_TO: to dwTo; MCI_SEEK_TO_START: to 0. Stops a playing device.
//   MCI_SAVE     MCI_SAVE_FILE: writes the device's sound to lpfilename as a WAV file.
//   MCI_SETAUDIO MCI_DGV_SETAUDIO_ITEM + MCI_DGV_SETAUDIO_VALUE with dwItem
//                MCI_DGV_SETAUDIO_VOLUME: dwValue 0 (silent) to 1000 (as recorded).
//   MCI_STATUS   MCI_STATUS_ITEM with dwItem MCI_STATUS_MODE, _LENGTH or _POSITION: the
//                answer in dwReturn.
// MCI_WAIT is accepted by every command; only MCI_PLAY takes time. Commands run on the main
// thread (any one thread at a time).
//
// A device's position never runs ahead of what has been heard by more than one device
// buffer, and it reports MCI_MODE_PLAY until its last buffer has been played.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

using MCIDEVICEID = uint16_t;
using MCIERROR = uint32_t;
using DWORD = uint32_t;
using DWORD_PTR = uintptr_t;
using UINT = unsigned;

// Commands.
constexpr UINT MCI_OPEN = 1;
constexpr UINT MCI_CLOSE = 2;
constexpr UINT MCI_PLAY = 3;
constexpr UINT MCI_PAUSE = 4;
constexpr UINT MCI_SEEK = 5;
constexpr UINT MCI_SAVE = 6;
constexpr UINT MCI_SETAUDIO = 7;
constexpr UINT MCI_STATUS = 8;

// Flags; each command takes only its own and MCI_WAIT.
constexpr DWORD MCI_WAIT = 1u << 0;
constexpr DWORD MCI_TO = 1u << 1;
constexpr DWORD MCI_OPEN_ELEMENT = 1u << 2;
constexpr DWORD MCI_SEEK_TO_START = 1u << 3;
constexpr DWORD MCI_SAVE_FILE = 1u << 4;
constexpr DWORD MCI_STATUS_ITEM = 1u << 5;
constexpr DWORD MCI_DGV_SETAUDIO_ITEM = 1u << 6;
constexpr DWORD MCI_DGV_SETAUDIO_VALUE = 1u << 7;

// Items.
constexpr DWORD MCI_STATUS_LENGTH = 1;
constexpr DWORD MCI_STATUS_POSITION = 2;
constexpr DWORD MCI_STATUS_MODE = 3;
constexpr DWORD MCI_DGV_SETAUDIO_VOLUME = 1;

// Device modes.
constexpr DWORD MCI_MODE_NOT_READY = 524;
constexpr DWORD MCI_MODE_STOP = 525;
constexpr DWORD MCI_MODE_PLAY = 526;
constexpr DWORD MCI_MODE_RECORD = 527;
constexpr DWORD MCI_MODE_SEEK = 528;
constexpr DWORD MCI_MODE_PAUSE = 529;
constexpr DWORD MCI_MODE_OPEN = 530;

// Error codes.
constexpr MCIERROR MMSYSERR_NOERROR = 0;
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = 1;        // no such device open
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = 2;     // not one of the commands above
constexpr MCIERROR MCIERR_FLAGS_NOT_COMPATIBLE = 3;     // a flag the command does not take
constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = 4;     // parms missing
constexpr MCIERROR MCIERR_MISSING_PARAMETER = 5;        // a needed flag or name missing
constexpr MCIERROR MCIERR_BAD_CONSTANT = 6;             // an item the command does not know
constexpr MCIERROR MCIERR_OUTOFRANGE = 7;               // a time or value outside the sound
constexpr MCIERROR MCIERR_EXTENSION_NOT_FOUND = 8;      // no device type for the extension
constexpr MCIERROR MCIERR_FILE_NOT_FOUND = 9;           // missing or unreadable file
constexpr MCIERROR MCIERR_INVALID_FILE = 10;            // not a wave file this device plays
constexpr MCIERROR MCIERR_WAVE_OUTPUTSUNSUITABLE = 11;  // no sound output could be opened
constexpr MCIERROR MCIERR_FILE_NOT_SAVED = 12;          // the file could not be written

// Parameter structures.
struct MCI_GENERIC_PARMS {
  DWORD_PTR dwCallback;
};
struct MCI_OPEN_PARMS {
  DWORD_PTR dwCallback;
  MCIDEVICEID wDeviceID;
  const char* lpstrDeviceType;
  const char* lpstrElementName;
  const char* lpstrAlias;
};
struct MCI_PLAY_PARMS {
  DWORD_PTR dwCallback;
  DWORD dwFrom;
  DWORD dwTo;
};
struct MCI_SEEK_PARMS {
  DWORD_PTR dwCallback;
  DWORD dwTo;
};
struct MCI_SAVE_PARMS {
  DWORD_PTR dwCallback;
  const char* lpfilename;
};
struct MCI_STATUS_PARMS {
  DWORD_PTR dwCallback;
  DWORD_PTR dwReturn;
  DWORD dwItem;
  DWORD dwTrack;
};
struct MCI_DGV_SETAUDIO_PARMS {
  DWORD_PTR dwCallback;
  DWORD dwItem;
  DWORD dwValue;
  DWORD dwOver;
  const char* lpstrAlgorithm;
  const char* lpstrQuality;
};

// Sends one command. `parms` points to the command's parameter structure.
MCIERROR mciSendCommandA(MCIDEVICEID device, UINT command, DWORD_PTR flags, void* parms);

// Sees every command before it is carried out (tests watch the traffic with it); an empty
// function removes it.
using MciObserver =
    std::function<void(MCIDEVICEID device, UINT command, DWORD_PTR flags, const void* parms)>;
void SetMciObserver(MciObserver observer);

}  // namespace platform
