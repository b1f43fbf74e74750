#include "app/ZIriD.h"

#include <string>

#include "speech/RUZIZ.h"

TZedUdezuv* ZedUdezuv = nullptr;

const std::string_view DemoText =
    "Bernab\xE9 y Vicente viven en una vieja barca verde.\r\n"
    "Blanca habla del blando cable que se dobla en el pueblo.\r\n"
    "Bruno abre la bruma con un brazo de bronce brillante.\r\n"
    "Catalina come queso con Carmen en el parque de Cuenca.\r\n"
    "Clara clava un clavo claro en la clase del club.\r\n"
    "Cristina cree que la crema cruje en el cr\xE1ter.\r\n"
    "El CHICO de la chaqueta ancha escucha a la muchacha.\r\n"
    "Daniel dedica el domingo a dormir donde dice su due\xF1"
    "a.\r\n"
    "Drago, el padre de Adriana, dibuja un cuadro en Madrid.\r\n"
    "Felipe fue feliz en la fiesta de la familia Fuentes.\r\n"
    "Florencia flota junto a la flecha de flores del flamenco.\r\n"
    "Francisco fr\xED"
    "e fresas frescas frente a la fragua.\r\n"
    "Gonzalo gu\xED"
    "a al gato gordo hasta la guitarra del gaitero.\r\n"
    "Gloria arregla el globo de la iglesia en Inglaterra.\r\n"
    "Gregorio agrega granos grandes a la granja de la abuela.\r\n"
    "Julia y Jorge juegan con el jarro rojo de la jirafa.\r\n"
    "Luis lee la lista de la l\xE1mpara junto al lago.\r\n"
    "La lluvia llena la calle y el caballo llega a la silla.\r\n"
    "Mam\xE1 mira a Mar\xED"
    "a comer manzanas maduras en la mesa.\r\n"
    "Nadie nota que Nicol\xE1s nada en el nido nuevo.\r\n"
    "La ni\xF1"
    "a sue\xF1"
    "a con el a\xF1o en que el se\xF1or ba\xF1\xF3 al \xF1"
    "and\xFA.\r\n"
    "Pedro pinta la puerta del palacio con papel y pintura.\r\n"
    "Ram\xF3n corre por la carretera y el perro rueda por la arena.\r\n"
    "Sara suma seis sillas sobre la mesa del sal\xF3n.\r\n"
    "Tom\xE1s toma t\xE9 en la taza de t\xED"
    "a Teresa.\r\n"
    "Trinidad trae tres trozos de trigo en el tren.\r\n"
    "Xavier examina el texto exacto del taxi en M\xE9xico.\r\n"
    "Zoe cruza la plaza y caza una zorra cerca del pozo.\r\n";

namespace {

// One setting list of the form description: its label, caption and top edge.
ui::TCheckListBox* AddList(TZedUdezuv* form, ui::TLabel*& label, const char* caption, int top) {
  auto* list = new ui::TCheckListBox(form);
  list->SetBounds(130, top, 492, 18);
  list->SetItemHeight(13);
  label = new ui::TLabel(form);
  label->SetCaption(caption);
  label->SetBounds(10, top, label->Width(), 13);
  label->SetFocusControl(list);
  return list;
}

void AddItems(ui::TCheckListBox* list, std::initializer_list<const char*> items) {
  for (const char* s : items) list->Items().Add(s);
}

// A treble or bass step as the equaliser list writes it: "0", or "-" and the step.
std::string EqNumber(int step) { return step == 0 ? "0" : "-" + std::to_string(step); }

}  // namespace

TZedUdezuv::TZedUdezuv() {
  // 640 x 460 outside at 96 pixels per inch; the frame is the window system's.
  SetClientSize(632, 406);
  SetFont("MS Sans Serif", 11, true);

  MainMenu1 = new ui::TMainMenu(this);
  File1 = new ui::TMenuItem(this);
  File1->SetCaption("Varios");
  Open1 = new ui::TMenuItem(this);
  Open1->SetCaption("Abrir archivo...");
  Open1->SetShortCut(ui::scCtrl | 'A');
  SampleRate1 = new ui::TMenuItem(this);
  SampleRate1->SetCaption("Calidad del sonido");
  Normal1 = new ui::TMenuItem(this);
  Normal1->SetCaption("Normal (22050)");
  Baja1 = new ui::TMenuItem(this);
  Baja1->SetCaption("Baja (11025)");
  MuyBaja1 = new ui::TMenuItem(this);
  MuyBaja1->SetCaption("Muy baja (8000)");
  File1->Add(Open1);
  File1->Add(SampleRate1);
  SampleRate1->Add(Normal1);
  SampleRate1->Add(Baja1);
  SampleRate1->Add(MuyBaja1);
  MainMenu1->Add(File1);

  OpenDialog1 = new ui::TOpenDialog(this);
  OpenDialog1->Filter = "Cualquier archivo (*.*)|*.*";
  OpenDialog1->Options = ui::ofPathMustExist | ui::ofFileMustExist;

  // Creation order is tab order: the text box first, then the lists from top to bottom.
  R1 = new ui::TRichEdit(this);
  R1->SetBounds(10, 10, 612, 80);
  R1->SetAccessibleName("Texto");
  VoiceLB = AddList(this, VoiceLabel, "&Voz", 110);
  SpeedLB = AddList(this, SpeedLabel, "Velo&cidad", 140);
  PitchLB = AddList(this, PitchLabel, "&Tono", 170);
  VolumeLB = AddList(this, VolumeLabel, "Volum&en", 200);
  EqLB = AddList(this, EqLabel, "A&gudos/Graves", 230);
  AnalogSpeedLB = AddList(this, AnalogSpeedLabel, "Velocidad anal\xF3gica", 260);
  CompressLB = AddList(this, CompressLabel, "C&ompresor", 290);
  WaveFormLB = AddList(this, WaveFormLabel, "T&imbre", 320);
  ReverbLB = AddList(this, ReverbLabel, "&Reverberaci\xF3n", 350);
  QueLB = AddList(this, QueLabel, "&Aceptar", 380);

  for (int bank = 0; bank < banks::BankCount; ++bank) {
    std::string name(banks::VoiceName(bank));
    VoiceLB->Items().Add(name);
    for (int variant = 2; variant <= banks::VariantsPerVoice; ++variant)
      VoiceLB->Items().Add(name + " (" + std::to_string(variant) + ")");
  }
  AddItems(AnalogSpeedLB,
           {"(Sin cambio", "-6", "-5", "-4", "-3", "-2", "-1", "1", "2", "3", "4", "5", "6"});
  AddItems(CompressLB, {"(No comprimir", "1", "2", "3"});
  AddItems(WaveFormLB,
           {"(Normal)", "1", "2", "3", "4", "Suavizado", "Normal/Suavizado 33/66%",
            "Normal/Suavizado 50/50%", "Normal/Suavizado 66/33%", "Suavizado (aleatoriamente)"});
  AddItems(ReverbLB, {"(Sin efecto)", "Corta (1)", "Corta (2)", "Corta (3)", "normal (1)",
                      "Normal (2)", "Normal (3)"});
  AddItems(QueLB, {"Leer"});

  SetMenu(MainMenu1);
  CenterOnScreen();

  OnCreate = [this](ui::TObject* s) { FormCreate(s); };
  OnCloseQuery = [this](ui::TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
  Open1->OnClick = [this](ui::TObject* s) { Open1Click(s); };
  Normal1->OnClick = [this](ui::TObject* s) { Normal1Click(s); };
  Baja1->OnClick = [this](ui::TObject* s) { Baja1Click(s); };
  MuyBaja1->OnClick = [this](ui::TObject* s) { MuyBaja1Click(s); };
  for (ui::TCheckListBox* list : {VoiceLB, SpeedLB, PitchLB, VolumeLB, EqLB, AnalogSpeedLB,
                                  CompressLB, WaveFormLB, ReverbLB, QueLB})
    list->OnKeyUp = [this](ui::TObject* s, std::uint16_t& k, ui::TShiftState sh) {
      AllLBKeyUp(s, k, sh);
    };

  // A following reading moves the caret of the main window's text box, whichever window
  // that is at the time.
  SetReadingCaret(CaretAccess{
      [] { return ZedUdezuv ? ZedUdezuv->R1->SelStart() : 0; },
      [](int pos) {
        if (ZedUdezuv) ZedUdezuv->R1->SetSelStart(pos);
      },
  });
}

TZedUdezuv::~TZedUdezuv() {
  // The component's reading reaches back into this window; it goes first.
  delete Voices;
  Voices = nullptr;
  if (ZedUdezuv == this) ZedUdezuv = nullptr;
}

void TZedUdezuv::FormCreate(ui::TObject*) {
  ExportMemo = new ui::TMemo(this);
  ExportMemo->Hide();

  SlotLB = new ui::TCheckListBox(this);
  SlotLB->Hide();
  SlotLB->OnKeyUp = [this](ui::TObject* s, std::uint16_t& k, ui::TShiftState sh) {
    OrvKeyUp(s, k, sh);
  };
  SlotLB->SetTabOrder(R1->TabOrder());
  SlotLB->SetBounds(20, 20, 60, 18);
  SlotLB->SetItemHeight(13);
  SlotLB->SetAccessibleName("Fonemas");
  SlotLB->Items().SetText(std::string(SlotLabels));
  SlotLB->SetItemIndex(0);

  UnlockCount = 0;
  R1->OnKeyUp = [this](ui::TObject* s, std::uint16_t& k, ui::TShiftState sh) {
    OrvKeyUp(s, k, sh);
  };
  SetCaption("ORV Quenvar (prueba)");
  Normal1->SetChecked(true);
  Baja1->SetChecked(false);
  MuyBaja1->SetChecked(false);

  for (int n = 1; n <= 400; ++n) {
    std::string s = std::to_string(n);
    if (n <= 10) SpeedLB->Items().Add(s);
    if (n <= 99) VolumeLB->Items().Add(s);
    PitchLB->Items().Add(s);
  }
  EqLB->Items().Add("(No filtrar)");
  for (int k = 1; k <= 24; ++k) EqLB->Items().Add(EqNumber(k / 5) + " " + EqNumber(k % 5));

  // The preset of voice item 0, volume "99", no reverberation.
  VoiceLB->SetItemIndex(0);
  SpeedLB->SetItemIndex(4);
  PitchLB->SetItemIndex(39);
  AnalogSpeedLB->SetItemIndex(0);
  CompressLB->SetItemIndex(0);
  EqLB->SetItemIndex(2);
  VolumeLB->SetItemIndex(98);
  WaveFormLB->SetItemIndex(0);
  ReverbLB->SetItemIndex(0);
  QueLB->SetItemIndex(0);

  R1->SetWidth(ClientWidth() - 20);
  R1->SetText(std::string(DemoText));

  // A failure here reaches the error box and the window opens without speech.
  Voices = new TORVHumanVoices(nullptr);
  Voices->SetSampleRate(22050);
  // No cut yet: the equaliser list's "0 -2" counts from the first reload.
  Voices->LoadVoice(0, 0, 0);
}

void TZedUdezuv::Open1Click(ui::TObject*) {
  if (!OpenDialog1->Execute()) return;
  R1->LoadFromFile(OpenDialog1->FileName);
}

void TZedUdezuv::SetQuality(ui::TMenuItem* item, std::int32_t rate) {
  if (item->Checked()) return;
  item->SetChecked(true);
  // Without a speech component (its creation failed) there is no rate to hand on.
  if (Voices) Voices->SetSampleRate(rate);
  for (ui::TMenuItem* other : {Normal1, Baja1, MuyBaja1})
    if (other != item) other->SetChecked(false);
}

void TZedUdezuv::Normal1Click(ui::TObject*) { SetQuality(Normal1, 22050); }
void TZedUdezuv::Baja1Click(ui::TObject*) { SetQuality(Baja1, 11025); }
void TZedUdezuv::MuyBaja1Click(ui::TObject*) { SetQuality(MuyBaja1, 8000); }

void TZedUdezuv::FormCloseQuery(ui::TObject*, bool& CanClose) { CanClose = true; }
