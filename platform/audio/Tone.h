// A short tone through the sound output: the audible system beep.
#pragma once

#include <functional>

namespace platform {

// Plays an 880 Hz tone of about 100 ms with a soft attack and release on a stream of its
// own, so that it mixes with any other sound playing. Returns at once: the stream is opened,
// fed and closed on a thread of the tone's. When there is no sound device to play it on (the
// sound system runs on its silent driver) that thread calls noDevice instead.
void PlayBeepTone(std::function<void()> noDevice = {});

// Waits, at most about a second, until the tones started have finished and their streams
// are closed. For the end of the program.
void WaitForBeepTones();

}  // namespace platform
