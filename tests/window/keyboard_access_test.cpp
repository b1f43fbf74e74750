// The window layer as a keyboard user meets it: the menu bar by F10 and a lone Alt, key
// releases that belong to another window, the focused list told apart by its colours, names
// and values for screen readers, Spanish standard dialogs, the text box's font.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "platform/audio/Tone.h"
#include "platform/core/Beep.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/ui/testing/Testing.h"
#include "tests/support/Files.h"
#include "tests/support/SmallForm.h"

using namespace ui;
namespace t = ui::testing;

namespace {

QString StripAmp(QString s) { return s.remove('&'); }

// A text box, two labelled lists and the program's menu.
class KeyboardTest : public testsupport::SmallForm {
 protected:
  void SetUp() override {
    SmallForm::SetUp();
    form->SetFont("MS Sans Serif", 11, true);
    AddTextBox()->SetAccessibleName("Texto");
    list = AddList("&Voz", 80, {"uno", "dos", "tres"});
    other = AddList("Velo&cidad", 110, {"1", "2", "3"});

    menu = new TMainMenu(form);
    varios = Item("Varios");
    abrir = Item("Abrir archivo...");
    abrir->SetShortCut(scCtrl | 'A');
    calidad = Item("Calidad del sonido");
    for (const char* c : {"Normal (22050)", "Baja (11025)", "Muy baja (8000)"}) {
      TMenuItem* rate = Item(c);
      calidad->Add(rate);
      rates.push_back(rate);
    }
    varios->Add(abrir);
    varios->Add(calidad);
    menu->Add(varios);
    form->SetMenu(menu);
    Show();
  }

  TMenuItem* Item(const char* caption) {
    auto* item = new TMenuItem(form);
    item->SetCaption(caption);
    item->OnClick = [this](TObject* s) { clicks.push_back(static_cast<TMenuItem*>(s)); };
    return item;
  }
  QMenuBar* Bar() const { return form->Native()->window->menuBar(); }
  QWidget* Widget(TControl* c) const { return c->Native()->widget; }
  QAction* ActiveMenuAction() const {
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return popup ? popup->activeAction() : nullptr;
  }

  TCheckListBox* list = nullptr;
  TCheckListBox* other = nullptr;
  TMainMenu* menu = nullptr;
  TMenuItem *varios = nullptr, *abrir = nullptr, *calidad = nullptr;
  std::vector<TMenuItem*> rates;
  std::vector<TMenuItem*> clicks;
};

}  // namespace

// F10, and a lone Alt, highlight "Varios" without opening it; Escape leaves the menu bar and
// gives the focus back.
TEST_F(KeyboardTest, F10AndALoneAltHighlightTheMenuAndEscapeGivesTheFocusBack) {
  for (std::uint16_t start : {VK_F10, VK_MENU}) {
    SCOPED_TRACE(start == VK_F10 ? "F10" : "Alt");
    list->SetFocus();
    ASSERT_EQ(form->ActiveControl(), list);
    t::Type(start);
    EXPECT_TRUE(Bar()->hasFocus());
    EXPECT_EQ(Bar()->activeAction(), varios->Native()->action);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);  // highlighted, not opened
    // ... and it shows: "Varios" stands in the selection colour.
    const QImage shot = Bar()->grab().toImage();
    const QRect item = Bar()->actionGeometry(varios->Native()->action);
    const QColor at =
        shot.pixelColor(QPoint(item.left() + 2, item.center().y()) * shot.devicePixelRatio());
    EXPECT_EQ(at, Bar()->palette().color(QPalette::Active, QPalette::Highlight))
        << at.name().toStdString();
    t::Type(VK_ESCAPE);
    EXPECT_EQ(Bar()->activeAction(), nullptr);
    EXPECT_EQ(form->ActiveControl(), list);
    EXPECT_TRUE(clicks.empty());
  }
  // No key of the menu's reached the list's key-up handler.
  EXPECT_TRUE(releases.empty());
}

// The arrows walk the menu and its submenu, Enter picks; the Enter's release does not reach
// the list that has the focus afterwards. Down and Enter both open the highlighted menu.
TEST_F(KeyboardTest, TheArrowsAndEnterPickASubmenuItem) {
  for (std::uint16_t open : {VK_DOWN, VK_RETURN}) {
    SCOPED_TRACE(open == VK_DOWN ? "Down" : "Enter");
    clicks.clear();
    other->SetFocus();
    t::Type(VK_F10);
    t::Type(open);
    ASSERT_EQ(QApplication::activePopupWidget(), varios->Native()->menu);
    EXPECT_EQ(ActiveMenuAction(), abrir->Native()->action);
    t::Type(VK_DOWN);
    EXPECT_EQ(ActiveMenuAction(), calidad->Native()->action);
    t::Type(VK_RIGHT);
    ASSERT_EQ(QApplication::activePopupWidget(), calidad->Native()->menu);
    EXPECT_EQ(ActiveMenuAction(), rates[0]->Native()->action);
    t::Type(VK_DOWN);
    EXPECT_EQ(ActiveMenuAction(), rates[1]->Native()->action);
    t::Type(VK_RETURN);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], rates[1]);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(form->ActiveControl(), other);
  }
  EXPECT_TRUE(releases.empty());
  // Left closes the submenu, Escape the menu, a second Escape the menu bar.
  other->SetFocus();
  t::Type(VK_F10);
  t::Type(VK_DOWN);
  t::Type(VK_DOWN);
  t::Type(VK_RIGHT);
  t::Type(VK_LEFT);
  EXPECT_EQ(QApplication::activePopupWidget(), varios->Native()->menu);
  t::Type(VK_ESCAPE);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  t::Type(VK_ESCAPE);
  EXPECT_EQ(form->ActiveControl(), other);
  EXPECT_TRUE(clicks.empty() || clicks.size() == 1u);  // only the pick above
  EXPECT_TRUE(releases.empty());
  // Ctrl+A still chooses its item, from the text box too.
  clicks.clear();
  edit->SetFocus();
  t::Type('A', {ssCtrl});
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0], abrir);
}

// A key whose press and release both go to the list still reaches its key-up handler; one
// whose press closed a dialog does not. The release of the key that closed a message box
// does, as on the desktop the program was made for, where the handler that opened the box
// swallows it.
TEST_F(KeyboardTest, OnlyAMessageBoxHandsTheReleaseOfItsClosingKeyOnToTheList) {
  list->SetFocus();
  t::Type(VK_RETURN);
  ASSERT_EQ(releases.size(), 1u);
  EXPECT_EQ(releases[0].sender, list);
  EXPECT_EQ(releases[0].key, VK_RETURN);
  releases.clear();

  // The press closes the box; the release then finds the list focused.
  t::WhenModal([] { t::TypePress(VK_RETURN); });
  EXPECT_EQ(Application->MessageBox("Hola", "orv_lp", MB_OKCANCEL), IDOK);
  EXPECT_EQ(form->ActiveControl(), list);
  t::TypeRelease(VK_RETURN);
  ASSERT_EQ(releases.size(), 1u);
  EXPECT_EQ(releases[0].key, VK_RETURN);
  releases.clear();
  // Only that one release: the next Enter's press and release are the list's own.
  t::Type(VK_RETURN);
  ASSERT_EQ(releases.size(), 1u);
  releases.clear();

  TOpenDialog dialog(form);
  t::WhenModal([] { t::TypePress(VK_ESCAPE); });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(form->ActiveControl(), list);
  t::TypeRelease(VK_ESCAPE);
  EXPECT_TRUE(releases.empty());

  // The next key pressed in the window is the list's again.
  t::Type(VK_DOWN);
  ASSERT_EQ(releases.size(), 1u);
  EXPECT_EQ(releases[0].key, VK_DOWN);
}

// The standard dialogs speak Spanish whatever the system's language.
TEST_F(KeyboardTest, TheOpenDialogAndTheMessageBoxesAreInSpanish) {
  QStringList dialogTexts;
  TOpenDialog dialog(form);
  dialog.Filter = "Cualquier archivo (*.*)|*.*";
  t::WhenModal([&] {
    QWidget* modal = QApplication::activeModalWidget();
    for (auto* label : modal->findChildren<QLabel*>())
      if (label->isVisible()) dialogTexts << StripAmp(label->text());
    for (auto* button : modal->findChildren<QAbstractButton*>())
      if (button->isVisible()) dialogTexts << StripAmp(button->text());
    dialogTexts << modal->windowTitle();
    t::Type(VK_ESCAPE);
  });
  EXPECT_FALSE(dialog.Execute());
  for (const char* spanish : {"Ver en:", "Nombre de fichero:", "Abrir", "Cancelar"})
    EXPECT_TRUE(dialogTexts.contains(QString::fromUtf8(spanish)))
        << spanish << " not in: " << dialogTexts.join(" | ").toStdString();
  for (const char* english : {"Look in:", "File name:", "Open", "Cancel"})
    EXPECT_FALSE(dialogTexts.contains(english)) << english;

  QStringList boxButtons;
  t::WhenModal([&] {
    QWidget* modal = QApplication::activeModalWidget();
    for (auto* button : modal->findChildren<QAbstractButton*>())
      if (button->isVisible()) boxButtons << StripAmp(button->text());
    t::Type(VK_ESCAPE);
  });
  Application->MessageBox("\xBFSeguro?", "orv_lp", MB_YESNOCANCEL);
  boxButtons.sort();
  EXPECT_EQ(boxButtons.join(","), QString::fromUtf8("Cancelar,No,Sí"));
}

// Only the focused list shows its item in the selection colour, and a frame in that colour;
// the others show theirs in grey. Seen on the window's picture, for either list focused.
TEST_F(KeyboardTest, TheFocusedListStandsOutOnTheScreen) {
  const QColor highlight = Widget(list)->palette().color(QPalette::Active, QPalette::Highlight);
  auto pixel = [&](const QImage& shot, TControl* c, int x, int y) {
    QPoint at = Widget(c)->mapTo(form->Native()->window, QPoint(x, y));
    return shot.pixelColor(at * shot.devicePixelRatio());
  };
  // The style shades a selection by a step or two.
  auto near = [](const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <=
           6;
  };
  for (TCheckListBox* focused : {list, other}) {
    TCheckListBox* unfocused = focused == list ? other : list;
    focused->SetFocus();
    t::ProcessMessages();
    const QImage shot = form->Native()->window->grab().toImage();
    SCOPED_TRACE(focused == list ? "Voz focused" : "Velocidad focused");
    // The item's background, right of its text: inside the item's row, near its end.
    const int x = Widget(focused)->width() - 12, y = Widget(focused)->height() / 2;
    EXPECT_TRUE(near(pixel(shot, focused, x, y), highlight))
        << pixel(shot, focused, x, y).name().toStdString();
    const QColor grey = pixel(shot, unfocused, x, y);
    EXPECT_LT(std::abs(grey.red() - grey.blue()) + std::abs(grey.red() - grey.green()), 8)
        << grey.name().toStdString();
    EXPECT_GT(grey.lightness(), 150) << grey.name().toStdString();
    // The frame, at the list's left edge: a darker shade of the selection colour, where the
    // other list has the style's plain frame.
    const QColor frame = pixel(shot, focused, 0, y), plain = pixel(shot, unfocused, 0, y);
    EXPECT_LT(frame.lightness(), highlight.lightness() - 30) << frame.name().toStdString();
    EXPECT_NEAR(frame.hslHue(), highlight.hslHue(), 10) << frame.name().toStdString();
    EXPECT_NE(plain.hslHue(), highlight.hslHue()) << plain.name().toStdString();
  }
}

// Each list has its label's caption for a name and its current item for a value; the text
// box has the name given; the label's accelerator focuses its list.
TEST_F(KeyboardTest, ScreenReadersGetNamesAndValues) {
  QAccessibleInterface* voz = QAccessible::queryAccessibleInterface(Widget(list));
  QAccessibleInterface* velocidad = QAccessible::queryAccessibleInterface(Widget(other));
  QAccessibleInterface* texto = QAccessible::queryAccessibleInterface(Widget(edit));
  ASSERT_TRUE(voz && velocidad && texto);
  EXPECT_EQ(voz->text(QAccessible::Name), "Voz");
  EXPECT_EQ(velocidad->text(QAccessible::Name), "Velocidad");
  EXPECT_EQ(texto->text(QAccessible::Name), "Texto");
  EXPECT_EQ(voz->role(), QAccessible::List);
  EXPECT_EQ(voz->child(0)->role(), QAccessible::ListItem);
  EXPECT_EQ(t::AccessibleItems(list), (std::vector<std::string>{"uno", "dos", "tres"}));
  EXPECT_EQ(t::AccessibleSelectedItems(list), std::vector<std::string>{"uno"});
  EXPECT_EQ(t::AccessibleSelectedItems(other), std::vector<std::string>{"1"});
  // Only the list with the focus has a focused item.
  edit->SetFocus();
  EXPECT_EQ(t::AccessibleFocusedItem(list), "");

  t::Type('V', {ssAlt});
  EXPECT_EQ(form->ActiveControl(), list);
  EXPECT_EQ(t::AccessibleFocusedItem(list), "uno");
  t::Type(VK_DOWN);
  EXPECT_EQ(t::AccessibleFocusedItem(list), "dos");
  EXPECT_EQ(t::AccessibleSelectedItems(list), std::vector<std::string>{"dos"});
  t::Type('C', {ssAlt});
  EXPECT_EQ(form->ActiveControl(), other);
  EXPECT_EQ(t::AccessibleFocusedItem(list), "");
  EXPECT_EQ(t::AccessibleFocusedItem(other), "1");

  edit->SetText("Hola");
  EXPECT_EQ(texto->text(QAccessible::Value), "Hola");
}

// The text box keeps the window's bold font for plain text: typed, loaded from a file, set
// after a rich-text file was shown.
TEST_F(KeyboardTest, PlainTextKeepsTheWindowsFont) {
  const testsupport::TempDir dir("font");
  const std::string plain = dir.Write("llano.txt", "Uno dos.\r\nTres.");
  const std::string rich = dir.Write("rico.rtf", "{\\rtf1\\ansi Normal {\\b negrita}\\par}");
  auto allBold = [&] {
    for (const auto& run : edit->Runs())
      if (!run.bold) return false;
    return true;
  };
  edit->SetText("Demostraci\xF3n.");
  EXPECT_TRUE(allBold());
  edit->LoadFromFile(plain);
  EXPECT_EQ(edit->Text(), "Uno dos.\r\nTres.");
  EXPECT_TRUE(allBold());
  edit->LoadFromFile(rich);
  EXPECT_FALSE(allBold());  // rich text brings its own regular and bold
  edit->SetText("Demostraci\xF3n.");
  EXPECT_TRUE(allBold());
  edit->LoadFromFile(plain);
  EXPECT_TRUE(allBold());
}

// The window layer's beep is heard: a tone reaches the sound device (SDL's disk driver here,
// which writes what it plays to a file).
TEST(WindowBeep, TheBeepReachesTheSoundDevice) {
  t::App();
  const testsupport::TempDir dir("beep");
  const std::string heard = dir.File("heard.raw");
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", heard.c_str(), 1);
  ASSERT_TRUE(platform::MessageBeep(platform::MB_OK));
  platform::WaitForBeepTones();
  const std::string bytes = testsupport::ReadFile(heard);
  EXPECT_GT(bytes.size(), 22050u / 10 * 2);
  EXPECT_NE(bytes.find_first_not_of('\0'), std::string::npos) << "only silence was played";
}
