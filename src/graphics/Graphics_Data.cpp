#include "graphics/Graphics_Data.h"

namespace tavrin {

void RGraphicsData::Clear() {
  for (int32_t i = 0; i < sprites.Count(); ++i)
    if (CSprite* s = sprites.Get(i)) s->FreeTexture();
  for (int32_t i = 0; i < backgrounds.Count(); ++i)
    if (CBackground* b = backgrounds.Get(i)) b->FreeTexture();
  *this = RGraphicsData();
}

void RGraphicsData::ForgetTextures() {
  for (int32_t i = 0; i < sprites.Count(); ++i)
    if (CSprite* s = sprites.Get(i)) s->i_tex.assign(s->i_tex.size(), -1);
  for (int32_t i = 0; i < backgrounds.Count(); ++i)
    if (CBackground* b = backgrounds.Get(i)) b->i_tex = -1;
}

}  // namespace tavrin
