// The script functions of colours, the drawing state, shapes, paths, pixels, textures, primitives,
// sprite and background drawing, and the sprite and background resources
// that can be added, replaced, copied, merged and deleted while a game runs.
#pragma once

namespace tavrin {

// Fills in the routines of these functions in the function table.
void Function_RegisterGraphics();

// The current room's size (0 between rooms): what the tiled drawing
// functions cover, whatever part of the room a view shows.
double Function_RoomWidth();
double Function_RoomHeight();

}  // namespace tavrin
