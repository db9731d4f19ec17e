#include "graphics/Graphics_State.h"

#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_Texture.h"

namespace tavrin {

namespace {
std::unique_ptr<IGraphicsDevice> g_device;
}  // namespace

IGraphicsDevice* Graphics_Device() { return g_device.get(); }

void Graphics_SetDevice(std::unique_ptr<IGraphicsDevice> device) {
  // The old device's textures go with it: the table and the ids the
  // pictures hold are forgotten, never freed on the new device (whose ids
  // may by then belong to something else).
  Texture_ResetTable();
  g_GraphicsData.ForgetTextures();
  g_device = std::move(device);
}

}  // namespace tavrin
