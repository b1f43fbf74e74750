// The window as it opens: controls, items, preselected items, menu, the speech component's
// first voice; the menu's file open and sound quality; opening without speech.
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "WindowFixture.h"
#include "banks/VoiceBanks.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;
using ui::TCheckListBox;

namespace {

fs::path TestFolder() {
  fs::path dir = fs::path(platform::GetEnv("TEMP")) /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
  fs::create_directories(dir);
  return dir;
}

std::u32string Ascii32(const char* s) { return std::u32string(s, s + std::strlen(s)); }

}  // namespace

TEST_F(WindowTest, OpensWithDemoTextDefaultItemsAndVoiceZero) {
  EXPECT_EQ(w->Caption(), "ORV Quenvar (prueba)");
  EXPECT_EQ(w->R1->Text(), DemoText);
  EXPECT_TRUE(w->R1->Visible());

  struct Row {
    TCheckListBox* list;
    int count;
    const char* shown;
  };
  const Row rows[] = {
      {w->VoiceLB, 90, "Varquelo"},
      {w->SpeedLB, 10, "5"},
      {w->PitchLB, 400, "40"},
      {w->VolumeLB, 99, "99"},
      {w->EqLB, 25, "0 -2"},
      {w->AnalogSpeedLB, 13, "(Sin cambio"},
      {w->CompressLB, 4, "(No comprimir"},
      {w->WaveFormLB, 10, "(Normal)"},
      {w->ReverbLB, 7, "(Sin efecto)"},
      {w->QueLB, 1, "Leer"},
      {w->SlotLB, 119, "a"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(r.list->Items().Count(), r.count) << r.shown;
    ASSERT_GE(r.list->ItemIndex(), 0) << r.shown;
    EXPECT_EQ(r.list->Items()[r.list->ItemIndex()], r.shown);
  }

  // Items the lists are built from.
  const std::pair<TCheckListBox*, std::pair<int, const char*>> items[] = {
      {w->VoiceLB, {1, "Varquelo (2)"}},
      {w->VoiceLB, {8, "Varquelo (9)"}},
      {w->VoiceLB, {9, "Lidrena"}},
      {w->VoiceLB, {89, "Nevrina (9)"}},
      {w->PitchLB, {399, "400"}},
      {w->EqLB, {0, "(No filtrar)"}},
      {w->EqLB, {1, "0 -1"}},
      {w->EqLB, {4, "0 -4"}},
      {w->EqLB, {5, "-1 0"}},
      {w->EqLB, {13, "-2 -3"}},
      {w->EqLB, {24, "-4 -4"}},
      {w->AnalogSpeedLB, {6, "-1"}},
      {w->AnalogSpeedLB, {7, "1"}},
      {w->WaveFormLB, {9, "Suavizado (aleatoriamente)"}},
      {w->ReverbLB, {4, "normal (1)"}},
      {w->SlotLB, {7, "ch"}},
      {w->SlotLB, {118, "n5"}},
  };
  for (const auto& [list, item] : items) EXPECT_EQ(list->Items()[item.first], item.second);

  EXPECT_TRUE(w->Normal1->Checked());
  EXPECT_FALSE(w->Baja1->Checked());
  EXPECT_FALSE(w->MuyBaja1->Checked());

  EXPECT_FALSE(w->SlotLB->Visible());
  EXPECT_FALSE(w->ExportMemo->Visible());
  EXPECT_EQ(w->UnlockCount, 0);
  EXPECT_EQ(w->SwallowKeyUp, 0);

  // Voice item 0 without cuts, although the equaliser list shows "0 -2".
  TORVHumanVoices& v = *w->Voices;
  EXPECT_EQ(v.FSettings.SampleRate, 22050);
  EXPECT_EQ(v.FSettings.Treble, 0);
  EXPECT_EQ(v.FSettings.Bass, 0);
  const banks::TVoiceBank& bank = banks::VoiceBankTable(0);
  for (int s = 0; s < banks::SlotCount; ++s) EXPECT_EQ(v.FBank[s], bank[s]) << "slot " << s;
}

TEST_F(WindowTest, DemoTextHasOneSentencePerLineAndOneCapitalWordOnTheChLine) {
  std::vector<std::string> lines;
  std::string text(DemoText);
  for (std::size_t from = 0; from < text.size();) {
    std::size_t end = text.find("\r\n", from);
    ASSERT_NE(end, std::string::npos) << "the last line ends with CR LF too";
    lines.push_back(text.substr(from, end - from));
    from = end + 2;
  }
  ASSERT_EQ(lines.size(), 28u);
  for (const auto& line : lines) {
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '.') << line;
    EXPECT_EQ(line.find('.'), line.size() - 1) << "one sentence: " << line;
    EXPECT_EQ(line.find('\n'), std::string::npos);
  }
  // Lines go by sound group; spot-check the groups' letters.
  const std::pair<int, const char*> groups[] = {{1, "bl"},  {2, "br"},  {4, "cl"},  {5, "cr"},
                                                {6, "ch"},  {8, "dr"},  {10, "fl"}, {11, "fr"},
                                                {13, "gl"}, {14, "gr"}, {17, "ll"}, {20, "\xF1"},
                                                {23, "s"},  {25, "tr"}, {26, "x"},  {27, "z"}};
  for (auto [i, letters] : groups) EXPECT_NE(lines[i].find(letters), std::string::npos) << i;
  // The ch line: exactly one word in capitals.
  int capitalWords = 0;
  std::string word;
  for (char c : lines[6] + " ") {
    if (c >= 'A' && c <= 'Z') {
      word += c;
    } else if (c >= 'a' && c <= 'z') {
      word = "?";
    } else {
      if (word.size() > 1 && word.find('?') == std::string::npos) ++capitalWords;
      word.clear();
    }
  }
  EXPECT_EQ(capitalWords, 1) << lines[6];
}

TEST_F(WindowTest, LayoutFollowsTheFormDescription) {
  EXPECT_EQ(w->R1->Left(), 10);
  EXPECT_EQ(w->R1->Top(), 10);
  EXPECT_EQ(w->R1->Height(), 80);
  EXPECT_EQ(w->R1->Width(), w->ClientWidth() - 20);

  struct Row {
    ui::TLabel* label;
    const char* caption;
    TCheckListBox* list;
    int top;
  };
  const Row rows[] = {
      {w->VoiceLabel, "&Voz", w->VoiceLB, 110},
      {w->SpeedLabel, "Velo&cidad", w->SpeedLB, 140},
      {w->PitchLabel, "&Tono", w->PitchLB, 170},
      {w->VolumeLabel, "Volum&en", w->VolumeLB, 200},
      {w->EqLabel, "A&gudos/Graves", w->EqLB, 230},
      {w->AnalogSpeedLabel, "Velocidad anal\xF3gica", w->AnalogSpeedLB, 260},
      {w->CompressLabel, "C&ompresor", w->CompressLB, 290},
      {w->WaveFormLabel, "T&imbre", w->WaveFormLB, 320},
      {w->ReverbLabel, "&Reverberaci\xF3n", w->ReverbLB, 350},
      {w->QueLabel, "&Aceptar", w->QueLB, 380},
  };
  int tab = 2;  // the slot list and the text box come first
  for (const Row& r : rows) {
    EXPECT_EQ(r.label->Caption(), r.caption);
    EXPECT_EQ(r.label->Left(), 10) << r.caption;
    EXPECT_EQ(r.label->Top(), r.top) << r.caption;
    EXPECT_EQ(r.list->Left(), 130) << r.caption;
    EXPECT_EQ(r.list->Top(), r.top) << r.caption;
    EXPECT_EQ(r.list->Width(), 492) << r.caption;
    EXPECT_EQ(r.list->Height(), 18) << r.caption;
    EXPECT_EQ(r.list->ItemHeight(), 13) << r.caption;
    EXPECT_EQ(r.list->TabOrder(), tab++) << r.caption;
  }
  EXPECT_EQ(w->SlotLB->TabOrder(), 0);
  EXPECT_EQ(w->R1->TabOrder(), 1);
  EXPECT_EQ(w->SlotLB->Left(), 20);
  EXPECT_EQ(w->SlotLB->Top(), 20);
  EXPECT_EQ(w->SlotLB->Width(), 60);
  EXPECT_EQ(w->SlotLB->Height(), 18);

  EXPECT_EQ(w->File1->Caption(), "Varios");
  EXPECT_EQ(w->Open1->Caption(), "Abrir archivo...");
  EXPECT_EQ(w->Open1->ShortCut(), 16449);
  EXPECT_EQ(w->SampleRate1->Caption(), "Calidad del sonido");
  EXPECT_EQ(w->Normal1->Caption(), "Normal (22050)");
  EXPECT_EQ(w->Baja1->Caption(), "Baja (11025)");
  EXPECT_EQ(w->MuyBaja1->Caption(), "Muy baja (8000)");
  EXPECT_EQ(w->OpenDialog1->Filter, "Cualquier archivo (*.*)|*.*");
  EXPECT_EQ(w->OpenDialog1->Options, unsigned{ui::ofPathMustExist | ui::ofFileMustExist});
}

TEST_F(WindowTest, QualityMenuKeepsOneMarkAndTheMarkedItemDoesNothing) {
  struct Step {
    ui::TMenuItem* item;
    std::int32_t rate;
  };
  const Step steps[] = {{w->Baja1, 11025}, {w->MuyBaja1, 8000}, {w->Normal1, 22050}};
  for (const Step& s : steps) {
    ui::testing::ChooseMenuItem(s.item);
    EXPECT_EQ(w->Voices->FSettings.SampleRate, s.rate);
    for (ui::TMenuItem* item : {w->Normal1, w->Baja1, w->MuyBaja1})
      EXPECT_EQ(item->Checked(), item == s.item) << item->Caption();
    // Choosing the marked item again calls nothing.
    w->Voices->FSettings.SampleRate = 1;
    ui::testing::ChooseMenuItem(s.item);
    EXPECT_EQ(w->Voices->FSettings.SampleRate, 1);
    EXPECT_TRUE(s.item->Checked());
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, CancellingTheOpenDialogLeavesTheText) {
  int asked = 0;
  ui::TOpenDialog::SetExecuteHook([&](const ui::TOpenDialog& d) -> std::optional<std::string> {
    ++asked;
    EXPECT_EQ(d.Filter, "Cualquier archivo (*.*)|*.*");
    return std::nullopt;
  });
  w->R1->SetText("Texto propio.");
  Focus(w->R1);
  Click('A', {ui::ssCtrl});  // the menu's shortcut
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(w->R1->Text(), "Texto propio.");
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, OpenLoadsPlainAndRichTextFiles) {
  const fs::path dir = TestFolder();
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
    const char* boldRun;  // a run shown in bold, if any
  };
  const Case cases[] = {
      {"utf8.txt", "Canci\xC3\xB3n del ni\xC3\xB1o.\nOtra l\xC3\xADnea.",
       "Canci\xF3n del ni\xF1o.\r\nOtra l\xEDnea.", nullptr},
      {"cp1252.txt", "Canci\xF3n del ni\xF1o.\r\n\xBFY bien?",
       "Canci\xF3n del ni\xF1o.\r\n\xBFY bien?", nullptr},
      {"rico.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}Hola {\\b negrita}\\par Adi\\'f3s.}",
       "Hola negrita\r\nAdi\xF3s.", "negrita"},
  };
  for (const Case& c : cases) {
    testsupport::WriteFile(dir / c.name, c.bytes);
    ui::TOpenDialog::SetExecuteHook([&](const ui::TOpenDialog&) -> std::optional<std::string> {
      return (dir / c.name).string();
    });
    ui::testing::ChooseMenuItem(w->Open1);
    EXPECT_EQ(w->R1->Text(), c.text) << c.name;
    // Rich text: bold shows on the bold word and nowhere else. Plain text keeps the
    // window's bold font throughout.
    std::u32string bold, regular;
    for (const auto& run : w->R1->Runs()) (run.bold ? bold : regular) += run.text;
    if (c.boldRun) {
      EXPECT_NE(bold.find(Ascii32(c.boldRun)), std::u32string::npos) << c.name;
      EXPECT_EQ(bold.find(U"Hola"), std::u32string::npos) << c.name;
    } else {
      EXPECT_TRUE(regular.empty()) << c.name;
      EXPECT_FALSE(bold.empty()) << c.name;
    }
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(WindowTest, AFileThatCannotBeReadReachesTheErrorBoxWithItsName) {
  const std::string missing = (TestFolder() / "no_existe.txt").string();
  ui::TOpenDialog::SetExecuteHook(
      [&](const ui::TOpenDialog&) -> std::optional<std::string> { return missing; });
  w->R1->SetText("Sigue igual.");
  ui::testing::ChooseMenuItem(w->Open1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "No se encuentra el archivo \"" + missing + "\".");
  EXPECT_EQ(w->R1->Text(), "Sigue igual.");
}

// No folder for the WAV file: the error box shows the component's message and the window
// opens and works without speech, every command quietly doing nothing.
TEST_F(WindowHooks, WithoutAFolderForTheWavFileTheWindowOpensWithoutSpeech) {
  const fs::path dir = TestFolder();
  testsupport::WriteFile(dir / "archivo", "x");
  const std::string temp = platform::GetEnv("TEMP");
  setenv("TEMP", (dir / "no_existe").c_str(), 1);
  platform::SetProgramFileForTesting((dir / "archivo" / "dentro" / "orv_lp").string());
  CreateWindow();
  setenv("TEMP", temp.c_str(), 1);

  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Error: imposible ejecutar la aplicaci\xF3n");
  EXPECT_EQ(w->Voices, nullptr);
  EXPECT_TRUE(w->Visible());
  EXPECT_EQ(w->EqLB->Items().Count(), 25);
  EXPECT_EQ(w->R1->Text(), DemoText);
  errors.clear();

  // The preset still moves the lists; the rest fails silently.
  Focus(w->VoiceLB);
  Click(ui::VK_DOWN);
  EXPECT_EQ(w->WaveFormLB->ItemIndex(), 7);
  Click(ui::VK_RETURN);
  Click(ui::VK_ESCAPE);
  Focus(w->QueLB);
  Click(ui::VK_RETURN);
  ui::testing::ChooseMenuItem(w->Baja1);
  EXPECT_TRUE(w->Baja1->Checked());
  EXPECT_FALSE(w->Normal1->Checked());
  // The tuning mode has no voice to work on and stays shut.
  Focus(w->R1);
  for (int i = 0; i < 7; ++i) Click(ui::VK_F6);
  Click(ui::VK_F2);
  Click('G', {ui::ssCtrl});
  Click(ui::VK_RETURN);
  EXPECT_FALSE(w->SlotLB->Visible());
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(errors.empty()) << errors.front();
}
