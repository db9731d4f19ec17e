// The keys of the desktop as games know them. Games name keys by key codes
// from 1 to 255 (letters by their capital, digits by their character, 37 the
// left arrow, 112 F1, ...); the desktop names them by SDL key codes (what the
// key types in the player's layout) and scan codes (where the key sits).
// One table turns the first into the second.
#pragma once

#include <cstdint>

namespace tavrin {

// The game's code for a key, from its SDL key code and scan code and the
// state of Num Lock; 0 for a key games have no code for.
//
// Letters and digits go by what the key types, so the key that types "a" on
// any layout is the A key. Punctuation goes by where the key sits (the key
// right of L is 186 on every layout), and so do keys whose character is no
// ASCII letter or digit (the "é" key of a French keyboard is the 2 key), so no
// key a player can press is left without a code. With Num Lock off the
// keypad's digits are the arrows, Home, End, Page Up and Down, Insert and
// Delete they are printed with, as on any desktop.
int32_t Key_FromSDL(int32_t keycode, int32_t scancode, bool numLock);

}  // namespace tavrin
