// The text box's keys and the hidden phoneme tuning mode: the F6 gesture, F5, the level
// step, the level box and the slot export.
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "WindowFixture.h"
#include "banks/BankText.h"
#include "banks/VoiceBanks.h"
#include "tests/support/Files.h"
#include "tests/support/Wav.h"

namespace fs = std::filesystem;

namespace {

constexpr int ChItem = 7;  // SlotLB's item "ch", slot 8

using testsupport::ReadFile;
using testsupport::SampleBytes;

class TuningTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    folder = fs::path(platform::GetEnv("TEMP")) / "programa" /
             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(folder);
    platform::SetProgramFileForTesting((folder / "orv_lp").string());
  }

  void OpenMode() {
    Focus(w->R1);
    for (int i = 0; i < 7; ++i) Click(ui::VK_F6);
    ASSERT_TRUE(w->SlotLB->Visible());
    ASSERT_EQ(w->ActiveControl(), w->SlotLB);
  }
  bool ModeOn() const {
    return w->SlotLB->Visible() && !w->R1->Visible() && w->ActiveControl() == w->SlotLB;
  }
  bool ModeOff() const {
    return !w->SlotLB->Visible() && w->R1->Visible() && w->ActiveControl() == w->R1;
  }
  std::string& Slot(int item) { return w->Voices->FBank[item + 1]; }

  fs::path folder;
};

}  // namespace

TEST_F(TuningTest, SevenF6ReleasesInARowOpenTheMode) {
  Focus(w->R1);
  for (int i = 1; i <= 6; ++i) {
    Click(ui::VK_F6);
    EXPECT_EQ(w->UnlockCount, i);
    EXPECT_TRUE(ModeOff());
  }
  Click(ui::VK_F6);
  EXPECT_EQ(w->UnlockCount, 7);
  EXPECT_TRUE(ModeOn());
  // Every further release in the mode keeps it on, the list's own keys included.
  Click(ui::VK_DOWN);
  EXPECT_EQ(w->SlotLB->ItemIndex(), 1);
  EXPECT_TRUE(ModeOn());
}

TEST_F(TuningTest, AnyOtherKeyBetweenTheF6ReleasesStartsTheCountAgain) {
  for (std::uint16_t other : std::initializer_list<std::uint16_t>{ui::VK_SHIFT, ui::VK_CONTROL, 'X',
                                                                  ui::VK_DOWN, ui::VK_F2}) {
    SCOPED_TRACE(other);
    Focus(w->R1);
    Click(ui::VK_F5);  // a known count of 0
    for (int i = 0; i < 4; ++i) Click(ui::VK_F6);
    Click(other);
    EXPECT_EQ(w->UnlockCount, 0);
    for (int i = 0; i < 6; ++i) Click(ui::VK_F6);
    EXPECT_TRUE(ModeOff());
    Click(ui::VK_F6);
    EXPECT_TRUE(ModeOn());
    Click(ui::VK_ESCAPE);
  }
}

TEST_F(TuningTest, AfterEscapeOneF6DoesNotReopenTheMode) {
  OpenMode();
  Click(ui::VK_ESCAPE);
  EXPECT_TRUE(ModeOff());
  EXPECT_EQ(w->UnlockCount, 7);
  Click(ui::VK_F6);
  EXPECT_EQ(w->UnlockCount, 0);
  EXPECT_TRUE(ModeOff());
  for (int i = 0; i < 6; ++i) Click(ui::VK_F6);
  EXPECT_TRUE(ModeOff());
  Click(ui::VK_F6);
  EXPECT_TRUE(ModeOn());
}

TEST_F(TuningTest, F5WithoutModifiersRestoresTheDemoText) {
  Focus(w->R1);
  w->R1->SetText("Otro texto.");
  Click(ui::VK_F5, {ui::ssShift});
  EXPECT_EQ(w->R1->Text(), "Otro texto.");
  Click(ui::VK_F6);
  Click(ui::VK_F6);
  Click(ui::VK_F5);
  EXPECT_EQ(w->R1->Text(), DemoText);
  EXPECT_EQ(w->UnlockCount, 0);
  // In the mode F5 does nothing.
  OpenMode();
  w->R1->SetText("Otro texto.");
  Click(ui::VK_F5);
  EXPECT_EQ(w->R1->Text(), "Otro texto.");
  EXPECT_TRUE(ModeOn());
}

TEST_F(TuningTest, EnterShowsLevelAndLabelAndTheClosingReleaseIsSwallowed) {
  OpenMode();
  w->SlotLB->SetItemIndex(ChItem);
  Slot(ChItem) = SampleBytes({0, 12124, -500});  // level 37
  for (std::uint16_t closing : {ui::VK_RETURN, ui::VK_ESCAPE, ui::VK_SPACE, ui::VK_F4}) {
    SCOPED_TRACE(closing);
    boxes.clear();
    Click(ui::VK_RETURN);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "37 ch");
    EXPECT_EQ(boxes[0].caption, "ORV Quenvar (prueba)");
    EXPECT_EQ(boxes[0].flags, 64u);
    EXPECT_EQ(w->SwallowKeyUp, -1);
    // The key that closed the box: no second box, the mode stays.
    Release(closing);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(w->SwallowKeyUp, 0);
    EXPECT_TRUE(ModeOn());
  }
  // Closed with the mouse: other keys work as ever, the next of the four is swallowed.
  Click(ui::VK_RETURN);
  ASSERT_EQ(boxes.size(), 2u);
  Click(ui::VK_DOWN);
  EXPECT_EQ(w->SwallowKeyUp, -1);
  Click(ui::VK_UP);
  Click(ui::VK_ESCAPE);
  EXPECT_EQ(w->SwallowKeyUp, 0);
  EXPECT_TRUE(ModeOn());
  EXPECT_EQ(boxes.size(), 2u);
}

// The real box, closed with Enter as the keyboard sends it: the press closes the box, and its
// release, which comes after, reaches the slot list and is the one swallowed. So each Enter
// in the list shows the level again.
TEST_F(TuningTest, TwoEnterPressesShowTheLevelBoxTwice) {
  OpenMode();
  ui::testing::App().SetMessageBoxHook({});
  auto listening = std::make_shared<bool>(true);
  int shown = 0;
  for (int n = 0; n < 2; ++n) {
    ui::testing::WhenModal([listening, &shown] {
      if (!*listening) return;
      ++shown;
      ui::testing::TypePress(ui::VK_RETURN);
    });
    ui::testing::Type(ui::VK_RETURN);
    ui::testing::TypeRelease(ui::VK_RETURN);
    EXPECT_EQ(shown, n + 1);
    EXPECT_EQ(w->SwallowKeyUp, 0);
    EXPECT_TRUE(ModeOn());
  }
  *listening = false;  // a box that never came leaves its watcher idle
}

TEST_F(TuningTest, F2StepsTheLevelAndBeepsAtTheLimits) {
  struct Case {
    std::string samples;
    ui::TShiftState shift;
    std::string after;  // the slot afterwards
    int newLevel;
    bool beep;
  };
  const Case cases[] = {
      // 16384 is level 50: 16384 div 50 = 327, times 51 or 49.
      {SampleBytes({0, 16384, -100}), {}, SampleBytes({0, 16677, -102}), 51, false},
      {SampleBytes({0, 16384, -100}), {ui::ssShift}, SampleBytes({0, 16023, -98}), 49, false},
      {SampleBytes({0, 16384, -100}),
       {ui::ssCtrl, ui::ssAlt},
       SampleBytes({0, 16023, -98}),
       49,
       false},
      // The level need not move: 164 is level 1 (0.50 %), and so is 328 (1.00 %).
      {SampleBytes({164, -10}), {}, SampleBytes({328, -20}), 1, false},
      {SampleBytes({32440, -7}), {}, SampleBytes({32440, -7}), 99, true},           // 99 up: beep
      {SampleBytes({32440, -7}), {ui::ssAlt}, SampleBytes({32046, 0}), 98, false},  // 99 down
      {SampleBytes({328, 0}), {ui::ssShift}, SampleBytes({328, 0}), 1, true},       // 1 down: beep
      {banks::EmptySlot, {}, banks::EmptySlot, 0, false},                           // 0: nothing
      {banks::EmptySlot, {ui::ssShift}, banks::EmptySlot, 0, false},
      {SampleBytes({-32768, 5}),
       {ui::ssShift},
       SampleBytes({-32768, 5}),
       100,
       false},  // 100: nothing
      {SampleBytes({0, 32767}), {}, SampleBytes({0, 32767}), 100, false},
  };
  OpenMode();
  w->SlotLB->SetItemIndex(ChItem);
  for (const Case& c : cases) {
    SCOPED_TRACE(int{TORVHumanVoices::PeakPercent(c.samples)});
    Slot(ChItem) = c.samples;
    const int beeps = platform::BeepCount();
    Click(ui::VK_F2, c.shift);
    EXPECT_EQ(Slot(ChItem), c.after);
    EXPECT_EQ(TORVHumanVoices::PeakPercent(Slot(ChItem)), c.newLevel);
    EXPECT_EQ(platform::BeepCount() - beeps, c.beep ? 1 : 0);
    if (c.beep) {
      EXPECT_EQ(platform::LastBeepType(), 0u);
    }
    EXPECT_TRUE(ModeOn());
  }
}

TEST_F(TuningTest, AVoiceReloadUndoesTheChanges) {
  OpenMode();
  const banks::TVoiceBank& bank = banks::VoiceBankTable(0);
  ASSERT_GE(TORVHumanVoices::PeakPercent(bank[1]), 2);
  ASSERT_LE(TORVHumanVoices::PeakPercent(bank[1]), 98);
  Click(ui::VK_F2);
  Click(ui::VK_F2, {ui::ssShift});
  Click(ui::VK_F2, {ui::ssShift});
  ASSERT_NE(Slot(0), bank[1]);
  // The focus moves on to a list that reloads; the mode stays on.
  Click(ui::VK_TAB);
  Focus(w->SpeedLB);
  Click(ui::VK_DOWN);
  EXPECT_EQ(Slot(0), bank[1]);
  EXPECT_TRUE(w->SlotLB->Visible());
  EXPECT_FALSE(w->R1->Visible());
}

TEST_F(TuningTest, CtrlGAloneExportsTheSlotAndBeeps) {
  OpenMode();
  Slot(ChItem) = SampleBytes({0, 0, 1, -1});
  const fs::path file = folder / "ch.txt";
  // (Alt+G alone is the accelerator of the equaliser's label.)
  const ui::TShiftState others[] = {{},
                                    {ui::ssCtrl, ui::ssShift},
                                    {ui::ssCtrl, ui::ssAlt},
                                    {ui::ssShift},
                                    {ui::ssCtrl, ui::ssShift, ui::ssAlt}};
  for (ui::TShiftState shift : others) {
    w->SlotLB->SetItemIndex(ChItem);
    const int beeps = platform::BeepCount();
    Click('G', shift);
    ASSERT_TRUE(ModeOn());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(platform::BeepCount(), beeps);
  }
  w->SlotLB->SetItemIndex(ChItem);
  const int beeps = platform::BeepCount();
  Click('G', {ui::ssCtrl});
  EXPECT_EQ(ReadFile(file), "#1#0#255#255,\r\n");
  EXPECT_EQ(platform::BeepCount() - beeps, 1);
  EXPECT_EQ(platform::LastBeepType(), 64u);
  EXPECT_TRUE(ModeOn());
  EXPECT_TRUE(errors.empty());
}

TEST_F(TuningTest, ExportFilesHoldTheSlotAsABankElement) {
  std::string ones255(255, '\x01'), ones256(256, '\x01');
  std::string line255;
  for (int i = 0; i < 255; ++i) line255 += "#1";
  std::string twoHundred600(600, '\xC8');
  std::string line255b;
  for (int i = 0; i < 255; ++i) line255b += "#200";
  std::string line90;
  for (int i = 0; i < 90; ++i) line90 += "#200";
  struct Case {
    int item;
    const char* fileName;
    std::string slot;
    std::string text;
    std::string kept;  // what the element holds
  };
  const Case cases[] = {
      {ChItem, "ch.txt", SampleBytes({0, 0, 5, 0}), "#5#0#0#0,\r\n", SampleBytes({5, 0})},
      {22, "l antigua.txt", banks::EmptySlot, "#0#0,\r\n", banks::EmptySlot},
      {26, "\xC3\xB1.txt", SampleBytes({0, 0, 0}), "#0#0,\r\n", banks::EmptySlot},
      {5, "b.txt", ones255, line255 + ",\r\n", ones255},
      {6, "k.txt", ones256, line255 + "\r\n+#1,\r\n", ones256},
      {0, "a.txt", twoHundred600, line255b + "\r\n+" + line255b + "\r\n+" + line90 + ",\r\n",
       twoHundred600},
  };
  OpenMode();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileName);
    std::ofstream(folder / c.fileName) << std::string(5000, 'x');  // replaced, not added to
    w->SlotLB->SetItemIndex(c.item);
    Slot(c.item) = c.slot;
    Click('G', {ui::ssCtrl});
    const std::string text = ReadFile(folder / c.fileName);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(banks::ParseElement(text), c.kept);
  }
  // A recording of the voice itself goes back to the same bytes, leading zeros aside.
  w->SlotLB->SetItemIndex(ChItem);
  w->Voices->LoadVoice(0, 0, 0);
  std::string recording = banks::VoiceBankTable(0)[ChItem + 1];
  Click('G', {ui::ssCtrl});
  while (recording.size() > 2 && recording[0] == 0 && recording[1] == 0) recording.erase(0, 2);
  EXPECT_EQ(banks::ParseElement(ReadFile(folder / "ch.txt")), recording);
  EXPECT_TRUE(errors.empty());
}

TEST_F(TuningTest, AnExportThatCannotBeWrittenReachesTheErrorBoxWithoutABeep) {
  const fs::path missing = folder / "no_existe" / "orv_lp";
  platform::SetProgramFileForTesting(missing.string());
  OpenMode();
  w->SlotLB->SetItemIndex(ChItem);
  const int beeps = platform::BeepCount();
  Click('G', {ui::ssCtrl});
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find((folder / "no_existe" / "ch.txt").string()), std::string::npos)
      << errors[0];
  EXPECT_NE(errors[0].find("La carpeta no existe."), std::string::npos) << errors[0];
  EXPECT_EQ(platform::BeepCount(), beeps);
  EXPECT_TRUE(ModeOn());
}
