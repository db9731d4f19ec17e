// The desktop's own number for an SDL window. Kept apart because the window
// system's headers define names (None, Window, Status...) that clash with
// the platform interface.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cstdint>

namespace tavrin {

uint32_t Platform_SDLNativeHandle(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
#if defined(SDL_VIDEO_DRIVER_X11)
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
    return static_cast<uint32_t>(info.info.x11.window);
#endif
  return SDL_GetWindowID(window);
}

}  // namespace tavrin
