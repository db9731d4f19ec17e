#include "graphics/Graphics_Data.h"

namespace tavrin {

void RGraphicsData::Clear() {
  for (int32_t i = 0; i < sprites.Count(); ++i)
    if (CSprite* s = sprites.Get(i)) s->FreeTexture();
  for (int32_t i = 0; i < backgrounds.Count(); ++i)
    if (CBackground* b = backgrounds.Get(i)) b->FreeTexture();
  *this = RGraphicsData();
}

}  // namespace tavrin
