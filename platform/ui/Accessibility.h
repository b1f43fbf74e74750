// Inside the window layer only: what a screen reader learns of the one-line lists. A list is
// named by its label and has its items as children; the focus of the list is the focus of
// its current item, and a list without the focus tells nothing of its changes, so that the
// screen reader speaks the list the user is on and nothing else.
#pragma once

class QItemSelection;
class QListWidget;

namespace ui {

// Makes the lists' accessible objects and routes their events; once per program.
void InstallListAccessibility();

// The list's current item has moved to row while the list has the focus.
void ListItemFocused(QListWidget* list, int row);
// Items of the list with the focus were selected and deselected.
void ListSelectionChanged(QListWidget* list, const QItemSelection& selected,
                          const QItemSelection& deselected);

}  // namespace ui
