#include "platform/Platform.h"

#include "graphics/Graphics_Device.h"

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

std::string Platform_ExecutablePath() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

}  // namespace tavrin
