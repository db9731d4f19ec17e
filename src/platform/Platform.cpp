#include "platform/Platform.h"

#include "graphics/Graphics_Device.h"
#include "platform/Platform_Quit.h"

#include <unistd.h>

#include <stdexcept>

namespace tavrin {

namespace {
std::unique_ptr<IPlatform> g_platform;
}

IPlatform& Platform() {
  if (!g_platform) throw std::logic_error("no platform installed");
  return *g_platform;
}

void Platform_Install(std::unique_ptr<IPlatform> platform) { g_platform = std::move(platform); }
bool Platform_Installed() { return g_platform != nullptr; }

std::unique_ptr<IGraphicsDevice> IPlatform::Window_OpenDevice(WindowId, int, int) {
  throw std::runtime_error("could not start OpenGL 3.3: this platform has no graphics device");
}

// Defaults for platforms without a shaped game window: the mouse stays where
// it was last put, and the window keeps what was asked of it.
void IPlatform::Window_SetStyle(WindowId, uint32_t) {}
void IPlatform::Window_SetFullscreen(WindowId, bool) {}
bool IPlatform::Window_GetBounds(WindowId, int&, int&, int&, int&) { return false; }
void IPlatform::Window_SetMinimumSize(WindowId, int, int) {}
uint32_t IPlatform::Window_NativeHandle(WindowId) { return 0; }
void IPlatform::RunModal(WindowId window, const std::function<void(const RPlatformEvent&)>&,
                         const std::function<bool()>& done, const std::function<void(WindowId)>&) {
  Window_Show(window, true);
  while (!done() && !Quit_Requested()) {
    PumpMessages();
    Sleep_Microseconds(10000);
  }
  Window_Show(window, false);
}
void IPlatform::Cursor_Show(bool) {}
WindowId IPlatform::Mouse_LastPosition(int& x, int& y) {
  x = m_defaultMouse[1];
  y = m_defaultMouse[2];
  return m_defaultMouse[0];
}
void IPlatform::Mouse_Warp(WindowId window, int x, int y) { m_defaultMouse = {window, x, y}; }
bool IPlatform::Display_TestMode(const RDisplayMode& mode) {
  const RDisplayMode desktop = Display_GetMode();
  return (mode.width <= 0 || mode.width == desktop.width) && (mode.height <= 0 || mode.height == desktop.height) &&
         (mode.bitsPerPixel <= 0 || mode.bitsPerPixel == desktop.bitsPerPixel) &&
         (mode.refresh <= 0 || mode.refresh == desktop.refresh);
}
void IPlatform::Display_RestoreMode() {}
bool IPlatform::Joystick_State(int, RJoystickState&) { return false; }
bool IPlatform::Joystick_Caps(int, RJoystickCaps&) { return false; }
bool IPlatform::Joystick_SetVirtual(int, const RJoystickState&, bool) { return false; }
bool IPlatform::Key_NumLock() { return false; }
void IPlatform::Key_SetNumLock(bool) {}

std::string Platform_ExecutablePath() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

}  // namespace tavrin
