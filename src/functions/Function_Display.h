// The game's functions for the display, the game window, the mouse through
// the window and the views, vertical sync, automatic drawing and saving the
// screen.
#pragma once

namespace tavrin {

void Function_RegisterDisplay();

}  // namespace tavrin
