// The keyboard and mouse as the game's code sees them: the position of the
// mouse in the room, the buttons and keys held and pressed last, the last
// character typed and the text typed so far. The input side fills it from
// the window's events; the built-in variables read it and let games change
// what they may.
#pragma once

#include <cstdint>
#include <string>

namespace tavrin {

struct RInputState {
  double mouse_x = 0, mouse_y = 0;  // room coordinates
  int32_t mouse_button = 0;         // held now: 0 none, 1 left, 2 right, 3 middle
  int32_t mouse_lastbutton = 0;
  int32_t keyboard_key = 0;  // key code held now, 0 for none
  int32_t keyboard_lastkey = 0;
  std::string keyboard_lastchar;  // one character (UTF-8), empty before any
  std::string keyboard_string;    // the text typed, with backspace applied
};
inline RInputState g_Input;

}  // namespace tavrin
