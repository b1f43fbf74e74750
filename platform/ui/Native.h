// Inside the window layer only: the toolkit objects behind the layer's classes.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <string>

namespace ui {

class TForm;
class TControl;
class TWinControl;

struct NativeControl {
  QPointer<QWidget> widget;
};

struct NativeForm {
  QPointer<QMainWindow> window;
  QPointer<QWidget> client;  // the controls' parent; its size is the client size
};

struct NativeMenuItem {
  QAction* action = nullptr;
  QMenu* menu = nullptr;  // made when the item gets entries of its own
};

QString FromCp1252(const std::string& bytes);
std::string ToCp1252(const QString& text);

// The layer control whose widget is w or holds w, if any.
TControl* ControlOf(const QWidget* w);
// The form of a window, if the layer made it.
TForm* FormOf(const QWidget* window);

}  // namespace ui
