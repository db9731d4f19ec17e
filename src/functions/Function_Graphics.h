// The script functions of colours, the drawing state, textures, primitives,
// sprite and background drawing, and the sprite and background resources
// that can be added, replaced, copied, merged and deleted while a game runs.
#pragma once

namespace tavrin {

// Fills in the routines of these functions in the function table.
void Function_RegisterGraphics();

}  // namespace tavrin
