// A short tone through the sound output: the audible system beep.
#pragma once

namespace platform {

// Starts an 880 Hz tone of about 100 ms with a soft attack and release on a stream of its
// own, so that it mixes with any other sound playing, and returns at once. False when there
// is no sound device to play it on (the sound system runs on its silent driver).
bool PlayBeepTone();

// Waits, at most about a second, until the tones started have finished and their streams
// are closed. For the end of the program.
void WaitForBeepTones();

}  // namespace platform
