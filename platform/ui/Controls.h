// The window controls. Text going in and out is Windows-1252 bytes with CR LF line ends;
// file paths are native strings. The controls are components: the form that owns them frees
// them, and they sit on that form.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Component.h"
#include "platform/core/RichText.h"
#include "platform/ui/Keys.h"

namespace ui {

class TForm;
struct NativeControl;

class TControl : public platform::TComponent {
 public:
  ~TControl() override;

  bool Visible() const;
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

  TForm* Form() const { return form_; }
  NativeControl* Native() const { return native_; }

 protected:
  TControl(TForm* owner, NativeControl* native);

 private:
  TForm* form_;
  NativeControl* native_;
};

// A control that takes the keyboard focus and has a place in the form's tab order.
class TWinControl : public TControl {
 public:
  ~TWinControl() override;

  // Its place in the tab order, from 0; setting it moves the others along.
  int TabOrder() const;
  void SetTabOrder(int order);
  void SetFocus();
  bool Focused() const;
  // The name a screen reader gives the control (a label made its buddy sets it too).
  void SetAccessibleName(const std::string& name);

  // Called on the release of a key while this control has the focus.
  TKeyEvent OnKeyUp;

 protected:
  TWinControl(TForm* owner, NativeControl* native);
};

class TRichEdit : public TWinControl {
 public:
  explicit TRichEdit(TForm* owner);

  std::string Text() const;
  // The bytes of Text() from start (counted from 0) to the end.
  std::string TextFrom(int start) const;
  void SetText(const std::string& text);
  int GetTextLen() const;
  // The caret and the selection, counted in the bytes of Text() from 0.
  int SelStart() const;
  void SetSelStart(int pos);
  int SelLength() const;
  void SetSelLength(int length);

  // Replaces the whole text with the file: rich text when it reads as such, else plain
  // text. Throws platform::Exception naming the file when it cannot be read.
  void LoadFromFile(const std::string& path);
  // The text with its character formats, paragraphs ending with '\n'.
  std::vector<platform::TextRun> Runs() const;

 private:
  // Where the bytes of Text() stand in the document, kept until the document changes, so
  // that the caret of a reading costs the same at the end of a big text as in a small one.
  struct ByteMapCache;
  std::shared_ptr<ByteMapCache> byteMap_;
  const class ByteMap& Map() const;
  void WatchDocument();
  // Lines break at word boundaries, or anywhere when the text has a long stretch without a
  // blank.
  void WrapFor(bool longRuns);
  void LaidOutOnce(const std::function<void()>& put);
  mutable int stickyByte_ = -1;  // a caret set between CR and LF reads back as set
  mutable int stickyDoc_ = -1;
  mutable int stickyRevision_ = -1;
};

// A list box with a check box drawn in each item.
class TCheckListBox : public TWinControl {
 public:
  explicit TCheckListBox(TForm* owner);

  class TItems {
   public:
    int Count() const;
    void Add(const std::string& item);
    void Clear();
    std::string operator[](int index) const;  // throws std::out_of_range
    std::string Text() const;                 // items each followed by CR LF
    void SetText(const std::string& text);    // one item per line

   private:
    friend class TCheckListBox;
    explicit TItems(TCheckListBox* owner) : owner_(owner) {}
    TCheckListBox* owner_;
  };
  TItems& Items() { return items_; }
  const TItems& Items() const { return items_; }

  // The current item, -1 when there is none. Setting it from code raises no event.
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool Checked(int index) const;
  void SetChecked(int index, bool checked);
  int ItemHeight() const;
  void SetItemHeight(int height);

 private:
  TItems items_{this};
  std::vector<std::string> strings_;
};

class TLabel : public TControl {
 public:
  explicit TLabel(TForm* owner);
  // "&" marks the accelerator letter: Alt with it focuses FocusControl.
  std::string Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  void SetFocusControl(TWinControl* control);

 private:
  std::string caption_;
  TWinControl* focusControl_ = nullptr;
};

class TMemo : public TWinControl {
 public:
  explicit TMemo(TForm* owner);
  std::string Text() const { return text_; }
  void SetText(const std::string& text);
  // Writes the lines, each followed by CR LF, replacing the file. Throws platform::Exception
  // naming the file when it cannot be written.
  void SaveToFile(const std::string& path) const;

 private:
  std::string text_;
};

}  // namespace ui
