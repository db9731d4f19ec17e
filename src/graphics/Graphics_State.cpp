#include "graphics/Graphics_State.h"

namespace tavrin {

namespace {
std::unique_ptr<IGraphicsDevice> g_device;
}  // namespace

IGraphicsDevice* Graphics_Device() { return g_device.get(); }
void Graphics_SetDevice(std::unique_ptr<IGraphicsDevice> device) { g_device = std::move(device); }

}  // namespace tavrin
