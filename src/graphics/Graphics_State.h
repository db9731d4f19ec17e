// The graphics device of the running game, reached through one accessor. The
// runner opens it on the game window when the game starts and closes it at
// the end; everything that draws asks Graphics_Device() and draws nothing
// when there is none (tools, tests without a device).
#pragma once

#include <memory>

#include "graphics/Graphics_Device.h"

namespace tavrin {

// The device in use, or none.
IGraphicsDevice* Graphics_Device();
// Installs `device` (none closes the one in use); textures of the old device
// are gone with it.
void Graphics_SetDevice(std::unique_ptr<IGraphicsDevice> device);

}  // namespace tavrin
