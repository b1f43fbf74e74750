// The text box's key handler: the demonstration text on F5 and the hidden phoneme tuning
// mode (F6 seven times in a row), which steps, shows and exports single slots of the loaded
// voice.
#include <string>

#include "app/ZIriD.h"
#include "platform/core/Beep.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Files.h"
#include "platform/ui/Application.h"
#include "speech/RUZIZ.h"

namespace {
constexpr std::uint16_t VK_G = 71;
constexpr std::uint8_t OpenCount = 7;  // F6 releases in a row that open the mode
}  // namespace

void TZedUdezuv::OrvKeyUp(ui::TObject*, std::uint16_t& Key, ui::TShiftState Shift) {
  // The key that closed the level box is not a command.
  if (SwallowKeyUp != 0 &&
      (Key == ui::VK_RETURN || Key == ui::VK_ESCAPE || Key == ui::VK_SPACE || Key == ui::VK_F4)) {
    SwallowKeyUp = 0;
    return;
  }

  if (R1->Visible()) {
    if (Key == ui::VK_F5 && Shift.Empty()) R1->SetText(std::string(DemoText));
    if (Key == ui::VK_F6 && UnlockCount < OpenCount) {
      ++UnlockCount;
    } else {
      UnlockCount = 0;
    }
  }

  if (Key == ui::VK_ESCAPE) {
    // The focus moves before the control that has it goes, so that it never passes
    // through the next control on its way (a screen reader would name that one).
    if (SlotLB->Visible()) {
      R1->Show();
      SetActiveControl(R1);
      SlotLB->Hide();
    }
    return;
  }

  if (UnlockCount != OpenCount) return;
  // Without a speech component there is no voice to work on: the mode stays shut.
  if (!Voices) return;

  // Focus first here too.
  SlotLB->Show();
  SetActiveControl(SlotLB);
  R1->Hide();

  const int i = SlotLB->ItemIndex();
  if (i < 0) return;
  std::string& slot = Voices->FBank.at(static_cast<std::size_t>(i) + 1);
  const std::uint8_t level = TORVHumanVoices::PeakPercent(slot);

  if (Key == ui::VK_F2) {
    if (level >= 1 && level <= 99) {
      // Louder with no modifier, softer with any.
      const auto target = static_cast<std::uint8_t>(Shift.Empty() ? level + 1 : level - 1);
      std::string scaled = ScaleSampleLevel(slot, level, target);
      if (!scaled.empty()) slot = std::move(scaled);
    }
    return;
  }

  if (Key == VK_G && Shift == ui::TShiftState{ui::ssCtrl}) {
    ExportSlot(i + 1, SlotLB->Items()[i]);
    platform::MessageBeep(platform::MB_ICONASTERISK);
  }

  if (Key == ui::VK_RETURN) {
    SwallowKeyUp = -1;
    ui::Application->MessageBox(std::to_string(level) + " " + SlotLB->Items()[i], Caption(),
                                platform::MB_ICONASTERISK);
  }
}

void TZedUdezuv::ExportSlot(int slot, const std::string& label) {
  ExportMemo->SetText(SlotExportText(Voices->FBank.at(static_cast<std::size_t>(slot))));
  // The label names the file as it is, blanks and "ñ" included.
  ExportMemo->SaveToFile(platform::ProgramFolder() + platform::Cp1252ToUtf8(label) + ".txt");
}
