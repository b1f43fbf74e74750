// The reading: Speak starts it, Stop ends it, and each tick of FTimer does at most one step
// (wait for the synthesis, hand the finished file to the player, wait for the playback, or
// cut the next sentence and start its synthesis). Everything runs on the main thread.
#include <utility>

#include "platform/core/Beep.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/Random.h"
#include "speech/RUZIZ.h"
#include "speech/SentenceCutter.h"

namespace {

CaretAccess& ReadingCaret() {
  static CaretAccess caret;
  return caret;
}

// Moves the main window's caret by `by`; without a window nothing moves.
void MoveCaret(std::int32_t by) {
  const CaretAccess& caret = ReadingCaret();
  if (caret.GetSelStart && caret.SetSelStart) caret.SetSelStart(caret.GetSelStart() + by);
}

}  // namespace

void SetReadingCaret(CaretAccess access) { ReadingCaret() = std::move(access); }

void TORVHumanVoices::Speak(std::string Text, std::int16_t Speed, std::int16_t Pitch,
                            std::int16_t Volume, std::int32_t FollowCaret) {
  try {
    Stop();
    platform::Randomize();
    FText = std::move(Text);
    FSettings.Pitch = Pitch;
    FSettings.Speed = Speed;
    FSettings.Volume = Volume;
    FFollowCaret = FollowCaret;
    FTimer->SetInterval(FirstTickMs);
    FTimer->SetOnTimer([this] { TimerTick(FTimer); });
    FSentenceStart = 1;
    FSentenceEnd = 1;
  } catch (...) {
    FTimer->SetInterval(0);
    FTimer->SetOnTimer(nullptr);
    throw platform::EAbort();
  }
}

void TORVHumanVoices::Stop() {
  try {
    if (FThread) {
      // A synthesis already handed to the main thread runs to its end inside the release.
      (*FThread)->Terminate();
      FThread.reset();
    }
    FTimer->SetInterval(0);
    if (FPlayer->FDeviceID != 0) FPlayer->Close();
    if (platform::FileExists(FWavFile)) platform::DeleteFile(FWavFile);
  } catch (...) {
    FTimer->SetInterval(0);
  }
}

bool TORVHumanVoices::WrittenFileStands() const {
  const std::optional<platform::FileIdentity>& written = (*FThread)->FWrittenFile;
  return written && platform::IdentityOf(FWavFile) == written;
}

bool TORVHumanVoices::PlayWrittenFile() {
  // Only the file that this reading's synthesis wrote is played: the name is shared (another
  // copy of the program, a stale file that could not be deleted), and what stands there
  // may be anyone's, or nothing, or a folder. Every sentence handed to a synthesis has
  // something to say, so a synthesis that wrote no file (the folder became unwritable, the
  // disk is full) failed as well.
  if (!WrittenFileStands()) {
    platform::MessageBeep(platform::MB_OK);
    return false;
  }
  FPlayer->SetFiles(FWavFile);
  FPlayer->PlayPause();
  // A file that the player refuses has had its beep from the player.
  if (FPlayer->FDeviceID == 0) return false;
  // The player reads the file by its name: it may have been replaced meanwhile.
  if (!WrittenFileStands()) {
    FPlayer->Close();
    platform::MessageBeep(platform::MB_OK);
    return false;
  }
  return true;
}

void TORVHumanVoices::TimerTick(platform::TComponent* /*Sender*/) {
  // The reading ends: the timer stops, the last thread, file and device stay until the next
  // Speak or Stop.
  auto endReading = [this] {
    FTimer->SetInterval(0);
    FTimer->SetOnTimer(nullptr);
  };
  try {
    const bool firstTick = FTimer->Interval() == FirstTickMs;
    if (firstTick) FTimer->SetInterval(PollTickMs);
    if (FThread && !(*FThread)->Terminated()) return;  // synthesising
    if (FThread && !FFileHandedOver) {
      FFileHandedOver = true;
      if (!PlayWrittenFile()) {
        // The sentence has no file to play. The reading stops there, once, with the caret
        // back at that sentence's start, so that the next reading tries it again.
        if (FFollowCaret) MoveCaret(-FCaretStep);
        endReading();
      }
      return;
    }
    if (FPlayer->GetMode() == pmPlaying) return;

    SentenceCursor cursor{FSentenceStart, FSentenceEnd};
    // A sentence with nothing to say (blanks, a row of hyphens) is passed over. The caret
    // still moves past it, so that it keeps step with the text.
    const bool found =
        CutSentenceToSay(FText, cursor, FSentence, [this, &cursor](const std::string& s) {
          if (FFollowCaret) MoveCaret(CaretStep(FText, cursor, s));
        });
    FSentenceStart = cursor.SentenceStart;
    FSentenceEnd = cursor.SentenceEnd;
    if (!found) {
      endReading();
      return;
    }

    FPlayer->Close();
    // The previous sentence's file goes before the next synthesis; a file that another
    // copy of the program has put at the name since is left to it.
    if (FThread && WrittenFileStands()) platform::DeleteFile(FWavFile);
    FCaretStep = CaretStep(FText, cursor, FSentence);
    if (FFollowCaret) MoveCaret(FCaretStep);

    FThread.reset();
    FThread = std::make_unique<platform::ThreadHandle<TCreateVoice>>();
    FFileHandedOver = false;
    // Filled first, started last: the body sees only a finished thread object.
    TCreateVoice& t = **FThread;
    t.FSentence = FSentence;
    SetUpSynthesis(t, FSettings, FBank, FWavFile);
    FThread->Start();

    ConsumeSeparator(FText, cursor);
  } catch (...) {
    endReading();
  }
}
