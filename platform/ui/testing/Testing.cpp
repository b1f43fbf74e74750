#include "platform/ui/testing/Testing.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "platform/ui/Native.h"

namespace ui::testing {
namespace {

Qt::KeyboardModifiers Modifiers(TShiftState shift) {
  Qt::KeyboardModifiers m;
  if (shift.Contains(ssShift)) m |= Qt::ShiftModifier;
  if (shift.Contains(ssCtrl)) m |= Qt::ControlModifier;
  if (shift.Contains(ssAlt)) m |= Qt::AltModifier;
  return m;
}

QWidget* Target(TForm* form) {
  if (!form) form = App().MainForm();
  if (!form) return QApplication::focusWidget();
  QWidget* window = form->Native()->window;
  QWidget* focus = window->focusWidget();
  return focus ? focus : window;
}

// Where the keyboard goes now: the open menu, else the focused widget. When a dialog or a
// menu has closed, the window system gives the main window the keyboard back; the offscreen
// one may leave that undone, or even hand it to the closed menu.
QWidget* KeyboardTarget() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  QWidget* window = QApplication::activeWindow();
  if (window && (!window->isVisible() || window->windowType() == Qt::Popup)) window = nullptr;
  if (window && QApplication::focusWidget()) return QApplication::focusWidget();
  if (!window) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (qobject_cast<QMainWindow*>(top) && top->isVisible()) {
        window = top;
        top->activateWindow();
        (void)QTest::qWaitForWindowActive(top, 5000);
        break;
      }
    }
  }
  if (!window) return nullptr;
  return window->focusWidget() ? window->focusWidget() : window;
}

void TypeEvent(bool press, std::uint16_t vk, TShiftState shift) {
  QWidget* target = KeyboardTarget();
  if (!target) return;
  const int key = ToolkitKeyFromVirtualKey(vk);
  Qt::KeyboardModifiers held = Modifiers(shift);
  if (!press && key == Qt::Key_Alt) held |= Qt::AltModifier;
  QTest::simulateEvent(target, press, key, held, QString(), false);
}

}  // namespace

TApplication& App() {
  static TApplication* app = [] {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
      setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "orv_test";
    static char* argv[] = {name, nullptr};
    return new TApplication(argc, argv);
  }();
  return *app;
}

void ShowAndActivate(TForm* form) {
  form->Show();
  QWidget* window = form->Native()->window;
  window->activateWindow();
  (void)QTest::qWaitForWindowActive(window, 2000);
}

void KeyPress(std::uint16_t vk, TShiftState shift, TForm* form) {
  QTest::keyPress(Target(form), static_cast<Qt::Key>(ToolkitKeyFromVirtualKey(vk)),
                  Modifiers(shift));
}

void KeyRelease(std::uint16_t vk, TShiftState shift, bool autoRepeat, TForm* form) {
  QWidget* target = Target(form);
  if (!autoRepeat) {
    QTest::keyRelease(target, static_cast<Qt::Key>(ToolkitKeyFromVirtualKey(vk)), Modifiers(shift));
    return;
  }
  QKeyEvent e(QEvent::KeyRelease, ToolkitKeyFromVirtualKey(vk), Modifiers(shift), QString(), true);
  QApplication::sendEvent(target, &e);
}

void KeyClick(std::uint16_t vk, TShiftState shift, TForm* form) {
  KeyPress(vk, shift, form);
  KeyRelease(vk, shift, false, form);
}

void TypePress(std::uint16_t vk, TShiftState shift) { TypeEvent(true, vk, shift); }
void TypeRelease(std::uint16_t vk, TShiftState shift) { TypeEvent(false, vk, shift); }
void Type(std::uint16_t vk, TShiftState shift) {
  TypePress(vk, shift);
  TypeRelease(vk, shift);
}

void TypeText(const std::string& text) {
  if (QWidget* target = KeyboardTarget()) QTest::keyClicks(target, FromCp1252(text));
}

namespace {
std::string AccessibleText(const TWinControl* control, QAccessible::Text which) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control->Native()->widget);
  return a ? ToCp1252(a->text(which)) : std::string();
}
}  // namespace

std::string AccessibleName(const TWinControl* control) {
  return AccessibleText(control, QAccessible::Name);
}
std::string AccessibleValue(const TWinControl* control) {
  return AccessibleText(control, QAccessible::Value);
}

namespace {
// The names of the list's children that pass keep(state).
std::vector<std::string> ItemNames(const TWinControl* list,
                                   const std::function<bool(QAccessible::State)>& keep) {
  std::vector<std::string> names;
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list->Native()->widget);
  for (int i = 0; a && i < a->childCount(); ++i) {
    QAccessibleInterface* item = a->child(i);
    if (item && keep(item->state())) names.push_back(ToCp1252(item->text(QAccessible::Name)));
  }
  return names;
}
}  // namespace

std::vector<std::string> AccessibleItems(const TWinControl* list) {
  return ItemNames(list, [](QAccessible::State) { return true; });
}
std::vector<std::string> AccessibleSelectedItems(const TWinControl* list) {
  return ItemNames(list, [](QAccessible::State s) { return bool(s.selected); });
}
std::string AccessibleFocusedItem(const TWinControl* list) {
  auto focused = ItemNames(list, [](QAccessible::State s) { return bool(s.focused); });
  return focused.empty() ? std::string() : focused.front();
}

void WhenModal(std::function<void()> inside) {
  auto* timer = new QTimer();
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, inside] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || QApplication::activeWindow() != modal) return;
    timer->stop();
    timer->deleteLater();
    inside();
  });
  timer->start();
}

void ChooseMenuItem(TMenuItem* item) { item->Native()->action->trigger(); }

void ProcessMessages(int ms) {
  if (ms <= 0) {
    QApplication::sendPostedEvents();
    QApplication::processEvents();
  } else {
    QTest::qWait(ms);
  }
}

}  // namespace ui::testing

// The font library keeps caches for the life of the process; the leak checker of the
// sanitizer build is not to count them.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libfreetype\n";
}
