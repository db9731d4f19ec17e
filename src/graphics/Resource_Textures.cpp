#include "graphics/Resource_Textures.h"

namespace tavrin {

namespace {
RTextureMaker g_maker;
}

void Texture_SetMaker(const RTextureMaker& maker) { g_maker = maker; }

int32_t Texture_Make(const TBitmap32& bitmap) {
  if (!g_maker.create || bitmap.s_w <= 0 || bitmap.s_h <= 0) return -1;
  return g_maker.create(bitmap);
}

void Texture_Release(int32_t id) {
  if (id >= 0 && g_maker.release) g_maker.release(id);
}

}  // namespace tavrin
