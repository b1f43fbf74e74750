// The main window by keyboard alone: the quality menu by F10 and the arrows, the releases of
// keys that picked a menu item or closed a dialog, the names a screen reader gives.

#include "WindowFixture.h"
#include "tests/support/Files.h"

namespace t = ui::testing;

namespace {

// "Varios", "Calidad del sonido", then the quality `down` places below "Normal (22050)".
void PickQuality(int down) {
  t::Type(ui::VK_F10);
  t::Type(ui::VK_DOWN);  // opens "Varios" on "Abrir archivo..."
  t::Type(ui::VK_DOWN);
  t::Type(ui::VK_RIGHT);
  for (int i = 0; i < down; ++i) t::Type(ui::VK_DOWN);
  t::Type(ui::VK_RETURN);
}

constexpr const char* kUnspoken = "(nada)";

}  // namespace

// Picking "Muy baja (8000)" with Enter while "Leer" has the focus changes the quality and
// reads nothing; the next Enter on "Leer" reads.
TEST_F(WindowTest, PickingAQualityByKeyboardOverLeerReadsNothing) {
  w->R1->SetText("Una frase.");
  w->R1->SetSelStart(0);
  Focus(w->QueLB);
  w->Voices->FText = kUnspoken;
  PickQuality(2);
  EXPECT_TRUE(w->MuyBaja1->Checked());
  EXPECT_FALSE(w->Normal1->Checked());
  EXPECT_EQ(w->ActiveControl(), w->QueLB);
  t::ProcessMessages(50);
  EXPECT_EQ(w->Voices->FText, kUnspoken);

  t::Type(ui::VK_RETURN);
  EXPECT_EQ(w->Voices->FText, "Una frase.");
  w->Voices->Stop();
  EXPECT_TRUE(errors.empty());
}

// The Enter that takes a file in the open dialog does not announce the voice list's item.
TEST_F(WindowTest, TheEnterThatClosesTheOpenDialogAnnouncesNothing) {
  const testsupport::TempDir dir("dialog");
  const std::string file = dir.Write("texto.txt", "Texto del archivo.");
  Focus(w->VoiceLB);
  w->Voices->FText = kUnspoken;
  t::WhenModal([&] {
    t::TypeText(file);
    t::TypePress(ui::VK_RETURN);
  });
  t::Type('A', {ui::ssCtrl});
  EXPECT_EQ(w->ActiveControl(), w->VoiceLB);
  t::TypeRelease(ui::VK_RETURN);
  EXPECT_EQ(w->R1->Text(), "Texto del archivo.");
  EXPECT_EQ(w->Voices->FText, kUnspoken);
  // An Enter of the list's own is announced as ever.
  t::Type(ui::VK_RETURN);
  EXPECT_EQ(w->Voices->FText, w->VoiceLB->Items()[w->VoiceLB->ItemIndex()]);
  w->Voices->Stop();
  EXPECT_TRUE(errors.empty());
}

// In tuning mode the Enter that picks a menu item does not open the level box.
TEST_F(WindowTest, PickingAMenuItemInTuningModeOpensNoLevelBox) {
  Focus(w->R1);
  for (int i = 0; i < 7; ++i) Click(ui::VK_F6);
  ASSERT_EQ(w->ActiveControl(), w->SlotLB);
  PickQuality(1);
  EXPECT_TRUE(w->Baja1->Checked());
  EXPECT_EQ(w->ActiveControl(), w->SlotLB);
  EXPECT_TRUE(boxes.empty());
  t::Type(ui::VK_RETURN);  // the slot list's own Enter shows the level
  EXPECT_EQ(boxes.size(), 1u);
}

// Every list is named by its label, without the accelerator mark, and tells its current
// item; the text box is "Texto".
TEST_F(WindowTest, ScreenReadersNameEveryControl) {
  const std::pair<ui::TWinControl*, const char*> cases[] = {
      {w->R1, "Texto"},
      {w->VoiceLB, "Voz"},
      {w->SpeedLB, "Velocidad"},
      {w->PitchLB, "Tono"},
      {w->VolumeLB, "Volumen"},
      {w->EqLB, "Agudos/Graves"},
      {w->AnalogSpeedLB, "Velocidad anal\xF3gica"},
      {w->CompressLB, "Compresor"},
      {w->WaveFormLB, "Timbre"},
      {w->ReverbLB, "Reverberaci\xF3n"},
      {w->QueLB, "Aceptar"},
  };
  for (const auto& [control, name] : cases) {
    EXPECT_EQ(t::AccessibleName(control), name);
    if (auto* list = dynamic_cast<ui::TCheckListBox*>(control)) {
      EXPECT_EQ(t::AccessibleSelectedItems(list),
                std::vector<std::string>{list->Items()[list->ItemIndex()]})
          << name;
    }
  }
  // The value follows the arrows; the label's accelerator reaches its list.
  Focus(w->R1);
  t::Type('G', {ui::ssAlt});
  EXPECT_EQ(w->ActiveControl(), w->EqLB);
  const int before = w->EqLB->ItemIndex();
  t::Type(ui::VK_DOWN);
  ASSERT_EQ(w->EqLB->ItemIndex(), before + 1);
  EXPECT_EQ(t::AccessibleFocusedItem(w->EqLB), w->EqLB->Items()[before + 1]);
  w->Voices->Stop();
}
