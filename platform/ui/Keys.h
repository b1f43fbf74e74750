// Keys as the window code sees them: Windows virtual-key codes and the set of modifiers held.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "platform/core/Component.h"

namespace ui {

using TObject = platform::TComponent;

enum TShiftFlag : std::uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

// A set of TShiftFlag: TShiftState{} is empty, TShiftState{ssCtrl} is exactly Ctrl.
class TShiftState {
 public:
  constexpr TShiftState() = default;
  constexpr TShiftState(std::initializer_list<TShiftFlag> flags) {
    for (auto f : flags) bits_ |= f;
  }
  constexpr bool Contains(TShiftFlag f) const { return (bits_ & f) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TShiftState& Include(TShiftFlag f) {
    bits_ |= f;
    return *this;
  }
  constexpr TShiftState& Exclude(TShiftFlag f) {
    bits_ &= static_cast<std::uint8_t>(~f);
    return *this;
  }
  constexpr bool operator==(const TShiftState&) const = default;

 private:
  std::uint8_t bits_ = 0;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
// Key is the Windows virtual-key code of the released key.
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// The virtual-key codes the window code names.
enum : std::uint16_t {
  VK_BACK = 8,
  VK_TAB = 9,
  VK_RETURN = 13,
  VK_SHIFT = 16,
  VK_CONTROL = 17,
  VK_MENU = 18,  // Alt
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_PRIOR = 33,  // Page Up
  VK_NEXT = 34,   // Page Down
  VK_END = 35,
  VK_HOME = 36,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_INSERT = 45,
  VK_DELETE = 46,
  VK_F1 = 112,
  VK_F2 = 113,
  VK_F4 = 115,
  VK_F5 = 116,
  VK_F6 = 117,
  VK_F10 = 121,  // the menu bar
};

// Menu shortcuts in the class library's encoding: a virtual-key code plus modifier bits.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// The toolkit's key (a Qt key number and its keyboard modifiers as bits) as a virtual-key
// code; 0 for a key that has none.
std::uint16_t VirtualKeyFromToolkit(int key, unsigned modifiers);
// The other way, for synthetic key events: the toolkit key of a virtual-key code.
int ToolkitKeyFromVirtualKey(std::uint16_t vk);

}  // namespace ui
