// The system beep. The window layer sets the sound it makes; tests count the beeps.
#pragma once

#include <functional>

namespace platform {

// The sound types of the system beep (their values are those of the original platform).
constexpr unsigned MB_OK = 0x00000000;  // the default beep
constexpr unsigned MB_ICONHAND = 0x00000010;
constexpr unsigned MB_ICONERROR = MB_ICONHAND;
constexpr unsigned MB_ICONSTOP = MB_ICONHAND;
constexpr unsigned MB_ICONQUESTION = 0x00000020;
constexpr unsigned MB_ICONEXCLAMATION = 0x00000030;
constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr unsigned MB_ICONASTERISK = 0x00000040;
constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr unsigned MB_SIMPLEBEEP = 0xFFFFFFFF;

// Sounds the beep of the given type: counts it and hands it to the hook, if one is set.
// Any thread. Always succeeds.
bool MessageBeep(unsigned type);

// The window layer sets the real beep here (called on the thread that beeps); an empty
// function leaves the beep silent but still counted.
void SetBeepHook(std::function<void(unsigned type)> beep);

// For tests: how many beeps have sounded so far, and the type of the last one.
int BeepCount();
unsigned LastBeepType();

}  // namespace platform
