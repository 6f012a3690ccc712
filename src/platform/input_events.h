#pragma once
// What the window system says of a mouse press or a key, as every window's core code reads it.

namespace terrak {

enum class MouseButton { Left, Right, Middle };

struct ShiftState {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
};

}  // namespace terrak
