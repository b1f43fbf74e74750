#include "platform/ui/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QScreen>
#include <QStringList>

#include "platform/ui/Application.h"
#include "platform/ui/Native.h"

namespace ui {
namespace {

class FormWindow : public QMainWindow {
 public:
  explicit FormWindow(TForm* form) : form_(form) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    bool canClose = true;
    if (form_->OnCloseQuery) RunHandler([&] { form_->OnCloseQuery(form_, canClose); });
    if (canClose) {
      event->accept();
    } else {
      event->ignore();
    }
  }

 private:
  TForm* form_;
};

void AddActionsTo(QWidget* window, TMenuItem* item) {
  window->addAction(item->Native()->action);
  for (int i = 0; i < item->Count(); ++i) AddActionsTo(window, item->Items(i));
}

}  // namespace

TForm* FormOf(const QWidget* window) {
  if (!window) return nullptr;
  return reinterpret_cast<TForm*>(window->property("orvForm").value<quintptr>());
}

TForm::TForm() : TComponent(nullptr), native_(new NativeForm) {
  auto* window = new FormWindow(this);
  window->setProperty("orvForm", QVariant::fromValue(reinterpret_cast<quintptr>(this)));
  native_->window = window;
  native_->client = new QWidget(window);
  window->setCentralWidget(native_->client);
}

TForm::~TForm() {
  // The controls and menu items first, while the form and its window still exist.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  delete native_->window;
  delete native_;
}

void TForm::SetCaption(const std::string& caption) {
  caption_ = caption;
  native_->window->setWindowTitle(FromCp1252(caption));
}

int TForm::ClientWidth() const { return native_->window->width(); }

int TForm::ClientHeight() const {
  QMenuBar* bar = native_->window->menuWidget() ? native_->window->menuBar() : nullptr;
  return native_->window->height() - (bar ? bar->sizeHint().height() : 0);
}

void TForm::SetClientSize(int width, int height) {
  QMenuBar* bar = native_->window->menuWidget() ? native_->window->menuBar() : nullptr;
  native_->window->resize(width, height + (bar ? bar->sizeHint().height() : 0));
}

void TForm::CenterOnScreen() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect area = screen->availableGeometry();
  QSize size = native_->window->size();
  native_->window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void TForm::SetFont(const std::string& family, int pixels, bool bold) {
  const QString name = FromCp1252(family);
  // The Windows dialog font is narrow; where it is missing, prefer fonts of its width so
  // that captions fit the places laid out for them.
  if (name == QStringLiteral("MS Sans Serif"))
    QFont::insertSubstitutions(name, {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                                      QStringLiteral("DejaVu Sans Condensed")});
  QFont font(name);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  native_->window->setFont(font);
}

TWinControl* TForm::ActiveControl() const {
  return dynamic_cast<TWinControl*>(ControlOf(native_->window->focusWidget()));
}

void TForm::SetActiveControl(TWinControl* control) {
  if (control) control->SetFocus();
}

void TForm::SetMenu(TMainMenu* menu) {
  QMenuBar* bar = native_->window->menuBar();
  bar->clear();
  int height = ClientHeight();
  for (int i = 0; i < menu->Count(); ++i) {
    bar->addAction(menu->Items(i)->Native()->action);
    AddActionsTo(native_->window, menu->Items(i));
  }
  SetClientSize(ClientWidth(), height);
}

void TForm::Show() {
  QMainWindow* window = native_->window;
  window->show();
  if (!window->focusWidget()) {
    for (TWinControl* c : tabList_) {
      if (c->Visible() && c->Native()->widget->isEnabled()) {
        c->SetFocus();
        break;
      }
    }
  }
  window->raise();
  window->activateWindow();
}

bool TForm::Visible() const { return native_->window->isVisible(); }

void TForm::Close() { native_->window->close(); }

void TForm::ApplyTabOrder() {
  for (std::size_t i = 1; i < tabList_.size(); ++i)
    QWidget::setTabOrder(tabList_[i - 1]->Native()->widget, tabList_[i]->Native()->widget);
}

void TForm::DoCreate() {
  if (OnCreate) RunHandler([this] { OnCreate(this); });
}

// Menu items.

TMenuItem::TMenuItem(platform::TComponent* owner) : TComponent(owner), native_(new NativeMenuItem) {
  native_->action = new QAction();
  QObject::connect(native_->action, &QAction::triggered, [this] {
    // The toolkit toggles a check mark by itself; the handler decides instead.
    SetChecked(checked_);
    RunHandler([this] {
      if (OnClick) OnClick(this);
    });
  });
}

TMenuItem::~TMenuItem() {
  delete native_->action;
  delete native_->menu;
  delete native_;
}

void TMenuItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  native_->action->setText(FromCp1252(caption));
  if (native_->menu) native_->menu->setTitle(FromCp1252(caption));
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  // Checkable only while marked, so that an unmarked item shows no box.
  native_->action->setCheckable(checked);
  native_->action->setChecked(checked);
}

void TMenuItem::SetShortCut(TShortCut shortcut) {
  shortcut_ = shortcut;
  int key = ToolkitKeyFromVirtualKey(shortcut & 0x0FFF);
  int mods = 0;
  if (shortcut & scShift) mods |= Qt::SHIFT;
  if (shortcut & scCtrl) mods |= Qt::CTRL;
  if (shortcut & scAlt) mods |= Qt::ALT;
  native_->action->setShortcut(shortcut ? QKeySequence(key | mods) : QKeySequence());
}

void TMenuItem::Add(TMenuItem* item) {
  if (!native_->menu) {
    native_->menu = new QMenu(FromCp1252(caption_));
    native_->action->setMenu(native_->menu);
  }
  native_->menu->addAction(item->native_->action);
  items_.push_back(item);
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

// The file-open dialog.

namespace {
TOpenDialog::Hook& OpenHook() {
  static TOpenDialog::Hook hook;
  return hook;
}

// "Text (*.txt)|*.txt|..." as the toolkit's name filters; "*.*" matches every file.
QStringList NameFilters(const std::string& filter) {
  QStringList parts = FromCp1252(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
    for (QString& p : patterns) {
      p = p.trimmed();
      if (p == "*.*") p = "*";
    }
    out << parts[i] + " (" + patterns.join(' ') + ")";
  }
  return out;
}
}  // namespace

void TOpenDialog::SetExecuteHook(Hook hook) { OpenHook() = std::move(hook); }

bool TOpenDialog::Execute() {
  if (OpenHook()) {
    auto chosen = OpenHook()(*this);
    if (!chosen) return false;
    FileName = *chosen;
    return true;
  }
  QWidget* parent = QApplication::activeWindow();
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode((Options & ofFileMustExist) ? QFileDialog::ExistingFile
                                                 : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  QStringList filters = NameFilters(Filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!FileName.empty()) {
    QFileInfo info(QString::fromStdString(FileName));
    dialog.setDirectory(info.absolutePath());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  FileName = dialog.selectedFiles().first().toStdString();
  return true;
}

}  // namespace ui
