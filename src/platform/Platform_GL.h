// Opening the OpenGL 3.3 graphics device on an SDL window. Used by the SDL
// platform only; the rest of the runner sees IGraphicsDevice.
#pragma once

#include <SDL.h>

#include <memory>

#include "graphics/Graphics_Device.h"

namespace tavrin {

// The window a device shows its frames in. The platform empties it when the
// window goes (the device then draws nothing and shows nothing) and points
// it at the replacement when the window is remade.
struct RGLWindowLink {
  SDL_Window* window = nullptr;
};

// Asks SDL for what the device needs of a window: set before a window that
// will hold the device is created.
void GL_SetWindowAttributes();

// The device, with a back buffer of w x h. Throws std::runtime_error
// "could not start OpenGL 3.3: <reason>" when no such context can be made.
std::unique_ptr<IGraphicsDevice> GL_OpenDevice(std::shared_ptr<RGLWindowLink> link, int32_t w, int32_t h);

}  // namespace tavrin
