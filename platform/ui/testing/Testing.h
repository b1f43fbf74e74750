// Test support for code on the window layer: the application object for a test program and
// key and menu input as the user makes it. Only tests link this.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"

namespace ui::testing {

// The application object of the test program, made on first use. Without a display the
// toolkit runs offscreen.
TApplication& App();

// Shows the form and makes it the active window, so that keys and accelerators reach it.
void ShowAndActivate(TForm* form);

// Key events as the keyboard makes them, sent to the form's focused control (the main form
// when none is given). A press runs shortcuts and accelerators first, as a real one does.
void KeyPress(std::uint16_t vk, TShiftState shift = {}, TForm* form = nullptr);
void KeyRelease(std::uint16_t vk, TShiftState shift = {}, bool autoRepeat = false,
                TForm* form = nullptr);
// Press and release.
void KeyClick(std::uint16_t vk, TShiftState shift = {}, TForm* form = nullptr);

// Keys as the keyboard sends them: each press and each release goes where the keyboard goes
// at its moment, the open menu or else the focused widget (when a dialog has closed, the main
// window gets the keyboard back, as the window system gives it). The modifiers are those held
// before the event, as the X server reports them: the release of a lone Alt still has Alt.
void TypePress(std::uint16_t vk, TShiftState shift = {});
void TypeRelease(std::uint16_t vk, TShiftState shift = {});
void Type(std::uint16_t vk, TShiftState shift = {});
// Types the Windows-1252 text where the keyboard goes, a key for each character.
void TypeText(const std::string& text);

// Runs inside() once a modal window is up and active, from the loop that shows it.
void WhenModal(std::function<void()> inside);

// What a screen reader is told of the control: its name and its value, in Windows-1252.
std::string AccessibleName(const TWinControl* control);
std::string AccessibleValue(const TWinControl* control);
// What a screen reader is told of a list's items: their names, and the names of those that
// are selected and of the one that has the focus (empty when none has it).
std::vector<std::string> AccessibleItems(const TWinControl* list);
std::vector<std::string> AccessibleSelectedItems(const TWinControl* list);
std::string AccessibleFocusedItem(const TWinControl* list);

// Chooses the menu item as the user does: a failure goes to the error box.
void ChooseMenuItem(TMenuItem* item);

// Serves the message loop (events, timers due, posted synchronized calls) for ms
// milliseconds; 0 serves what is pending now.
void ProcessMessages(int ms = 0);

}  // namespace ui::testing
