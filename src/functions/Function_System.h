// The clipboard, the program's priority and title, and the platform queries
// of game code.
#pragma once

namespace tavrin {

// Fills in the routines of these functions in the function table.
void Function_RegisterSystem();

}  // namespace tavrin
