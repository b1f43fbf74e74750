// The form (a top-level window with a menu), its menu and the file-open dialog.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/Component.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Keys.h"

namespace ui {

struct NativeForm;
struct NativeMenuItem;
class TMainMenu;

class TForm : public platform::TComponent {
 public:
  TForm();
  ~TForm() override;

  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientSize(int width, int height);
  // Places the window in the middle of the screen.
  void CenterOnScreen();
  // The window font: family, height in pixels, bold.
  void SetFont(const std::string& family, int pixels, bool bold);

  // The control that has the focus within this window (also while the window is not the
  // active one), or none.
  TWinControl* ActiveControl() const;
  void SetActiveControl(TWinControl* control);

  void SetMenu(TMainMenu* menu);
  void Show();
  bool Visible() const;
  void Close();

  TNotifyEvent OnCreate;
  TCloseQueryEvent OnCloseQuery;

  NativeForm* Native() const { return native_; }
  // The controls in tab order (the controls keep this list).
  std::vector<TWinControl*>& TabList() { return tabList_; }
  void ApplyTabOrder();
  // Runs OnCreate as the toolkit does: a failure goes to the error box.
  void DoCreate();

 private:
  NativeForm* native_;
  std::string caption_;
  std::vector<TWinControl*> tabList_;
};

class TMenuItem : public platform::TComponent {
 public:
  explicit TMenuItem(platform::TComponent* owner);
  ~TMenuItem() override;

  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  TShortCut ShortCut() const { return shortcut_; }
  void SetShortCut(TShortCut shortcut);
  // Makes item an entry of this item's submenu.
  void Add(TMenuItem* item);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }

  // Runs OnClick as code does; a failure reaches the caller.
  void Click();

  TNotifyEvent OnClick;
  NativeMenuItem* Native() const { return native_; }

 private:
  NativeMenuItem* native_;
  std::string caption_;
  bool checked_ = false;
  TShortCut shortcut_ = 0;
  std::vector<TMenuItem*> items_;
};

class TMainMenu : public platform::TComponent {
 public:
  explicit TMainMenu(platform::TComponent* owner) : TComponent(owner) {}
  void Add(TMenuItem* item) { items_.push_back(item); }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }

 private:
  std::vector<TMenuItem*> items_;
};

enum TOpenOption : unsigned {
  ofReadOnly = 1u << 0,
  ofOverwritePrompt = 1u << 1,
  ofHideReadOnly = 1u << 2,
  ofAllowMultiSelect = 1u << 9,
  ofPathMustExist = 1u << 11,
  ofFileMustExist = 1u << 12,
};

class TOpenDialog : public platform::TComponent {
 public:
  explicit TOpenDialog(platform::TComponent* owner) : TComponent(owner) {}

  // Pairs of description and pattern separated by "|" ("Texto (*.txt)|*.txt").
  std::string Filter;
  unsigned Options = 0;  // TOpenOption bits
  std::string FileName;  // the chosen file, native path

  // Runs the dialog modally over the active form; true when a file was chosen.
  bool Execute();

  // For tests: answers Execute in place of the dialog (nothing for a cancel).
  using Hook = std::function<std::optional<std::string>(const TOpenDialog&)>;
  static void SetExecuteHook(Hook hook);
};

}  // namespace ui
