// The keyboard, mouse, joystick and io functions of game code.
#pragma once

namespace tavrin {

// Fills in the routines of the keyboard_*, mouse_*, joystick_* and io_*
// functions in the function table.
void Function_RegisterInput();

}  // namespace tavrin
