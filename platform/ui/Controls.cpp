#include "platform/ui/Controls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FileReplace.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/Form.h"
#include "platform/ui/Native.h"

namespace ui {

QString FromCp1252(const std::string& bytes) {
  QString s;
  s.reserve(static_cast<qsizetype>(bytes.size()));
  for (unsigned char b : bytes)
    s.append(QChar(static_cast<char16_t>(platform::Cp1252ToUnicode(b))));
  return s;
}

std::string ToCp1252(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (char32_t c : text.toUcs4()) out.push_back(static_cast<char>(platform::UnicodeToCp1252(c)));
  return out;
}

TControl* ControlOf(const QWidget* w) {
  for (; w; w = w->parentWidget()) {
    QVariant v = w->property("orvControl");
    if (v.isValid()) return reinterpret_cast<TControl*>(v.value<quintptr>());
  }
  return nullptr;
}

namespace {
NativeControl* Wrap(QWidget* w) {
  auto* n = new NativeControl;
  n->widget = w;
  return n;
}

// Lines of a Windows text: CR LF, CR or LF end a line; a last line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}
}  // namespace

// TControl

TControl::TControl(TForm* owner, NativeControl* native)
    : TComponent(owner), form_(owner), native_(native) {
  QWidget* w = native_->widget;
  w->setParent(owner->Native()->client);
  w->setProperty("orvControl", QVariant::fromValue(reinterpret_cast<quintptr>(this)));
  w->setVisible(true);
}

TControl::~TControl() {
  delete native_->widget.data();
  delete native_;
}

bool TControl::Visible() const { return !native_->widget->isHidden(); }
void TControl::SetVisible(bool visible) { native_->widget->setVisible(visible); }
int TControl::Left() const { return native_->widget->x(); }
int TControl::Top() const { return native_->widget->y(); }
int TControl::Width() const { return native_->widget->width(); }
int TControl::Height() const { return native_->widget->height(); }
void TControl::SetBounds(int left, int top, int width, int height) {
  native_->widget->setGeometry(left, top, width, height);
}

// TWinControl

TWinControl::TWinControl(TForm* owner, NativeControl* native) : TControl(owner, native) {
  native->widget->setFocusPolicy(Qt::StrongFocus);
  owner->TabList().push_back(this);
  owner->ApplyTabOrder();
}

TWinControl::~TWinControl() {
  auto& list = Form()->TabList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

int TWinControl::TabOrder() const {
  auto& list = Form()->TabList();
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  auto& list = Form()->TabList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
  Form()->ApplyTabOrder();
}

void TWinControl::SetFocus() { Native()->widget->setFocus(Qt::OtherFocusReason); }

void TWinControl::SetAccessibleName(const std::string& name) {
  Native()->widget->setAccessibleName(FromCp1252(name));
}

bool TWinControl::Focused() const { return Form()->ActiveControl() == this; }

// TRichEdit

namespace {
bool IsBreak(QChar c) {
  return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == '\n' || c == '\r';
}

}  // namespace

// The Windows-1252 byte offsets of a document's positions: every character is one byte but
// a line end (two, CR LF) and the second half of a surrogate pair (none: the pair is one
// "?"). Only those exceptions are stored, so a lookup is a binary search.
class ByteMap {
 public:
  // Also gives the bytes themselves, made in the same pass.
  ByteMap(const QString& raw, std::string& bytes) : chars_(static_cast<int>(raw.size())) {
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(chars_) + static_cast<std::size_t>(chars_) / 16);
    const QChar* c = raw.constData();
    for (int i = 0; i < chars_; ++i) {
      const char16_t u = c[i].unicode();
      if (u >= 0x20 && (u < 0x80 || (u >= 0xA0 && u <= 0xFF))) {  // most of any text
        bytes.push_back(static_cast<char>(u));
      } else if (IsBreak(c[i])) {
        breaks_.push_back(i);
        bytes += "\r\n";
      } else if (c[i].isHighSurrogate() && i + 1 < chars_ && c[i + 1].isLowSurrogate()) {
        pairedLows_.push_back(++i);
        bytes.push_back('?');
      } else {
        bytes.push_back(static_cast<char>(platform::UnicodeToCp1252(u)));
      }
    }
    bytes_ = BytesBefore(chars_);
  }
  int Bytes() const { return bytes_; }
  // Bytes before document position pos.
  int BytesBefore(int pos) const {
    pos = std::clamp(pos, 0, chars_);
    return pos + Below(breaks_, pos) - Below(pairedLows_, pos);
  }
  // The document position at byte offset byte; inside a line end, the position after it.
  int PositionOfByte(int byte) const {
    int lo = 0, hi = chars_;
    while (lo < hi) {
      const int mid = lo + (hi - lo) / 2;
      if (BytesBefore(mid) >= byte)
        hi = mid;
      else
        lo = mid + 1;
    }
    // Never between the halves of a pair.
    if (std::binary_search(pairedLows_.begin(), pairedLows_.end(), lo)) ++lo;
    return lo;
  }

 private:
  static int Below(const std::vector<int>& v, int pos) {
    return static_cast<int>(std::lower_bound(v.begin(), v.end(), pos) - v.begin());
  }
  int chars_ = 0, bytes_ = 0;
  std::vector<int> breaks_, pairedLows_;
};

namespace {
// More characters than this without a blank make the box break its lines anywhere. Breaking
// at word boundaries, the layout scans such a stretch to its end for each line it fills, so
// that its time grows with the square of the stretch's length; a word this long breaks
// anywhere either way.
constexpr int kLongestUnbrokenRun = 1000;

char32_t CodeOf(QChar c) { return c.unicode(); }
char32_t CodeOf(char32_t c) { return c; }

// A first line longer than this goes into the box in one piece (see LoadFromFile).
constexpr std::size_t kLongFirstLine = 100000;

std::size_t FirstLineLength(const std::vector<platform::TextRun>& runs) {
  std::size_t length = 0;
  for (const auto& run : runs) {
    const std::size_t end = run.text.find(U'\n');
    if (end != std::u32string::npos) return length + end;
    length += run.text.size();
  }
  return length;
}

template <typename Chars>
bool HasLongRun(const Chars& text) {
  int run = 0;
  for (auto ch : text) {
    const char32_t c = CodeOf(ch);
    if (c == ' ' || c == '\t' || c == '\n' || c == 0x2029 || c == 0x2028)
      run = 0;
    else if (++run > kLongestUnbrokenRun)
      return true;
  }
  return false;
}
}  // namespace

// What the box holds, as Text() gives it, with the byte offsets of its positions: made at
// most once per change of the document.
struct TRichEdit::ByteMapCache {
  struct Contents {
    std::string text;  // before map, which fills it
    ByteMap map;
    explicit Contents(const QString& raw) : map(raw, text) {}
  };
  std::optional<Contents> contents;
  void Reset() { contents.reset(); }
  const Contents& Fill(const QTextDocument* doc) {
    if (!contents) contents.emplace(doc->toRawText());
    return *contents;
  }
};

namespace {
QTextEdit* Edit(const TControl* c) { return static_cast<QTextEdit*>(c->Native()->widget.data()); }
}  // namespace

TRichEdit::TRichEdit(TForm* owner)
    : TWinControl(owner, Wrap(new QTextEdit())), byteMap_(std::make_shared<ByteMapCache>()) {
  QTextEdit* e = Edit(this);
  e->setTabChangesFocus(true);
  e->setAcceptRichText(true);
  WatchDocument();
}

void TRichEdit::WatchDocument() {
  QTextEdit* e = Edit(this);
  QTextDocument* doc = e->document();
  // The connection holds the cache itself: it may outlive this object while the widget goes.
  auto changed = [cache = byteMap_, e, doc](int pos, int, int added) {
    cache->Reset();
    // Text typed or pasted in: a long stretch without a blank changes how lines break,
    // before the box lays the change out.
    if (added <= 0 || e->wordWrapMode() == QTextOption::WrapAnywhere) return;
    const QTextBlock last = doc->findBlock(pos + added);
    for (QTextBlock b = doc->findBlock(pos); b.isValid(); b = b.next()) {
      if (b.length() > kLongestUnbrokenRun && HasLongRun(b.text())) {
        e->setWordWrapMode(QTextOption::WrapAnywhere);
        return;
      }
      if (b == last) break;
    }
  };
  QObject::connect(doc, &QTextDocument::contentsChange, e, changed);
  byteMap_->Reset();
}

void TRichEdit::WrapFor(bool longRuns) {
  QTextEdit* e = Edit(this);
  const auto mode =
      longRuns ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
  if (e->wordWrapMode() == mode) return;
  // The text about to go is not laid out again in the new mode: broken at word boundaries,
  // a long line that it holds would freeze the box.
  e->clear();
  e->setWordWrapMode(mode);
}

void TRichEdit::LaidOutOnce(const std::function<void()>& put) {
  // The box lays new text out at once. Were its scroll bar to appear only then, it would lay
  // the whole text out again in the narrower width: a long line would take twice the time.
  QTextEdit* e = Edit(this);
  const Qt::ScrollBarPolicy policy = e->verticalScrollBarPolicy();
  e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  put();
  e->setVerticalScrollBarPolicy(policy);
}

const ByteMap& TRichEdit::Map() const { return byteMap_->Fill(Edit(this)->document()).map; }

std::string TRichEdit::Text() const { return byteMap_->Fill(Edit(this)->document()).text; }

std::string TRichEdit::TextFrom(int start) const {
  const std::string& text = byteMap_->Fill(Edit(this)->document()).text;
  const auto from = static_cast<std::size_t>(std::max(start, 0));
  return from < text.size() ? text.substr(from) : std::string();
}

void TRichEdit::SetText(const std::string& text) {
  QString s;
  s.reserve(static_cast<qsizetype>(text.size()));
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b == '\r' || b == '\n') {
      if (b == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      s.append(QChar('\n'));
    } else {
      s.append(QChar(static_cast<char16_t>(platform::Cp1252ToUnicode(b))));
    }
  }
  // Plain text in the box's own font: no format left over from a loaded file.
  WrapFor(HasLongRun(s));
  Edit(this)->setCurrentCharFormat(QTextCharFormat());
  LaidOutOnce([&] { Edit(this)->setPlainText(s); });
  stickyByte_ = -1;
}

int TRichEdit::GetTextLen() const { return Map().Bytes(); }

int TRichEdit::SelStart() const {
  QTextEdit* e = Edit(this);
  int pos = e->textCursor().selectionStart();
  if (stickyByte_ >= 0 && pos == stickyDoc_ && e->document()->revision() == stickyRevision_)
    return stickyByte_;
  return Map().BytesBefore(pos);
}

void TRichEdit::SetSelStart(int pos) {
  QTextEdit* e = Edit(this);
  const ByteMap& map = Map();
  pos = std::clamp(pos, 0, map.Bytes());
  int doc = map.PositionOfByte(pos);
  QTextCursor cursor = e->textCursor();
  cursor.setPosition(doc);
  e->setTextCursor(cursor);
  bool exact = map.BytesBefore(doc) == pos;
  stickyByte_ = exact ? -1 : pos;
  stickyDoc_ = doc;
  stickyRevision_ = e->document()->revision();
}

int TRichEdit::SelLength() const {
  QTextCursor cursor = Edit(this)->textCursor();
  return Map().BytesBefore(cursor.selectionEnd()) - Map().BytesBefore(cursor.selectionStart());
}

void TRichEdit::SetSelLength(int length) {
  QTextEdit* e = Edit(this);
  const ByteMap& map = Map();
  int start = SelStart();
  int end = std::clamp(start + std::max(length, 0), 0, map.Bytes());
  QTextCursor cursor = e->textCursor();
  cursor.setPosition(cursor.selectionStart());
  cursor.setPosition(map.PositionOfByte(end), QTextCursor::KeepAnchor);
  e->setTextCursor(cursor);
}

void TRichEdit::LoadFromFile(const std::string& path) {
  // A big file takes seconds: the busy cursor shows meanwhile, whatever ends the load.
  struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  } busy;
  const std::string bytes = platform::ReadWholeFile(path);
  std::optional<std::vector<platform::TextRun>> rich = platform::ReadRichText(bytes);
  // Plain text takes the box's own font; only rich text brings formats of its own.
  std::vector<platform::TextRun> runs;
  if (rich)
    runs = std::move(*rich);
  else
    runs.push_back({platform::ReadPlainText(bytes)});
  QTextEdit* e = Edit(this);
  const bool longRuns =
      std::any_of(runs.begin(), runs.end(), [](const auto& run) { return HasLongRun(run.text); });
  // The text goes into a document of its own, with no undo record, which the box then
  // takes. Filled before the box takes it, the document is laid out lazily, a piece at a
  // time as the box needs it; but taking a document lays its first line out several times
  // over, which for a very long first line costs seconds. Such a document is filled once the
  // box holds it, and laid out once.
  auto doc = std::make_unique<QTextDocument>();
  doc->setUndoRedoEnabled(false);
  doc->setDefaultFont(e->document()->defaultFont());
  auto fill = [&](QTextDocument* into) {
    QTextCursor cursor(into);
    cursor.beginEditBlock();
    for (const auto& run : runs) {
      QTextCharFormat format;
      if (rich) {
        format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(run.italic);
        format.setFontUnderline(run.underline);
      }
      cursor.insertText(QString::fromUcs4(run.text.data(), static_cast<qsizetype>(run.text.size())),
                        format);
    }
    cursor.endEditBlock();
    runs.clear();
    into->setUndoRedoEnabled(true);
  };
  const bool fillTaken = FirstLineLength(runs) > kLongFirstLine;
  if (!fillTaken) fill(doc.get());
  // The box frees the document it made itself; one that an earlier load gave it is ours.
  QTextDocument* old = e->document();
  const bool ours = old->parent() == e;
  doc->setParent(e);
  // Before the box takes the document, which it lays out at once in its own wrap mode.
  WrapFor(longRuns);
  LaidOutOnce([&] { e->setDocument(doc.release()); });
  if (ours) delete old;
  if (fillTaken) LaidOutOnce([&] { fill(e->document()); });
  WatchDocument();
  QTextCursor cursor = e->textCursor();
  cursor.setPosition(0);
  e->setTextCursor(cursor);
  stickyByte_ = -1;
  // What a reading takes from the box, made now rather than at the first Enter on "Leer".
  byteMap_->Fill(e->document());
}

std::vector<platform::TextRun> TRichEdit::Runs() const {
  QTextDocument* doc = Edit(this)->document();
  QFont base = doc->defaultFont();
  std::vector<platform::TextRun> runs;
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      QTextFragment f = it.fragment();
      QFont font = f.charFormat().font().resolve(base);
      QList<uint> text = f.text().toUcs4();
      runs.push_back(
          {std::u32string(text.begin(), text.end()), font.bold(), font.italic(), font.underline()});
    }
    if (block.next().isValid()) {
      platform::TextRun lineEnd{U"\n"};
      if (!runs.empty())
        lineEnd = {U"\n", runs.back().bold, runs.back().italic, runs.back().underline};
      runs.push_back(lineEnd);
    }
  }
  return platform::MergeRuns(std::move(runs));
}

// TCheckListBox

namespace {
class ItemDelegate : public QStyledItemDelegate {
 public:
  explicit ItemDelegate(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view) {}
  int height = 13;
  // A list too low for two items shows exactly one: the item fills the whole view, so no
  // sliver of its neighbour shows under it.
  int ShownHeight() const {
    const int h = view_->viewport()->height();
    return h > height && h < 2 * height ? h : height;
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), ShownHeight()};
  }
  // Only the list with the focus shows its item in the selection colour; the others show
  // theirs in grey, so that the eye finds the focused one among lists that look alike.
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem o(option);
    if (!view_->hasFocus()) {
      o.palette.setColor(QPalette::Highlight, kInactiveHighlight);
      o.palette.setColor(QPalette::HighlightedText, o.palette.color(QPalette::Text));
    }
    QStyledItemDelegate::paint(painter, o, index);
  }
  static constexpr QColor kInactiveHighlight{0xD4, 0xD4, 0xD4};

 private:
  QAbstractItemView* view_;
};

// A list box a few items high: the page keys step by a page of what shows, at least one
// item.
class ListWidget : public QListWidget {
 public:
  ItemDelegate* delegate = new ItemDelegate(this);
  ListNotices notices{this};
  ListWidget() {
    setItemDelegate(delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The current item always stands at the top, however it was reached.
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
      if (row >= 0) scrollToItem(item(row), QAbstractItemView::PositionAtTop);
    });
  }

 protected:
  // The focused list also has a frame of two pixels, a darker shade of the selection colour,
  // that sets it off from its own item.
  bool event(QEvent* e) override {
    const bool done = QListWidget::event(e);
    if (e->type() == QEvent::Paint && hasFocus()) {
      QPainter p(this);
      p.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight).darker(170), 2));
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    return done;
  }
  // Not the list view's own: a screen reader hears of the list with the focus only.
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
    QAbstractItemView::currentChanged(current, previous);
    if (hasFocus() && current.isValid()) notices.CurrentChanged();
  }
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override {
    QAbstractItemView::selectionChanged(selected, deselected);
    if (hasFocus()) notices.SelectionChanged(selected, deselected);
  }

  void focusInEvent(QFocusEvent* e) override {
    QListWidget::focusInEvent(e);
    update();
  }
  void focusOutEvent(QFocusEvent* e) override {
    QListWidget::focusOutEvent(e);
    update();
  }

  void resizeEvent(QResizeEvent* e) override {
    QListWidget::resizeEvent(e);
    doItemsLayout();
    if (currentRow() >= 0) scrollToItem(currentItem(), QAbstractItemView::PositionAtTop);
  }

  void keyPressEvent(QKeyEvent* e) override {
    int n = count();
    if (n > 0 && e->modifiers() == Qt::NoModifier) {
      int page = std::max(1, viewport()->height() / std::max(1, delegate->height) - 1);
      int row = currentRow();
      int to = -1;
      switch (e->key()) {
        case Qt::Key_PageDown:
          to = std::min(n - 1, row + page);
          break;
        case Qt::Key_PageUp:
          to = std::max(0, row - page);
          break;
        case Qt::Key_Home:
          to = 0;
          break;
        case Qt::Key_End:
          to = n - 1;
          break;
        // In a one-column list the side arrows step like the up and down ones.
        case Qt::Key_Right:
          to = std::min(n - 1, row + 1);
          break;
        case Qt::Key_Left:
          to = std::max(0, row - 1);
          break;
        default:
          break;
      }
      if (to >= 0) {
        setCurrentRow(to);
        scrollToItem(item(to), QAbstractItemView::PositionAtTop);
        e->accept();
        return;
      }
    }
    QListWidget::keyPressEvent(e);
  }
};

ListWidget* List(const TControl* c) { return static_cast<ListWidget*>(c->Native()->widget.data()); }

}  // namespace

TCheckListBox::TCheckListBox(TForm* owner) : TWinControl(owner, Wrap(new ListWidget())) {
  static const bool installed = (InstallListAccessibility(), true);
  (void)installed;
}

int TCheckListBox::TItems::Count() const { return static_cast<int>(owner_->strings_.size()); }

void TCheckListBox::TItems::Add(const std::string& item) {
  owner_->strings_.push_back(item);
  auto* it = new QListWidgetItem(FromCp1252(item));
  it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  it->setCheckState(Qt::Unchecked);
  List(owner_)->addItem(it);
}

void TCheckListBox::TItems::Clear() {
  owner_->strings_.clear();
  List(owner_)->clear();
}

std::string TCheckListBox::TItems::operator[](int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
  return owner_->strings_[static_cast<std::size_t>(index)];
}

std::string TCheckListBox::TItems::Text() const {
  std::string out;
  for (const auto& s : owner_->strings_) out += s + "\r\n";
  return out;
}

void TCheckListBox::TItems::SetText(const std::string& text) {
  Clear();
  for (const auto& line : SplitLines(text)) Add(line);
}

int TCheckListBox::ItemIndex() const { return List(this)->currentRow(); }

void TCheckListBox::SetItemIndex(int index) {
  ListWidget* list = List(this);
  if (index < 0 || index >= list->count()) {
    list->setCurrentRow(-1);
    return;
  }
  list->setCurrentRow(index);
  list->scrollToItem(list->item(index), QAbstractItemView::PositionAtTop);
}

bool TCheckListBox::Checked(int index) const {
  QListWidgetItem* it = List(this)->item(index);
  return it && it->checkState() == Qt::Checked;
}

void TCheckListBox::SetChecked(int index, bool checked) {
  if (QListWidgetItem* it = List(this)->item(index))
    it->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

int TCheckListBox::ItemHeight() const { return List(this)->delegate->height; }

void TCheckListBox::SetItemHeight(int height) {
  List(this)->delegate->height = height;
  List(this)->doItemsLayout();
}

// TLabel

TLabel::TLabel(TForm* owner) : TControl(owner, Wrap(new QLabel())) {}

namespace {
// A caption as it is read out: without its accelerator marks ("&&" stands for "&").
std::string WithoutAccelerator(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && ++i == caption.size()) break;
    out += caption[i];
  }
  return out;
}
}  // namespace

void TLabel::SetCaption(const std::string& caption) {
  caption_ = caption;
  auto* label = static_cast<QLabel*>(Native()->widget.data());
  label->setText(FromCp1252(caption));
  label->resize(label->sizeHint().width(), label->height());
  if (focusControl_) focusControl_->SetAccessibleName(WithoutAccelerator(caption_));
}

// The label names its control for screen readers too.
void TLabel::SetFocusControl(TWinControl* control) {
  focusControl_ = control;
  static_cast<QLabel*>(Native()->widget.data())
      ->setBuddy(control ? control->Native()->widget.data() : nullptr);
  if (control) control->SetAccessibleName(WithoutAccelerator(caption_));
}

// TMemo

TMemo::TMemo(TForm* owner) : TWinControl(owner, Wrap(new QPlainTextEdit())) {}

void TMemo::SetText(const std::string& text) {
  text_ = text;
  static_cast<QPlainTextEdit*>(Native()->widget.data())->setPlainText(FromCp1252(text));
}

void TMemo::SaveToFile(const std::string& path) const {
  std::string data;
  for (const auto& line : SplitLines(text_)) data += line + "\r\n";
  // Written beside the file and renamed over it: a write that fails (a full disk) leaves the
  // file that was there as it was.
  const int err = platform::TrySaveReplacing(path, data.data(), data.size());
  if (err == 0) return;
  // The reason in the program's own words: the system's are English.
  const char* reason = "Error al escribir el archivo.";
  switch (err) {
    case ENOENT:
    case ENOTDIR:
      reason = "La carpeta no existe.";
      break;
    case EACCES:
    case EPERM:
    case EROFS:
      reason = "No tiene permiso para escribir en la carpeta.";
      break;
    case ENOSPC:
    case EDQUOT:
      reason = "El disco est\xE1 lleno.";
      break;
    case EISDIR:
      reason = "Es una carpeta.";
      break;
  }
  throw platform::Exception("No se puede crear el archivo \"" + platform::Utf8ToCp1252(path) +
                            "\". " + reason);
}

}  // namespace ui
