// The main window: the text box, nine setting lists and the "Leer" list, the menu, the
// voice presets and spoken announcements, and the hidden phoneme tuning mode.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/SlotLabels.h"
#include "app/SlotTuning.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

class TORVHumanVoices;

// The demonstration text: 28 sentences, one per sound group, each line ending with CR LF
// (Windows-1252).
extern const std::string_view DemoText;
using app::SlotLabels;

class TZedUdezuv : public ui::TForm {
 public:
  // Builds the controls of the form description; OnCreate (FormCreate) runs afterwards, when
  // the application creates the form.
  TZedUdezuv();
  ~TZedUdezuv() override;

  // Controls.
  ui::TMainMenu* MainMenu1;
  ui::TMenuItem* File1;
  ui::TMenuItem* Open1;
  ui::TMenuItem* SampleRate1;
  ui::TMenuItem* Normal1;
  ui::TMenuItem* Baja1;
  ui::TMenuItem* MuyBaja1;
  ui::TOpenDialog* OpenDialog1;
  ui::TRichEdit* R1;
  ui::TLabel* VoiceLabel;
  ui::TLabel* SpeedLabel;
  ui::TLabel* PitchLabel;
  ui::TLabel* VolumeLabel;
  ui::TLabel* EqLabel;
  ui::TLabel* AnalogSpeedLabel;
  ui::TLabel* CompressLabel;
  ui::TLabel* WaveFormLabel;
  ui::TLabel* ReverbLabel;
  ui::TLabel* QueLabel;
  ui::TCheckListBox* VoiceLB;
  ui::TCheckListBox* SpeedLB;
  ui::TCheckListBox* PitchLB;
  ui::TCheckListBox* VolumeLB;
  ui::TCheckListBox* EqLB;
  ui::TCheckListBox* AnalogSpeedLB;
  ui::TCheckListBox* CompressLB;
  ui::TCheckListBox* WaveFormLB;
  ui::TCheckListBox* ReverbLB;
  ui::TCheckListBox* QueLB;

  // Event handlers.
  void FormCreate(ui::TObject* Sender);
  void Open1Click(ui::TObject* Sender);
  void AllLBKeyUp(ui::TObject* Sender, std::uint16_t& Key, ui::TShiftState Shift);
  void OrvKeyUp(ui::TObject* Sender, std::uint16_t& Key, ui::TShiftState Shift);
  void Normal1Click(ui::TObject* Sender);
  void Baja1Click(ui::TObject* Sender);
  void MuyBaja1Click(ui::TObject* Sender);
  void FormCloseQuery(ui::TObject* Sender, bool& CanClose);

  // Open to tests, as the other handlers of the unit see them.
  std::int32_t SwallowKeyUp = 0;  // -1 while the level box's closing key is still to come
  ui::TCheckListBox* SlotLB = nullptr;
  ui::TMemo* ExportMemo = nullptr;
  std::uint8_t UnlockCount = 0;       // F6 releases in a row in R1; 7 opens the tuning mode
  TORVHumanVoices* Voices = nullptr;  // none when its creation failed

 private:
  void ApplyVoicePreset(int voiceItem);
  void SetQuality(ui::TMenuItem* item, std::int32_t rate);
  void ExportSlot(int slot, const std::string& label);
};

// The one main window; set before its creation handler runs.
extern TZedUdezuv* ZedUdezuv;
