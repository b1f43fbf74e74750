#include "platform/ui/Application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QTimer>
#include <QTranslator>
#include <map>
#include <mutex>
#include <set>

#include "platform/audio/Tone.h"
#include "platform/core/Beep.h"
#include "platform/core/Exceptions.h"
#include "platform/core/MainLoop.h"
#include "platform/core/Timer.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"

namespace ui {

namespace {
// The application a tone's thread rings the X bell through when there is no sound device.
// That thread may outlive the application: the pointer is cleared under the lock before the
// application goes, and the holder itself is never destroyed.
struct BellTarget {
  std::mutex lock;
  QApplication* app = nullptr;
};
BellTarget& Bell() {
  static auto* bell = new BellTarget;
  return *bell;
}
}  // namespace

TApplication* Application = nullptr;

namespace {

// Message-loop timers on the toolkit's event loop.
class QtTimers : public platform::TimerBackend {
 public:
  void Start(platform::TTimer* timer, unsigned interval_ms) override {
    QTimer*& qt = timers_[timer];
    if (!qt) {
      qt = new QTimer();
      qt->setTimerType(Qt::PreciseTimer);
      QObject::connect(qt, &QTimer::timeout, [this, timer] {
        // Tick may free the timer; its destructor stops it here first.
        if (timers_.count(timer)) timer->Tick();
      });
    }
    qt->start(static_cast<int>(interval_ms));
  }
  void Stop(platform::TTimer* timer) override {
    auto it = timers_.find(timer);
    if (it == timers_.end()) return;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
  }

 private:
  std::map<platform::TTimer*, QTimer*> timers_;
};

QtTimers& Timers() {
  static QtTimers* timers = new QtTimers();  // timers may outlive the application object
  return *timers;
}

TShiftState ShiftOf(const QKeyEvent* e) {
  TShiftState s;
  auto m = e->modifiers();
  if (m & Qt::ShiftModifier) s.Include(ssShift);
  if (m & Qt::ControlModifier) s.Include(ssCtrl);
  if (m & Qt::AltModifier) s.Include(ssAlt);
  // The released modifier key itself is no longer held.
  if (e->type() == QEvent::KeyRelease) {
    if (e->key() == Qt::Key_Shift) s.Exclude(ssShift);
    if (e->key() == Qt::Key_Control) s.Exclude(ssCtrl);
    if (e->key() == Qt::Key_Alt) s.Exclude(ssAlt);
  }
  return s;
}

// Fusion with the menu bar reachable from the keyboard: a lone Alt pressed and released
// highlights its first menu, as on the desktop the program was made for.
class MenuKeysStyle : public QProxyStyle {
 public:
  explicit MenuKeysStyle(QStyle* base) : QProxyStyle(base) {}
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_MenuBar_AltKeyNavigation) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
  // Fusion shows a menu bar item as current only while its menu is open; reached from the
  // keyboard, with the menu still closed, it is shown the same.
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuBarItem && item && (item->state & State_Selected) && widget &&
        widget->hasFocus()) {
      QStyleOptionMenuItem current(*item);
      current.state |= State_Sunken;
      QProxyStyle::drawControl(element, &current, painter, widget);
      return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }
};

// The menu bar of the window that w is in, when it has one with something to show.
QMenuBar* MenuBarOf(QWidget* w) {
  auto* window = w ? qobject_cast<QMainWindow*>(w->window()) : nullptr;
  auto* bar = window ? qobject_cast<QMenuBar*>(window->menuWidget()) : nullptr;
  return bar && !bar->actions().isEmpty() ? bar : nullptr;
}

// F10 does what a lone Alt does: the menu bar's own Alt handling highlights its first menu
// (or leaves the menu bar when it is already there).
bool MenuKey(QWidget* receiver) {
  if (QApplication::activePopupWidget()) return false;
  QMenuBar* bar = MenuBarOf(receiver);
  if (!bar) return false;
  // The menu bar watches the window for these two: the override of the Alt press, then its
  // release (the modifiers are those held before each, as the keyboard reports them).
  QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::AltModifier);
  QApplication::sendEvent(bar->window(), &press);
  QApplication::sendEvent(bar->window(), &release);
  return true;
}

// Key releases go to the focused control's OnKeyUp, once, auto-repeats dropped, and only
// when the key's press went to that control's window too: the release of an Enter that
// picked a menu item or closed a dialog is not a command for the control that has the focus
// afterwards (a message box hands the release of its closing key on). Menu shortcuts come before
// the keys a control would take for itself (Ctrl+A in the text box); F10 goes to the menu bar.
class KeyFilter : public QObject {
 public:
  bool eventFilter(QObject* obj, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
      return false;
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w || !IsReceiver(w)) return false;
    auto* e = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress) return Pressed(w, e);
    if (type == QEvent::ShortcutOverride) {
      QKeySequence pressed(e->keyCombination());
      for (QAction* a : w->window()->actions())
        if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == pressed) return true;
      return false;
    }
    if (e->isAutoRepeat()) return false;
    auto owner = pressedInto_.find(e->key());
    if (handedOn_.erase(e->key()) != 0) {
      pressedInto_.erase(e->key());
    } else if (owner != pressedInto_.end()) {
      const bool same = owner->second == PressOwner(w);
      pressedInto_.erase(owner);
      if (!same) return false;
    }
    auto* control = dynamic_cast<TWinControl*>(ControlOf(w));
    if (!control || !control->OnKeyUp) return false;
    std::uint16_t key = VirtualKeyFromToolkit(e->key(), e->modifiers());
    TShiftState shift = ShiftOf(e);
    TKeyEvent handler = control->OnKeyUp;  // the handler may replace itself
    RunHandler([&] { handler(control, key, shift); });
    return false;
  }

  // The keys pressed into window whose release is still to come: that release goes to the
  // control that has the focus when it comes, as a message box's closing key does on the
  // desktop the program was made for.
  void HandOnReleases(QWidget* window) {
    for (const auto& [key, owner] : pressedInto_)
      if (owner == window) handedOn_.insert(key);
  }

 private:
  // The widget a key event goes to first: the open menu when there is one, else the focused
  // widget of its window. The parents it is passed on to are not.
  static bool IsReceiver(QWidget* w) {
    if (QWidget* popup = QApplication::activePopupWidget()) return w == popup;
    return w == w->window()->focusWidget();
  }

  // Where a key's press went: a window, or the menu bar of one (keys the menu takes are not
  // the window's). Within a window the focus may move between press and release, as an
  // accelerator moves it.
  static QWidget* PressOwner(QWidget* w) {
    if (qobject_cast<QMenuBar*>(w)) return w;
    return w->window();
  }

  // Notes where a key's press went.
  bool Pressed(QWidget* w, QKeyEvent* e) {
    if (e->isAutoRepeat()) return false;
    if (e->key() == Qt::Key_F10 && e->modifiers() == Qt::NoModifier && MenuKey(w)) {
      pressedInto_[e->key()] = nullptr;
      return true;
    }
    pressedInto_[e->key()] = PressOwner(w);
    handedOn_.erase(e->key());
    return false;
  }

  std::map<int, QPointer<QWidget>> pressedInto_;
  std::set<int> handedOn_;
};

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & 0xF0) {
    case platform::MB_ICONHAND:
      return QMessageBox::Critical;
    case platform::MB_ICONQUESTION:
      return QMessageBox::Question;
    case platform::MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case platform::MB_ICONASTERISK:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QWidget* DialogParent() {
  if (QWidget* w = QApplication::activeWindow()) return w;
  if (Application && Application->MainForm()) return Application->MainForm()->Native()->window;
  return nullptr;
}

}  // namespace

struct NativeApplication {
  std::unique_ptr<QApplication> app;
  QTranslator translator;
  KeyFilter keys;
};

TApplication::TApplication(int& argc, char** argv) : native_(new NativeApplication) {
  native_->app = std::make_unique<QApplication>(argc, argv);
  QApplication::setStyle(new MenuKeysStyle(QStyleFactory::create("Fusion")));
  // The toolkit's own dialogs and buttons in Spanish, whatever the system's language.
  QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
  if (native_->translator.load(QLocale(QLocale::Spanish, QLocale::Spain), "qtbase", "_",
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&native_->translator);
  native_->app->installEventFilter(&native_->keys);
  Application = this;

  platform::MainLoop::MarkMainThread();
  QApplication* app = native_->app.get();
  platform::MainLoop::SetWaker([app] {
    QMetaObject::invokeMethod(
        app, [] { platform::MainLoop::ServePending(); }, Qt::QueuedConnection);
  });
  platform::SetTimerBackend(&Timers());
  // A tone on the sound output; the X bell, which most desktops mute, only without one.
  {
    std::lock_guard<std::mutex> lock(Bell().lock);
    Bell().app = app;
  }
  platform::SetBeepHook([](unsigned) {
    platform::PlayBeepTone([] {
      std::lock_guard<std::mutex> lock(Bell().lock);
      if (Bell().app)
        QMetaObject::invokeMethod(
            Bell().app, [] { QApplication::beep(); }, Qt::QueuedConnection);
    });
  });
  platform::SetErrorBoxHook([this](const std::string& message) { ShowException(message); });
  platform::MainLoop::ServePending();  // anything posted before the loop existed
}

TApplication::~TApplication() {
  platform::SetErrorBoxHook({});
  platform::SetBeepHook({});
  platform::WaitForBeepTones();
  {
    std::lock_guard<std::mutex> lock(Bell().lock);
    Bell().app = nullptr;
  }
  platform::MainLoop::SetWaker({});
  platform::SetTimerBackend(nullptr);
  Application = nullptr;
  delete native_;
}

void TApplication::Register(TForm* form) {
  if (!mainForm_) mainForm_ = form;
}

int TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  return QApplication::exec();
}

void TApplication::ProcessMessages() {
  QApplication::sendPostedEvents();
  QApplication::processEvents();
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (messageBoxHook_) return messageBoxHook_(text, caption, flags);
  QMessageBox box(IconOf(flags), FromCp1252(caption), FromCp1252(text), QMessageBox::NoButton,
                  DialogParent());
  switch (flags & 0x0F) {
    case MB_OKCANCEL:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MB_YESNO:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  // Before any release can come: the box closes on the press of its key.
  QObject::connect(&box, &QDialog::finished, [this, &box] { native_->keys.HandOnReleases(&box); });
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return IDCANCEL;
    case QMessageBox::Yes:
      return IDYES;
    case QMessageBox::No:
      return IDNO;
    default:
      return IDOK;
  }
}

void TApplication::ShowException(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, FromCp1252(title_), FromCp1252(message), QMessageBox::Ok,
                  DialogParent());
  box.exec();
}

void RunHandler(const std::function<void()>& handler) {
  try {
    handler();
  } catch (...) {
    platform::HandleException(std::current_exception());
  }
}

}  // namespace ui
