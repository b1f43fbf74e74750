#include "platform/ui/Application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTimer>
#include <map>

#include "platform/core/Beep.h"
#include "platform/core/Exceptions.h"
#include "platform/core/MainLoop.h"
#include "platform/core/Timer.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"

namespace ui {

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

// Key releases go to the focused control's OnKeyUp, once, auto-repeats dropped; menu
// shortcuts come before the keys a control would take for itself (Ctrl+A in the text box).
class KeyFilter : public QObject {
 public:
  bool eventFilter(QObject* obj, QEvent* event) override {
    if (event->type() != QEvent::KeyRelease && event->type() != QEvent::ShortcutOverride)
      return false;
    auto* w = qobject_cast<QWidget*>(obj);
    if (!w || w != w->window()->focusWidget()) return false;
    auto* e = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
      QKeySequence pressed(e->keyCombination());
      for (QAction* a : w->window()->actions())
        if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == pressed) return true;
      return false;
    }
    if (e->isAutoRepeat()) return false;
    auto* control = dynamic_cast<TWinControl*>(ControlOf(w));
    if (!control || !control->OnKeyUp) return false;
    std::uint16_t key = VirtualKeyFromToolkit(e->key(), e->modifiers());
    TShiftState shift = ShiftOf(e);
    TKeyEvent handler = control->OnKeyUp;  // the handler may replace itself
    RunHandler([&] { handler(control, key, shift); });
    return false;
  }
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
  KeyFilter keys;
};

TApplication::TApplication(int& argc, char** argv) : native_(new NativeApplication) {
  native_->app = std::make_unique<QApplication>(argc, argv);
  QApplication::setStyle(QStyleFactory::create("Fusion"));
  native_->app->installEventFilter(&native_->keys);
  Application = this;

  platform::MainLoop::MarkMainThread();
  QApplication* app = native_->app.get();
  platform::MainLoop::SetWaker([app] {
    QMetaObject::invokeMethod(
        app, [] { platform::MainLoop::ServePending(); }, Qt::QueuedConnection);
  });
  platform::SetTimerBackend(&Timers());
  platform::SetBeepHook([](unsigned) { QApplication::beep(); });
  platform::SetErrorBoxHook([this](const std::string& message) { ShowException(message); });
  platform::MainLoop::ServePending();  // anything posted before the loop existed
}

TApplication::~TApplication() {
  platform::SetErrorBoxHook({});
  platform::SetBeepHook({});
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
