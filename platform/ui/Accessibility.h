// Inside the window layer only: what a screen reader learns of the one-line lists. A list is
// named by its label and has its items as children; the focus of the list is the focus of
// its current item, and a list without the focus tells nothing of its changes, so that the
// screen reader speaks the list the user is on and nothing else.
#pragma once

#include <memory>

class QElapsedTimer;
class QItemSelection;
class QListWidget;
class QTimer;

namespace ui {

// Makes the lists' accessible objects and routes their events; once per program.
void InstallListAccessibility();

// What a screen reader hears of the changes of one list while it has the focus. A key held
// down steps the list faster than a screen reader can speak and keep up: changes that come
// closer together than a moment are told as one, the item the list is on when the moment
// has passed.
class ListNotices {
 public:
  explicit ListNotices(QListWidget* list);
  ~ListNotices();
  ListNotices(const ListNotices&) = delete;
  ListNotices& operator=(const ListNotices&) = delete;

  // Items were selected and deselected (before the current item moves).
  void SelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
  // The current item has moved.
  void CurrentChanged();

  static constexpr int kMomentMs = 250;

 private:
  bool Immediate() const;
  void TellCurrent();

  QListWidget* list_;
  std::unique_ptr<QElapsedTimer> sinceTold_;
  QTimer* later_;  // a child of the list
};

}  // namespace ui
