// TORVHumanVoices: the one object through which the main window speaks. It loads and
// prepares a voice, holds the settings and the temporary WAV path, and reads a text aloud
// sentence by sentence from its timer, one synthesis thread and one WAV file at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "banks/VoiceBanks.h"
#include "platform/core/Component.h"
#include "platform/core/Timer.h"
#include "player/SFPlayer.h"
#include "speech/CreateVoice.h"
#include "speech/SpeechSettings.h"

// The text box whose caret a following reading moves: the main window's R1, reached
// through the global main window. The main window's unit installs the accessors; while
// none are installed (no window, as in tests of the engine) the caret is not moved.
struct CaretAccess {
  std::function<int()> GetSelStart;
  std::function<void(int)> SetSelStart;
};
void SetReadingCaret(CaretAccess access);

class TORVHumanVoices : public platform::TComponent {
 public:
  // Throws platform::Exception("Error: imposible ejecutar la aplicación") when no folder
  // for the WAV file exists or can be made that takes a file (TEMP's, then the program's);
  // nothing of the component stays behind.
  explicit TORVHumanVoices(platform::TComponent* AOwner = nullptr);
  ~TORVHumanVoices() override;

  void SetSampleRate(std::int32_t Value) { FSettings.SampleRate = Value; }
  void SetPitch(std::int16_t Value) { FSettings.Pitch = Value; }
  void SetCompressor(std::uint8_t Value) { FSettings.Compressor = Value; }
  void SetTimbre(std::uint8_t Value) { FSettings.Timbre = Value; }
  void SetReverb(std::uint8_t Value) { FSettings.Reverb = Value; }
  void SetAnalogSpeed(std::uint8_t Value) { FSettings.AnalogSpeed = Value; }

  // Loads voice item Voice (bank Voice div 9) and resamples its recorded slots by the
  // analog speed setting. Treble and Bass are the two numbers of the treble/bass list's
  // item as the list shows them, 0 or negative ("0 -2"): the cuts kept in FSettings are
  // their negations (16-bit), 0 to 4 for the list's items.
  void LoadVoice(std::int16_t Voice, std::int16_t Treble, std::int16_t Bass);
  static std::uint8_t PeakPercent(const std::string& Sound);
  static std::string Resample(const std::string& Sound, std::int16_t Setting);

  // The reading: Speak starts it, Stop ends it, TimerTick is the handler of FTimer.
  // FollowCaret is a 32-bit boolean: FollowCaretOn moves the caret along the reading (the
  // text box), FollowCaretOff leaves it (announcements).
  static constexpr std::int32_t FollowCaretOn = -1;
  static constexpr std::int32_t FollowCaretOff = 0;
  // The first tick comes soon after Speak, every later one a poll period after the one
  // before; a timer still at the first interval is at its first tick.
  static constexpr unsigned FirstTickMs = 10;
  static constexpr unsigned PollTickMs = 200;
  void Speak(std::string Text, std::int16_t Speed, std::int16_t Pitch, std::int16_t Volume,
             std::int32_t FollowCaret);
  void Stop();
  void TimerTick(platform::TComponent* Sender);

  // Fields. Open to the main window, which reads and replaces single entries of FBank in its
  // tuning mode, and to tests.
  SpeechSettings FSettings;  // set by the setters, LoadVoice and Speak; copied per sentence
  std::int32_t FFollowCaret = 0;
  std::string FWavFile;
  std::int32_t FSentenceStart = 0;
  std::int32_t FSentenceEnd = 0;
  std::string FText;
  std::string FSentence;
  platform::TTimer* FTimer = nullptr;  // owned by the component
  // The current or last sentence's synthesis.
  std::unique_ptr<platform::ThreadHandle<TCreateVoice>> FThread;
  TSFPlayer* FPlayer = nullptr;  // made without an owner, freed by the component
  SlotArray FBank;
  // How far the caret moved past the sentence under synthesis: taken back when that
  // sentence ends without its file.
  std::int32_t FCaretStep = 0;
  // The current thread's file has been given to the player (or found missing): once per
  // sentence, never again at later ticks.
  bool FFileHandedOver = false;

 private:
  // Hands the file that the current synthesis wrote to the player and starts it; false
  // (after one beep) when that file is not at FWavFile or the player cannot open it.
  bool PlayWrittenFile();
  // The file that the current synthesis wrote still stands at FWavFile (FThread is set).
  bool WrittenFileStands() const;
};
