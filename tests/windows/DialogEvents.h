// What a player does to a window, as the window's model hears it: keys,
// typed text and the left mouse button.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace tavrin::test {

inline RPlatformEvent Key(int key, bool down = true) {
  RPlatformEvent e;
  e.type = down ? RPlatformEvent::KeyDown : RPlatformEvent::KeyUp;
  e.key = key;
  return e;
}
inline RPlatformEvent Typed(const std::string& text) {
  RPlatformEvent e;
  e.type = RPlatformEvent::Text;
  e.text = text;
  return e;
}
inline RPlatformEvent Mouse(RPlatformEvent::EType type, int x, int y) {
  RPlatformEvent e;
  e.type = type;
  e.button = 1;
  e.x = x;
  e.y = y;
  return e;
}

}  // namespace tavrin::test
