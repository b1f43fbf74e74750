// The application object: the toolkit, the message loop, the message and error boxes.
// Creating it sets up the message-loop timers, the serving of synchronized calls, the
// system beep and the standard error box on the toolkit's event loop.
#pragma once

#include <functional>
#include <string>

namespace ui {

class TForm;

// Message box flags and results (the values of the original platform).
enum : unsigned {
  MB_OKCANCEL = 0x01,
  MB_YESNOCANCEL = 0x03,
  MB_YESNO = 0x04,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct NativeApplication;

class TApplication {
 public:
  // One per program. Without a display the toolkit runs offscreen.
  TApplication(int& argc, char** argv);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Makes the form: ref holds it before its OnCreate runs; the first one made is the main
  // form.
  template <class T>
  void CreateForm(T*& ref) {
    ref = new T();
    Register(ref);
    ref->DoCreate();
  }
  TForm* MainForm() const { return mainForm_; }

  // Shows the main form and runs the message loop until it is closed; returns the exit code.
  int Run();
  // Serves what is pending in the message loop (timers due, posted calls, events).
  void ProcessMessages();

  // Modal message box over the active form; text and caption in Windows-1252.
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
  // The standard error box.
  void ShowException(const std::string& message);

  std::string Title() const { return title_; }

  // For tests: answers message boxes in place of showing them.
  using MessageBoxHook =
      std::function<int(const std::string& text, const std::string& caption, unsigned flags)>;
  void SetMessageBoxHook(MessageBoxHook hook) { messageBoxHook_ = std::move(hook); }

 private:
  void Register(TForm* form);

  NativeApplication* native_;
  TForm* mainForm_ = nullptr;
  std::string title_ = "orv_lp";
  MessageBoxHook messageBoxHook_;
};

// The one application object, set while it exists.
extern TApplication* Application;

// Runs a handler as the message loop does: an exception that escapes it goes to the error
// box (the silent abort shows nothing).
void RunHandler(const std::function<void()>& handler);

}  // namespace ui
