// The ten lists' key releases: presets, what reaches the speech component from which list,
// the read command, the announcements and Escape.
#include <filesystem>
#include <fstream>

#include "WindowFixture.h"
#include "app/VoicePresets.h"
#include "banks/VoiceBanks.h"

using ui::TCheckListBox;

namespace {

std::string Current(const TCheckListBox* list) { return list->Items()[list->ItemIndex()]; }

// The component holds the bank's slots resampled by the analog speed.
void ExpectVoiceLoaded(const TORVHumanVoices& v, int bank, int analog) {
  const banks::TVoiceBank& b = banks::VoiceBankTable(bank);
  for (int s = 0; s < banks::SlotCount; ++s) {
    const std::string expected =
        banks::IsEmptySlot(b[s])
            ? banks::EmptySlot
            : TORVHumanVoices::Resample(b[s], static_cast<std::int16_t>(analog));
    ASSERT_EQ(v.FBank[s], expected) << "bank " << bank << " analog " << analog << " slot " << s;
  }
}

// Values no list delivers, so that any hand-over shows.
void Plant(TORVHumanVoices& v) {
  v.FSettings.Pitch = -7;
  v.FSettings.Reverb = v.FSettings.Compressor = v.FSettings.Timbre = v.FSettings.AnalogSpeed = 77;
  v.FSettings.Treble = v.FSettings.Bass = -9;
  v.FBank[1] = "planted";
}

bool StillPlanted(const TORVHumanVoices& v) {
  return v.FSettings.Pitch == -7 && v.FSettings.Reverb == 77 && v.FSettings.Compressor == 77 &&
         v.FSettings.Timbre == 77 && v.FSettings.AnalogSpeed == 77 && v.FSettings.Treble == -9 &&
         v.FSettings.Bass == -9 && v.FBank[1] == "planted";
}

}  // namespace

TEST_F(WindowTest, VoiceListKeysApplyThePresetOverTheUsersChoices) {
  struct Case {
    int from, to;  // VoiceLB before and after the key
    std::uint16_t key;
    const char *pitch, *eq, *analog, *waveForm;
    int trebleCut, bassCut;
  };
  const Case cases[] = {
      {12, 13, ui::VK_DOWN, "156", "-1 -2", "-1", "Suavizado", 1, 2},  // Lidrena (5)
      {0, 1, ui::VK_DOWN, "40", "0 -2", "(Sin cambio", "Normal/Suavizado 50/50%", 0, 2},
      {45, 44, ui::VK_UP, "60", "-1 -2", "-2", "Suavizado (aleatoriamente)", 1, 2},
      {59, 59, ui::VK_SPACE, "20", "-1 -2", "1", "Suavizado (aleatoriamente)", 1, 2},
      {89, 89, ui::VK_NEXT, "140", "-1 -2", "-2", "Suavizado (aleatoriamente)", 1, 2},
      {30, 30, 'X', "110", "0 -2", "-2", "Suavizado (aleatoriamente)", 0, 2},  // Tesmira (4)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    // The user's own choices in every list a preset touches, and in two it does not.
    w->PitchLB->SetItemIndex(299);
    w->SpeedLB->SetItemIndex(9);
    w->EqLB->SetItemIndex(20);
    w->AnalogSpeedLB->SetItemIndex(12);
    w->CompressLB->SetItemIndex(3);
    w->WaveFormLB->SetItemIndex(3);
    w->VolumeLB->SetItemIndex(10);
    w->ReverbLB->SetItemIndex(5);
    w->VoiceLB->SetItemIndex(c.from);
    Focus(w->VoiceLB);
    Click(c.key);
    ASSERT_EQ(w->VoiceLB->ItemIndex(), c.to);
    EXPECT_EQ(Current(w->PitchLB), c.pitch);
    EXPECT_EQ(Current(w->SpeedLB), "5");
    EXPECT_EQ(Current(w->EqLB), c.eq);
    EXPECT_EQ(Current(w->AnalogSpeedLB), c.analog);
    EXPECT_EQ(Current(w->CompressLB), "(No comprimir");
    EXPECT_EQ(Current(w->WaveFormLB), c.waveForm);
    EXPECT_EQ(Current(w->VolumeLB), "11");
    EXPECT_EQ(w->ReverbLB->ItemIndex(), 5);

    // The preset's values, then the voice reloaded with them.
    const TORVHumanVoices& v = *w->Voices;
    EXPECT_EQ(v.FSettings.Pitch, std::stoi(c.pitch));
    EXPECT_EQ(v.FSettings.AnalogSpeed, w->AnalogSpeedLB->ItemIndex());
    EXPECT_EQ(v.FSettings.Timbre, w->WaveFormLB->ItemIndex());
    EXPECT_EQ(v.FSettings.Compressor, 0);
    EXPECT_EQ(v.FSettings.Reverb, 5);
    EXPECT_EQ(v.FSettings.Treble, c.trebleCut);
    EXPECT_EQ(v.FSettings.Bass, c.bassCut);
    ExpectVoiceLoaded(v, c.to / 9, w->AnalogSpeedLB->ItemIndex());
  }
}

TEST_F(WindowTest, EachListHandsOverItsSettingsAndReloadsAsItsKindSays) {
  struct Case {
    TCheckListBox* list;
    bool settings;
    bool reload;
  };
  const Case cases[] = {
      {w->VoiceLB, true, true},     {w->SpeedLB, false, true},    {w->PitchLB, true, true},
      {w->VolumeLB, false, false},  {w->EqLB, true, true},        {w->AnalogSpeedLB, true, true},
      {w->CompressLB, true, false}, {w->WaveFormLB, true, false}, {w->ReverbLB, true, false},
      {w->QueLB, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list->Items()[0]);
    TORVHumanVoices& v = *w->Voices;
    Plant(v);
    Focus(c.list);
    Click(ui::VK_DOWN);
    if (c.settings) {
      EXPECT_EQ(v.FSettings.Pitch, w->PitchLB->ItemIndex() + 1);
      EXPECT_EQ(v.FSettings.Reverb, w->ReverbLB->ItemIndex());
      EXPECT_EQ(v.FSettings.Compressor, w->CompressLB->ItemIndex());
      EXPECT_EQ(v.FSettings.AnalogSpeed, w->AnalogSpeedLB->ItemIndex());
      EXPECT_EQ(v.FSettings.Timbre, w->WaveFormLB->ItemIndex());
    } else {
      EXPECT_EQ(v.FSettings.Pitch, -7);
      EXPECT_EQ(v.FSettings.Reverb, 77);
      EXPECT_EQ(v.FSettings.Compressor, 77);
      EXPECT_EQ(v.FSettings.AnalogSpeed, 77);
      EXPECT_EQ(v.FSettings.Timbre, 77);
    }
    if (c.reload) {
      std::int16_t treble = 0, bass = 0;
      ParseEqItem(Current(w->EqLB), treble, bass);
      EXPECT_EQ(v.FSettings.Treble, -treble);
      EXPECT_EQ(v.FSettings.Bass, -bass);
      ExpectVoiceLoaded(v, w->VoiceLB->ItemIndex() / 9, v.FSettings.AnalogSpeed);
    } else {
      EXPECT_EQ(v.FSettings.Treble, -9);
      EXPECT_EQ(v.FSettings.Bass, -9);
      EXPECT_EQ(v.FBank[1], "planted");
    }
    EXPECT_TRUE(v.FText.empty()) << "nothing is spoken";
  }
}

TEST_F(WindowTest, TheAnalogSpeedReachesTheComponentBeforeTheReload) {
  Focus(w->AnalogSpeedLB);
  Click(ui::VK_DOWN);  // "-6"
  ASSERT_EQ(Current(w->AnalogSpeedLB), "-6");
  EXPECT_EQ(w->Voices->FSettings.AnalogSpeed, 1);
  ExpectVoiceLoaded(*w->Voices, 0, 1);
  // The slots really changed: the voice is slower by half.
  const std::string& a = banks::VoiceBankTable(0)[1];
  ASSERT_FALSE(banks::IsEmptySlot(a));
  EXPECT_EQ(w->Voices->FBank[1].size(), a.size() * 2 - 4);
}

TEST_F(WindowTest, FirstReloadBringsTheEqualiserNumbers) {
  // The window loads the voice without cuts; "0 -2" counts from the first reload.
  ASSERT_EQ(w->Voices->FSettings.Bass, 0);
  Focus(w->SpeedLB);
  Click(ui::VK_DOWN);
  EXPECT_EQ(w->Voices->FSettings.Treble, 0);
  EXPECT_EQ(w->Voices->FSettings.Bass, 2);
  EXPECT_EQ(w->Voices->FSettings.Pitch, 0) << "the speed list hands no settings over";
}

TEST_F(WindowTest, EnterOnLeerReadsFromTheCaretOrFromTheStartNearTheEnd) {
  const std::string text = "Uno. Dos.\r\nTres.";  // 16 bytes
  const int n = static_cast<int>(text.size());
  struct Case {
    int caret;
    int caretAfter;
    std::string spoken;
  };
  const Case cases[] = {
      {0, 0, text},         {5, 5, "Dos.\r\nTres."}, {11, 11, "Tres."},
      {n - 2, n - 2, "s."}, {n - 1, 0, text},  // next to the end
      {n, 0, text},                            // at the end
  };
  w->SpeedLB->SetItemIndex(2);
  w->PitchLB->SetItemIndex(149);
  w->VolumeLB->SetItemIndex(49);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caret);
    w->R1->SetText(text);
    w->R1->SetSelStart(c.caret);
    Focus(w->QueLB);
    Click(ui::VK_RETURN);
    const TORVHumanVoices& v = *w->Voices;
    EXPECT_EQ(v.FText, c.spoken);
    EXPECT_EQ(v.FFollowCaret, -1);
    EXPECT_EQ(v.FSettings.Speed, 3);
    EXPECT_EQ(v.FSettings.Pitch, 150);
    EXPECT_EQ(v.FSettings.Volume, 50);
    EXPECT_EQ(v.FTimer->Interval(), 10u);
    EXPECT_EQ(w->R1->SelStart(), c.caretAfter);
    w->Voices->Stop();
  }
}

// The text Enter reads is the box's as it stands, after whatever was typed since the last
// reading.
TEST_F(WindowTest, EnterOnLeerReadsWhatWasTypedSinceTheLastReading) {
  w->R1->SetText("Uno. Dos.");
  for (const char* read : {"Dos.", "Tres. Dos."}) {
    w->R1->SetSelStart(5);
    Focus(w->QueLB);
    Click(ui::VK_RETURN);
    EXPECT_EQ(w->Voices->FText, read);
    Click(ui::VK_ESCAPE);
    Focus(w->R1);
    w->R1->SetSelStart(5);
    ui::testing::TypeText("Tres. ");
  }
}

TEST_F(WindowTest, NothingToSpeakLeavesTheReadingUnderWay) {
  w->R1->SetText("Hola.");
  w->R1->SetSelStart(0);
  Focus(w->QueLB);
  Click(ui::VK_RETURN);
  ASSERT_EQ(w->Voices->FText, "Hola.");
  struct Case {
    std::string text;
    int caret;
  };
  const Case cases[] = {
      {"", 0}, {"   \r\n\r\n", 0}, {"...", 0}, {"- / , ! ( )", 0}, {"Fin. ...", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    w->R1->SetText(c.text);
    w->R1->SetSelStart(c.caret);
    Click(ui::VK_RETURN);
    EXPECT_EQ(w->Voices->FText, "Hola.");
    EXPECT_EQ(w->Voices->FTimer->Interval(), 10u) << "the reading goes on";
  }
  // A byte above 127 is something to say.
  w->R1->SetText("\xBF?");
  w->R1->SetSelStart(0);
  Click(ui::VK_RETURN);
  EXPECT_EQ(w->Voices->FText, "\xBF?");
  w->Voices->Stop();
}

TEST_F(WindowTest, EnterOnASettingListAnnouncesItWithoutMovingTheCaret) {
  w->VoiceLB->SetItemIndex(2);
  const std::string voice = ", Varquelo (3)";
  const std::pair<TCheckListBox*, std::string> cases[] = {
      {w->VoiceLB, "Varquelo (3)"},
      {w->SpeedLB, "Velocidad 5" + voice},
      {w->PitchLB, "Tono 40" + voice},
      {w->VolumeLB, "Volumen 99" + voice},
      {w->EqLB, "Ecualizaci\xF3n 0 -2" + voice},
      {w->AnalogSpeedLB, "Velocidad anal\xF3gica (Sin cambio" + voice},
      {w->CompressLB, "Compresor (No comprimir" + voice},
      {w->WaveFormLB, "Timbre (Normal)" + voice},
      {w->ReverbLB, "Reverberaci\xF3n (Sin efecto)" + voice},
  };
  w->R1->SetSelStart(7);
  for (const auto& [list, spoken] : cases) {
    SCOPED_TRACE(spoken);
    Focus(list);
    Click(ui::VK_RETURN);
    EXPECT_EQ(w->Voices->FText, spoken);
    EXPECT_EQ(w->Voices->FFollowCaret, 0);
    EXPECT_EQ(w->Voices->FSettings.Speed, 5);
    EXPECT_EQ(w->Voices->FSettings.Pitch, 40);
    EXPECT_EQ(w->Voices->FSettings.Volume, 99);
  }
  // Let the last announcement be read for a while: the caret stays.
  ui::testing::ProcessMessages(400);
  EXPECT_EQ(w->R1->SelStart(), 7);
  w->Voices->Stop();
}

TEST_F(WindowTest, EscapeInEveryListStopsTheSpeech) {
  for (TCheckListBox* list :
       {w->VoiceLB, w->SpeedLB, w->PitchLB, w->VolumeLB, w->EqLB, w->AnalogSpeedLB, w->CompressLB,
        w->WaveFormLB, w->ReverbLB, w->QueLB}) {
    SCOPED_TRACE(list->Items()[0]);
    w->Voices->Speak("Hola. Adi\xF3s.", 5, 40, 99, 0);
    ASSERT_EQ(w->Voices->FTimer->Interval(), 10u);
    std::ofstream(w->Voices->FWavFile) << "RIFF";
    Plant(*w->Voices);
    Focus(list);
    Click(ui::VK_ESCAPE);
    EXPECT_EQ(w->Voices->FTimer->Interval(), 0u);
    EXPECT_FALSE(std::filesystem::exists(w->Voices->FWavFile));
    // Escape neither reads nor announces nor hands anything over.
    EXPECT_EQ(w->Voices->FText, "Hola. Adi\xF3s.");
    EXPECT_TRUE(StillPlanted(*w->Voices));
  }
}

TEST_F(WindowTest, TabAndModifierReleasesDoNothing) {
  TORVHumanVoices& v = *w->Voices;
  for (TCheckListBox* list : {w->VoiceLB, w->PitchLB, w->QueLB}) {
    const int pitch = w->PitchLB->ItemIndex();
    Plant(v);
    Focus(list);
    for (std::uint16_t key : {ui::VK_SHIFT, ui::VK_CONTROL, ui::VK_MENU, ui::VK_BACK}) Release(key);
    Click(ui::VK_TAB);  // the release reaches the next control
    EXPECT_TRUE(StillPlanted(v));
    EXPECT_TRUE(v.FText.empty());
    EXPECT_FALSE(v.FTimer->Running());
    EXPECT_EQ(w->PitchLB->ItemIndex(), pitch);
  }
}

TEST_F(WindowTest, AltVFocusesTheVoiceListAndAppliesItsPreset) {
  w->VoiceLB->SetItemIndex(13);
  w->PitchLB->SetItemIndex(0);
  Focus(w->R1);
  Press('V', {ui::ssAlt});
  ASSERT_EQ(w->ActiveControl(), w->VoiceLB);
  Release('V', {ui::ssAlt});
  EXPECT_EQ(Current(w->PitchLB), "156");
  EXPECT_EQ(Current(w->AnalogSpeedLB), "-1");
  EXPECT_EQ(w->Voices->FSettings.Pitch, 156);
  ExpectVoiceLoaded(*w->Voices, 1, 6);
}
