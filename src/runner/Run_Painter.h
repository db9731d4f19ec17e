// The painter of the running game: puts what the room renderer decides onto
// the graphics device (ports, cameras, clears, backgrounds, tiles, sprites).
// Without a device it draws nothing, and the room's draw events still run.
#pragma once

#include "world/Room_Draw.h"

namespace tavrin {

IRoomPainter& Run_Painter();

}  // namespace tavrin
