// The ten lists' key handler: presets, settings, voice reloads, the read command and the
// spoken announcements.
#include <algorithm>
#include <string>
#include <utility>

#include "app/VoicePresets.h"
#include "app/ZIriD.h"
#include "platform/core/Exceptions.h"
#include "speech/RUZIZ.h"
#include "speech/SentenceCutter.h"

namespace {

bool IsOneOf(const ui::TWinControl* c, std::initializer_list<const ui::TCheckListBox*> lists) {
  return std::find(lists.begin(), lists.end(), c) != lists.end();
}

// The text of the list's current item; no current item is a failure.
std::string CurrentText(const ui::TCheckListBox* list) { return list->Items()[list->ItemIndex()]; }

// Enter on a setting list says its prefix, the list's item, then the voice.
struct Announcement {
  ui::TCheckListBox* TZedUdezuv::*list;
  const char* prefix;
};
constexpr Announcement Announcements[] = {
    {&TZedUdezuv::SpeedLB, "Velocidad "},
    {&TZedUdezuv::PitchLB, "Tono "},
    {&TZedUdezuv::VolumeLB, "Volumen "},
    {&TZedUdezuv::EqLB, "Ecualizaci\xF3n "},
    {&TZedUdezuv::AnalogSpeedLB, "Velocidad anal\xF3gica "},
    {&TZedUdezuv::CompressLB, "Compresor "},
    {&TZedUdezuv::WaveFormLB, "Timbre "},
    {&TZedUdezuv::ReverbLB, "Reverberaci\xF3n "},
};

}  // namespace

void TZedUdezuv::ApplyVoicePreset(int voiceItem) {
  VoicePreset p;
  if (!VoicePresetFor(voiceItem, p)) return;
  PitchLB->SetItemIndex(p.Pitch);
  SpeedLB->SetItemIndex(p.Speed);
  EqLB->SetItemIndex(p.Eq);
  AnalogSpeedLB->SetItemIndex(p.AnalogSpeed);
  CompressLB->SetItemIndex(p.Compress);
  WaveFormLB->SetItemIndex(p.WaveForm);
}

void TZedUdezuv::AllLBKeyUp(ui::TObject*, std::uint16_t& Key, ui::TShiftState) {
  try {
    // Lists are told apart by the focus, not by the sender.
    ui::TWinControl* F = ActiveControl();
    // Without a speech component every command fails here, silently.
    auto voices = [this]() -> TORVHumanVoices& {
      if (!Voices) throw platform::Exception("no speech component");
      return *Voices;
    };

    if (Key == ui::VK_ESCAPE) {
      voices().Stop();
      return;
    }
    if (Key > 31) {
      if (F == VoiceLB) ApplyVoicePreset(VoiceLB->ItemIndex());
      if (IsOneOf(F, {PitchLB, ReverbLB, WaveFormLB, EqLB, VoiceLB, AnalogSpeedLB, CompressLB})) {
        voices().SetPitch(static_cast<std::int16_t>(PitchLB->ItemIndex() + 1));
        voices().SetReverb(static_cast<std::uint8_t>(ReverbLB->ItemIndex()));
        voices().SetCompressor(static_cast<std::uint8_t>(CompressLB->ItemIndex()));
        voices().SetAnalogSpeed(static_cast<std::uint8_t>(AnalogSpeedLB->ItemIndex()));
        voices().SetTimbre(static_cast<std::uint8_t>(WaveFormLB->ItemIndex()));
      }
      // After the settings, so that the reload resamples with the analog speed just set.
      if (IsOneOf(F, {VoiceLB, SpeedLB, PitchLB, EqLB, AnalogSpeedLB})) {
        std::int16_t treble = 0, bass = 0;
        ParseEqItem(CurrentText(EqLB), treble, bass);
        voices().LoadVoice(static_cast<std::int16_t>(VoiceLB->ItemIndex()), treble, bass);
      }
    }
    if (Key != ui::VK_RETURN) return;

    const auto speed = static_cast<std::int16_t>(SpeedLB->ItemIndex() + 1);
    const auto pitch = static_cast<std::int16_t>(PitchLB->ItemIndex() + 1);
    const auto volume = static_cast<std::int16_t>(VolumeLB->ItemIndex() + 1);
    if (F == QueLB) {
      // Read from the caret; at or next to the end, from the start.
      int p = R1->SelStart();
      if (p >= R1->GetTextLen() - 1) {
        R1->SetSelStart(0);
        p = 0;
      }
      // Only the part to read is copied: Enter costs the same at the end of a big text.
      std::string s = R1->TextFrom(p);
      if (!HasSomethingToSay(s)) return;  // a reading under way goes on
      voices().Speak(std::move(s), speed, pitch, volume, TORVHumanVoices::FollowCaretOn);
      return;
    }

    std::string spoken;
    if (F == VoiceLB) {
      spoken = CurrentText(VoiceLB);
    } else {
      for (const Announcement& a : Announcements) {
        const ui::TCheckListBox* list = this->*a.list;
        if (F != list) continue;
        spoken = a.prefix + CurrentText(list) + ", " + CurrentText(VoiceLB);
        break;
      }
    }
    voices().Speak(spoken, speed, pitch, volume, TORVHumanVoices::FollowCaretOff);
  } catch (...) {
    // Every failure of a list command ends it without a word.
    throw platform::EAbort();
  }
}
