#include "platform/ui/testing/Testing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
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
