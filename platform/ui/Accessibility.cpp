#include "platform/ui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QElapsedTimer>
#include <QItemSelection>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <map>

#include "platform/ui/Controls.h"
#include "platform/ui/Native.h"

namespace ui {

namespace {

// A list of the layer's own, not a list of some toolkit dialog.
bool IsLayerList(const QObject* object) {
  auto* list = qobject_cast<const QListWidget*>(object);
  return list && dynamic_cast<TCheckListBox*>(ControlOf(list)) != nullptr;
}

// One item of a list: its text for a name; focused only while its list has the focus.
class ItemAccessible : public QAccessibleInterface {
 public:
  ItemAccessible(QListWidget* list, int row) : list_(list), row_(row) {}
  bool isValid() const override { return list_ && row_ < list_->count(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return list_ ? list_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return list_ ? QAccessible::queryAccessibleInterface(list_.data()) : nullptr;
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid()) return QString();
    return list_->item(row_)->text();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) return QRect();
    QRect r = list_->visualItemRect(list_->item(row_));
    return r.translated(list_->viewport()->mapToGlobal(QPoint(0, 0)));
  }
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override {
    QAccessible::State s;
    if (!isValid()) return s;
    s.selectable = true;
    s.focusable = true;
    const bool current = list_->currentRow() == row_;
    s.selected = list_->item(row_)->isSelected();
    s.focused = current && list_->hasFocus();
    // Only the current item shows in a one-line list.
    if (!list_->visualItemRect(list_->item(row_)).intersects(list_->viewport()->rect()))
      s.invisible = s.offscreen = true;
    return s;
  }
  QListWidget* List() const { return list_; }
  int Row() const { return row_; }

 private:
  QPointer<QListWidget> list_;
  int row_;
};

// The list: its items as children, made when first asked for and kept with the list.
class ListAccessible : public QAccessibleWidget {
 public:
  explicit ListAccessible(QListWidget* list) : QAccessibleWidget(list, QAccessible::List) {}
  ~ListAccessible() override {
    for (const auto& [row, id] : items_) QAccessible::deleteAccessibleInterface(id);
  }
  QListWidget* List() const { return static_cast<QListWidget*>(widget()); }

  int childCount() const override { return List()->count(); }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= List()->count()) return nullptr;
    auto it = items_.find(index);
    if (it == items_.end())
      it = items_
               .emplace(index,
                        QAccessible::registerAccessibleInterface(new ItemAccessible(List(), index)))
               .first;
    return QAccessible::accessibleInterface(it->second);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    auto* item = dynamic_cast<const ItemAccessible*>(child);
    return item && item->List() == List() ? item->Row() : -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    QListWidget* list = List();
    QListWidgetItem* item = list->itemAt(list->viewport()->mapFromGlobal(QPoint(x, y)));
    return item ? child(list->row(item)) : nullptr;
  }
  QAccessibleInterface* focusChild() const override {
    return List()->hasFocus() ? child(List()->currentRow()) : nullptr;
  }

 private:
  mutable std::map<int, QAccessible::Id> items_;
};

QAccessibleInterface* ListFactory(const QString&, QObject* object) {
  if (IsLayerList(object)) return new ListAccessible(static_cast<QListWidget*>(object));
  return nullptr;
}

void Send(QAccessibleEvent* event);

// Every accessibility event of the program passes here. The toolkit tells of the focus of a
// list as the focus of the list itself, which a screen reader speaks without the item: it
// goes on as the focus of the current item.
void Route(QAccessibleEvent* event) {
  // A list's hidden scroll bars move with its current item and tell nothing of their own.
  if (event->type() == QAccessible::ValueChanged && qobject_cast<QScrollBar*>(event->object()) &&
      dynamic_cast<TCheckListBox*>(ControlOf(static_cast<QWidget*>(event->object()))))
    return;
  if (event->type() == QAccessible::Focus && event->child() < 0 && IsLayerList(event->object())) {
    auto* list = static_cast<QListWidget*>(event->object());
    if (list->currentRow() >= 0) {
      QAccessibleEvent item(list, QAccessible::Focus);
      item.setChild(list->currentRow());
      Send(&item);
      return;
    }
  }
  Send(event);
}

QAccessible::UpdateHandler earlierHandler = nullptr;

// On to the handler that was there before, else to the platform's bridge, which the
// toolkit calls only while no handler is installed.
void Send(QAccessibleEvent* event) {
  if (earlierHandler) {
    earlierHandler(event);
    return;
  }
  QAccessible::installUpdateHandler(nullptr);
  QAccessible::updateAccessibility(event);
  QAccessible::installUpdateHandler(&Route);
}

void SendForRow(QListWidget* list, QAccessible::Event type, int row) {
  QAccessibleEvent event(list, type);
  event.setChild(row);
  QAccessible::updateAccessibility(&event);
}

}  // namespace

void InstallListAccessibility() {
  QAccessible::installFactory(&ListFactory);
  earlierHandler = QAccessible::installUpdateHandler(&Route);
}

ListNotices::ListNotices(QListWidget* list)
    : list_(list), sinceTold_(std::make_unique<QElapsedTimer>()), later_(new QTimer(list)) {
  later_->setSingleShot(true);
  QObject::connect(later_, &QTimer::timeout, list, [this] {
    if (list_->hasFocus()) TellCurrent();
  });
}

ListNotices::~ListNotices() = default;

bool ListNotices::Immediate() const {
  return !later_->isActive() && (!sinceTold_->isValid() || sinceTold_->elapsed() >= kMomentMs);
}

void ListNotices::TellCurrent() {
  if (QAccessible::isActive() && list_->currentRow() >= 0)
    SendForRow(list_, QAccessible::Focus, list_->currentRow());
  sinceTold_->start();
}

void ListNotices::SelectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
  if (!QAccessible::isActive() || !Immediate()) return;
  for (const QModelIndex& i : selected.indexes())
    SendForRow(list_, QAccessible::SelectionAdd, i.row());
  for (const QModelIndex& i : deselected.indexes())
    SendForRow(list_, QAccessible::SelectionRemove, i.row());
}

void ListNotices::CurrentChanged() {
  if (Immediate()) {
    TellCurrent();
  } else if (!later_->isActive()) {
    later_->start(std::max<int>(0, kMomentMs - static_cast<int>(sinceTold_->elapsed())));
  }
}

}  // namespace ui
