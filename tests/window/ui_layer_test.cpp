#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <atomic>
#include <filesystem>
#include <thread>

#include "platform/core/Exceptions.h"
#include "platform/core/MainLoop.h"
#include "platform/core/Timer.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"
#include "platform/ui/testing/Testing.h"
#include "tests/support/ConstrainedFolder.h"
#include "tests/support/Files.h"
#include "tests/support/ServeWindow.h"
#include "tests/support/SmallForm.h"

using namespace ui;
namespace t = ui::testing;

namespace {

// A text box and two one-line lists, the first with a label.
class LayerTest : public testsupport::SmallForm {
 protected:
  void SetUp() override {
    SmallForm::SetUp();
    AddTextBox();
    list = AddList("&Voz", 80, {"uno", "dos", "tres", "cuatro", "cinco"});
    other = AddList(nullptr, 110, {"x"});
    Show();
  }

  TCheckListBox* list = nullptr;
  TCheckListBox* other = nullptr;
};

}  // namespace

TEST(KeyCodes, ToolkitKeysMapToVirtualKeys) {
  const std::pair<int, std::uint16_t> cases[] = {
      {Qt::Key_Return, 13},  {Qt::Key_Enter, 13},    {Qt::Key_Escape, 27},   {Qt::Key_Space, 32},
      {Qt::Key_F2, 113},     {Qt::Key_F4, 115},      {Qt::Key_F5, 116},      {Qt::Key_F6, 117},
      {Qt::Key_G, 71},       {Qt::Key_A, 65},        {Qt::Key_Z, 90},        {Qt::Key_0, 48},
      {Qt::Key_Left, 37},    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},    {Qt::Key_Down, 40},
      {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34}, {Qt::Key_Home, 36},     {Qt::Key_End, 35},
      {Qt::Key_Tab, 9},      {Qt::Key_Backtab, 9},   {Qt::Key_Backspace, 8}, {Qt::Key_Shift, 16},
      {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},      {Qt::Key_Delete, 46},   {Qt::Key_F12, 123},
  };
  for (auto [qt, vk] : cases) {
    EXPECT_EQ(VirtualKeyFromToolkit(qt, 0), vk) << std::hex << qt;
    // The way back, for synthetic keys, lands on a key with the same code.
    EXPECT_EQ(VirtualKeyFromToolkit(ToolkitKeyFromVirtualKey(vk), 0), vk) << vk;
  }
  EXPECT_EQ(VirtualKeyFromToolkit(Qt::Key_5, Qt::KeypadModifier), 101);  // number pad 5
  EXPECT_GT(VirtualKeyFromToolkit(Qt::Key_Ntilde, 0), 31);               // a letter key of its own
}

TEST_F(LayerTest, ReleaseReachesFocusedControlOnceWithModifiers) {
  list->SetFocus();
  ASSERT_EQ(form->ActiveControl(), list);
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    std::uint16_t vk;
    TShiftState shift;
  };
  const Case cases[] = {
      {Qt::Key_Return, Qt::NoModifier, 13, {}},
      {Qt::Key_G, Qt::ControlModifier, 71, {ssCtrl}},
      {Qt::Key_F2, Qt::ShiftModifier | Qt::AltModifier, 113, {ssShift, ssAlt}},
      {Qt::Key_Down,
       Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier,
       40,
       {ssShift, ssCtrl, ssAlt}},
      {Qt::Key_Control, Qt::ControlModifier, 17, {}},  // the released modifier is not held
  };
  for (const auto& c : cases) {
    releases.clear();
    QKeyEvent release(QEvent::KeyRelease, c.key, c.mods);
    QApplication::sendEvent(list->Native()->widget, &release);
    ASSERT_EQ(releases.size(), 1u) << c.vk;
    EXPECT_EQ(releases[0].sender, list);
    EXPECT_EQ(releases[0].key, c.vk);
    EXPECT_TRUE(releases[0].shift == c.shift) << c.vk;
  }
  // Auto-repeated releases are dropped.
  releases.clear();
  t::KeyRelease(VK_DOWN, {}, true);
  EXPECT_TRUE(releases.empty());
  // A release sent to a control without the focus reaches nobody.
  QKeyEvent stray(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(other->Native()->widget, &stray);
  EXPECT_TRUE(releases.empty());
  // The synthetic keys of the test support reach the focused control.
  other->SetFocus();
  t::KeyRelease(VK_F6, {ssShift});
  ASSERT_EQ(releases.size(), 2u);  // F6, then Shift
  EXPECT_EQ(releases[0].sender, other);
  EXPECT_EQ(releases[0].key, VK_F6);
  EXPECT_TRUE(releases[0].shift == TShiftState{ssShift});
}

TEST_F(LayerTest, HandlerFailureGoesToErrorBoxButAbortIsSilent) {
  edit->SetFocus();
  edit->OnKeyUp = [](TObject*, std::uint16_t& k, TShiftState) {
    if (k == VK_F2) throw platform::Exception("Fallo de prueba");
    throw platform::EAbort();
  };
  t::KeyRelease(VK_F2);
  t::KeyRelease(VK_F4);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Fallo de prueba");
}

TEST_F(LayerTest, TextIsWindows1252WithCrLfAndCaretCountsLineEndsTwice) {
  const std::string text = "Ni\xF1o\r\n\r\ncanci\xF3n \x80\r\nfin";
  edit->SetText(text);
  ASSERT_EQ(edit->Text(), text);
  ASSERT_EQ(edit->GetTextLen(), static_cast<int>(text.size()));
  auto* qt = static_cast<QTextEdit*>(edit->Native()->widget.data());
  EXPECT_EQ(qt->document()->blockCount(), 4);
  for (int k = 0; k <= static_cast<int>(text.size()); ++k) {
    edit->SetSelStart(k);
    EXPECT_EQ(edit->SelStart(), k);
    if (k == static_cast<int>(text.size()) || text[k] == '\n') continue;
    // The caret stands before byte k: selecting one byte selects that character.
    edit->SetSelLength(text[k] == '\r' ? 2 : 1);
    QString sel = qt->textCursor().selectedText();
    ASSERT_EQ(sel.size(), 1) << k;
    if (text[k] == '\r') {
      EXPECT_EQ(sel[0], QChar::ParagraphSeparator) << k;
    } else {
      EXPECT_EQ(ToCp1252(sel), text.substr(k, 1)) << k;
    }
    EXPECT_EQ(edit->SelLength(), text[k] == '\r' ? 2 : 1);
  }
  edit->SetSelStart(1000);
  EXPECT_EQ(edit->SelStart(), static_cast<int>(text.size()));
  edit->SetSelStart(-5);
  EXPECT_EQ(edit->SelStart(), 0);
  // Lone CR or LF become line ends too.
  edit->SetText("a\rb\nc");
  EXPECT_EQ(edit->Text(), "a\r\nb\r\nc");
}

TEST_F(LayerTest, CharactersOutsideWindows1252ReadAsQuestionMarks) {
  auto* qt = static_cast<QTextEdit*>(edit->Native()->widget.data());
  qt->setPlainText(QString::fromUtf8("\xCE\xB1\xF0\x9F\x98\x80\xC3\xA1\n\xE2\x82\xAC"));  // α😀á, €
  EXPECT_EQ(edit->Text(), "??\xE1\r\n\x80");
  EXPECT_EQ(edit->GetTextLen(), 6);
  edit->SetSelStart(2);  // after the emoji, before á
  EXPECT_EQ(qt->textCursor().position(), 3);
  EXPECT_EQ(edit->SelStart(), 2);
}

TEST_F(LayerTest, OneLineListStepsWithArrowAndPageKeys) {
  ASSERT_EQ(list->Items().Count(), 5);
  EXPECT_EQ(list->Items()[3], "cuatro");
  EXPECT_THROW(list->Items()[5], std::out_of_range);
  EXPECT_EQ(list->ItemHeight(), 13);
  EXPECT_EQ(list->Height(), 18);
  auto* qt = static_cast<QListWidget*>(list->Native()->widget.data());
  EXPECT_TRUE(qt->item(0)->flags() & Qt::ItemIsUserCheckable);  // a check box in each item
  list->SetFocus();
  const std::pair<std::uint16_t, int> steps[] = {
      {VK_DOWN, 1}, {VK_DOWN, 2}, {VK_UP, 1},   {VK_NEXT, 2}, {VK_NEXT, 3}, {VK_PRIOR, 2},
      {VK_END, 4},  {VK_NEXT, 4}, {VK_DOWN, 4}, {VK_HOME, 0}, {VK_UP, 0},   {VK_RIGHT, 1},
  };
  for (auto [vk, expected] : steps) {
    t::KeyClick(vk);
    EXPECT_EQ(list->ItemIndex(), expected) << vk;
    // The current item is the one that shows.
    EXPECT_EQ(qt->indexAt(QPoint(5, 5)).row(), expected) << vk;
    // ... and no sliver of a neighbour shows beside it.
    const int bottom = qt->viewport()->height() - 1;
    EXPECT_EQ(qt->indexAt(QPoint(5, bottom)).row(), expected) << vk;
  }
  list->Items().SetText("a\r\nb\r\n\r\nc\r\n");
  EXPECT_EQ(list->Items().Count(), 4);
  EXPECT_EQ(list->Items().Text(), "a\r\nb\r\n\r\nc\r\n");
}

TEST_F(LayerTest, AcceleratorFocusesTheLabelsList) {
  edit->SetFocus();
  ASSERT_EQ(form->ActiveControl(), edit);
  t::KeyPress('V', {ssAlt});
  EXPECT_EQ(form->ActiveControl(), list);
  t::KeyRelease('V', {ssAlt});
  ASSERT_EQ(releases.size(), 2u);  // V, then Alt
  EXPECT_EQ(releases[0].sender, list);
  EXPECT_EQ(releases[0].key, 'V');
  EXPECT_TRUE(releases[0].shift == TShiftState{ssAlt});
  EXPECT_EQ(releases[1].key, VK_MENU);
}

TEST_F(LayerTest, TabOrderInsertsAndTabMovesFocus) {
  EXPECT_EQ(edit->TabOrder(), 0);
  EXPECT_EQ(list->TabOrder(), 1);
  EXPECT_EQ(other->TabOrder(), 2);
  other->SetTabOrder(0);
  EXPECT_EQ(other->TabOrder(), 0);
  EXPECT_EQ(edit->TabOrder(), 1);
  EXPECT_EQ(list->TabOrder(), 2);
  edit->SetFocus();
  t::KeyClick(VK_TAB);  // the text box passes Tab on
  EXPECT_EQ(form->ActiveControl(), list);
}

TEST_F(LayerTest, MenuCheckMarksAreTheHandlersAndShortcutWinsOverTextBox) {
  auto* menu = new TMainMenu(form);
  auto* top = new TMenuItem(form);
  top->SetCaption("Varios");
  auto* open = new TMenuItem(form);
  open->SetCaption("Abrir...");
  open->SetShortCut(scCtrl | 'A');
  auto* mark = new TMenuItem(form);
  mark->SetCaption("Marca");
  top->Add(open);
  top->Add(mark);
  menu->Add(top);
  form->SetMenu(menu);
  int opened = 0, marked = 0;
  open->OnClick = [&](TObject*) { ++opened; };
  mark->OnClick = [&](TObject*) { ++marked; };
  mark->SetChecked(true);
  t::ChooseMenuItem(mark);
  EXPECT_EQ(marked, 1);
  EXPECT_TRUE(mark->Checked());  // choosing does not toggle by itself
  EXPECT_TRUE(mark->Native()->action->isChecked());
  mark->SetChecked(false);
  t::ChooseMenuItem(mark);
  EXPECT_FALSE(mark->Native()->action->isChecked());
  edit->SetFocus();
  edit->SetText("texto");
  t::KeyClick('A', {ssCtrl});
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(edit->SelLength(), 0);  // not taken as "select all"
  EXPECT_EQ(open->ShortCut(), 16449);
}

TEST_F(LayerTest, OpenDialogHookAndMemoSave) {
  TOpenDialog dialog(nullptr);
  TOpenDialog::SetExecuteHook([](const TOpenDialog&) { return std::nullopt; });
  EXPECT_FALSE(dialog.Execute());
  TOpenDialog::SetExecuteHook([](const TOpenDialog&) { return std::string("/tmp/x.txt"); });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "/tmp/x.txt");
  TOpenDialog::SetExecuteHook({});

  const testsupport::TempDir temp{"layer_memo"};
  const auto& dir = temp.path;
  auto* memo = new TMemo(form);
  memo->Hide();
  const std::pair<std::string, std::string> cases[] = {
      {"#1#0#255,\r\n", "#1#0#255,\r\n"},  // unchanged when it ends with a line end
      {"a\r\nb", "a\r\nb\r\n"},
      {"a\n\nb\r", "a\r\n\r\nb\r\n"},
      {"", ""},
  };
  for (const auto& [text, file] : cases) {
    memo->SetText(text);
    memo->SaveToFile((dir / "m\xC3\xB1.txt").string());
    EXPECT_EQ(testsupport::ReadFile(dir / "m\xC3\xB1.txt"), file);
  }
  std::string bad = (dir / "no_folder" / "x.txt").string();
  try {
    memo->SaveToFile(bad);
    ADD_FAILURE() << "no failure";
  } catch (const platform::Exception& e) {
    EXPECT_NE(std::string(e.what()).find(bad), std::string::npos);
  }
}

// A save that fails leaves the file it would have replaced byte for byte, leaves nothing
// beside it, and says why in Spanish.
TEST_F(LayerTest, AMemoSaveThatFailsKeepsTheFileItWouldReplace) {
  const testsupport::TempDir temp{"layer_memo_fail"};
  auto* memo = new TMemo(form);
  memo->Hide();
  memo->SetText(std::string(64 * 1024, '#'));
  const std::string old = "#0#0,\r\n" + std::string(36, 'x') + "\r\n";
  struct Case {
    testsupport::ConstrainedFolder::Kind kind;
    const char* reason;
  } cases[] = {
      {testsupport::ConstrainedFolder::Full, "El disco est\xE1 lleno."},
      {testsupport::ConstrainedFolder::ReadOnly, "No tiene permiso para escribir en la carpeta."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    const auto dir = temp.path / std::to_string(c.kind);
    testsupport::ConstrainedFolder folder(dir, c.kind);
    if (!folder.Available()) continue;
    const auto file = dir / "a.txt";
    testsupport::WriteFile(file, old);
    folder.Constrain();
    try {
      memo->SaveToFile(file.string());
      ADD_FAILURE() << "no failure";
    } catch (const platform::Exception& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
    EXPECT_EQ(testsupport::ReadFile(file), old);
    folder.Release();
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      EXPECT_TRUE(entry.path().filename() == "a.txt" || entry.path().filename() == "filler")
          << entry.path();
  }
  // A folder where the file should be is not replaced either.
  std::filesystem::create_directories(temp.path / "folder.txt" / "inside");
  try {
    memo->SaveToFile((temp.path / "folder.txt").string());
    ADD_FAILURE() << "no failure";
  } catch (const platform::Exception& e) {
    EXPECT_NE(std::string(e.what()).find("Es una carpeta."), std::string::npos) << e.what();
  }
  EXPECT_TRUE(std::filesystem::is_directory(temp.path / "folder.txt" / "inside"));
}

TEST_F(LayerTest, TimersAndSynchronizedCallsRunOnTheEventLoop) {
  platform::TTimer timer(nullptr);
  int ticks = 0;
  timer.SetInterval(10);
  timer.SetOnTimer([&] { ++ticks; });
  std::atomic<bool> served{false};
  std::thread worker([&] { platform::MainLoop::Post([&] { served = true; }); });
  worker.join();
  testsupport::ServeWindowUntil([&] { return ticks >= 2 && served; }, std::chrono::seconds(10), 10);
  EXPECT_GE(ticks, 2);
  EXPECT_TRUE(served);
  timer.SetInterval(0);
  int stopped = ticks;
  t::ProcessMessages(50);
  EXPECT_EQ(ticks, stopped);
}

TEST_F(LayerTest, MessageBoxHookAnswers) {
  std::string seen;
  t::App().SetMessageBoxHook([&](const std::string& text, const std::string& caption, unsigned f) {
    seen = text + "|" + caption + "|" + std::to_string(f);
    return IDOK;
  });
  EXPECT_EQ(t::App().MessageBox("37 ch", "T\xEDtulo", 64), IDOK);
  EXPECT_EQ(seen, "37 ch|T\xEDtulo|64");
  t::App().SetMessageBoxHook({});
}

TEST_F(LayerTest, TheBusyCursorShowsWhileAFileLoadsAndGoesAfterwards) {
  const testsupport::TempDir dir{"layer_busy"};
  const std::string texto = dir.Write("texto.txt", "Uno.\r\nDos \xF1.\r\n");
  auto* qt = static_cast<QTextEdit*>(edit->Native()->widget.data());
  bool seen = false, busy = false;
  // The box takes the loaded text while the load runs.
  auto watch = QObject::connect(qt, &QTextEdit::textChanged, [&] {
    seen = true;
    busy =
        QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
  });
  edit->LoadFromFile(texto);
  QObject::disconnect(watch);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(busy);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(edit->Text(), "Uno.\r\nDos \xF1.\r\n");
  // The caret's bytes follow the new text, and a second load replaces the first.
  edit->SetSelStart(7);
  EXPECT_EQ(edit->SelStart(), 7);
  edit->LoadFromFile(dir.Write("otro.txt", "a\r\nb"));
  EXPECT_EQ(edit->GetTextLen(), 4);
  edit->SetSelStart(3);
  EXPECT_EQ(edit->SelStart(), 3);
  // A failed load leaves no busy cursor behind.
  EXPECT_THROW(edit->LoadFromFile(dir.File("no_existe.txt")), platform::Exception);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Each load gives the box a document of its own: the one before it goes (the box's first
// one, and those of earlier loads alike), and the box keeps following edits of the new one.
TEST_F(LayerTest, EachLoadFreesTheDocumentBeforeIt) {
  const testsupport::TempDir dir{"layer_documents"};
  const std::string files[] = {
      dir.Write("uno.txt", "Uno.\r\n"),
      dir.Write("dos.rtf", "{\\rtf1\\ansi Dos {\\b tres}\\par}"),
      dir.Write("cuatro.txt", "Cuatro cinco."),
      // A first line so long that it goes into the box in one piece.
      dir.Write("larga.txt", std::string(150000, 'a') + "\r\nFin."),
  };
  auto* qt = static_cast<QTextEdit*>(edit->Native()->widget.data());
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    QPointer<QTextDocument> before = qt->document();
    edit->LoadFromFile(file);
    EXPECT_TRUE(before.isNull());
    EXPECT_EQ(qt->findChildren<QTextDocument*>().size(), 1);
    const int length = edit->GetTextLen();
    const std::string text = edit->Text();
    qt->moveCursor(QTextCursor::End);
    QTest::keyClicks(qt, "xy");
    EXPECT_EQ(edit->GetTextLen(), length + 2);
    // What the box keeps of its text follows the typing.
    EXPECT_TRUE(edit->Text() == text + "xy");
    EXPECT_EQ(edit->TextFrom(length - 1), text.substr(text.size() - 1) + "xy");
    EXPECT_EQ(edit->TextFrom(length + 2), "");
    EXPECT_TRUE(qt->document()->isUndoAvailable());
  }
}

// Text saved by other editors loads as it reads: UTF-16 after its byte-order mark, and each
// line of a UTF-8 file on its own. Characters Windows-1252 has not come out as "?".
TEST_F(LayerTest, FilesPeopleHaveLoadAsTheirTextReads) {
  const testsupport::TempDir dir{"layer_encodings"};
  const std::string expected =
      "El se\xF1or\r\nLa cig\xFC"
      "e\xF1"
      "a ?\r\n";
  auto utf16 = [](const std::u16string& text, bool big) {
    std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
      const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
      out += big ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
  };
  const std::pair<const char*, std::string> cases[] = {
      {"utf16le.txt", utf16(u"El se\u00F1or\r\nLa cig\u00FCe\u00F1a \u4E2D\r\n", false)},
      {"utf16be.txt", utf16(u"El se\u00F1or\r\nLa cig\u00FCe\u00F1a \U0001F600\r\n", true)},
      {"mixed.txt",
       "El se\xC3\xB1or\r\nLa cig\xFC"
       "e\xF1"
       "a \xE4\xB8\xAD\r\n"},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    edit->LoadFromFile(dir.Write(name, bytes));
    EXPECT_EQ(edit->Text(), name == std::string("mixed.txt") ? "El se\xF1or\r\nLa cig\xFC"
                                                               "e\xF1"
                                                               "a \xE4\xB8\xAD\r\n"
                                                             : expected);
  }
}

// A stretch of text without a blank longer than a line could ever hold breaks anywhere (a
// layout at word boundaries would scan it to its end for each line); any other text keeps
// its words whole at the line ends.
TEST_F(LayerTest, OnlyALongStretchWithoutABlankBreaksAnywhere) {
  const testsupport::TempDir dir{"layer_wrap"};
  auto* qt = static_cast<QTextEdit*>(edit->Native()->widget.data());
  const std::string words = "uno dos tres cuatro cinco seis siete ocho nueve diez once doce ";
  const std::string stretch = std::string(5000, 'a');
  auto wrapsAnywhere = [qt] { return qt->wordWrapMode() == QTextOption::WrapAnywhere; };

  edit->LoadFromFile(dir.Write("palabras.txt", words + words + words));
  EXPECT_FALSE(wrapsAnywhere());
  // Its lines end at blanks.
  const QTextLayout* layout = qt->document()->begin().layout();
  ASSERT_GT(layout->lineCount(), 1);
  for (int i = 0; i + 1 < layout->lineCount(); ++i) {
    const QTextLine line = layout->lineAt(i);
    EXPECT_EQ(qt->document()->characterAt(line.textStart() + line.textLength() - 1), ' ');
  }
  edit->LoadFromFile(dir.Write("tramo.txt", words + stretch + "\r\n" + words));
  EXPECT_TRUE(wrapsAnywhere());
  EXPECT_EQ(edit->Text(), words + stretch + "\r\n" + words);
  edit->SetText(words);
  EXPECT_FALSE(wrapsAnywhere());
  edit->SetText(stretch);
  EXPECT_TRUE(wrapsAnywhere());
  edit->SetText(words);
  // Pasted or typed in, the stretch changes the breaking too.
  QTextCursor(qt->document()).insertText(QString(1200, 'b'));
  EXPECT_TRUE(wrapsAnywhere());
  EXPECT_EQ(edit->Text(), std::string(1200, 'b') + words);
}

TEST_F(LayerTest, LoadingAFileThatCannotBeReadKeepsTheTextAndNamesTheFile) {
  const testsupport::TempDir temp{"layer_load"};
  const auto& dir = temp.path;
  std::filesystem::create_directories(dir / "carpeta");
  const std::string missing = (dir / "no_existe.txt").string();
  const std::string folder = (dir / "carpeta").string();
  edit->SetText("Texto de antes");
  for (const std::string& path : {missing, folder}) {
    SCOPED_TRACE(path);
    try {
      edit->LoadFromFile(path);
      ADD_FAILURE() << "no exception";
    } catch (const platform::Exception& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_EQ(edit->Text(), "Texto de antes");
  }
  // Binary junk is taken as Windows-1252 text.
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 131 + 7) % 256));
  edit->LoadFromFile(temp.Write("junk.bin", junk));
  EXPECT_GT(edit->GetTextLen(), 3000);
}
