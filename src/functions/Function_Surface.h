// The script functions of surfaces: off-screen pictures games draw into,
// draw, read, copy and save.
#pragma once

namespace tavrin {

// Fills in the routines of these functions in the function table.
void Function_RegisterSurfaces();

}  // namespace tavrin
