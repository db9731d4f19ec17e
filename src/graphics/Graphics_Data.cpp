#include "graphics/Graphics_Data.h"

#include "graphics/Font_List.h"

namespace tavrin {

void RGraphicsData::Clear() {
  for (int32_t i = 0; i < sprites.Count(); ++i)
    if (CSprite* s = sprites.Get(i)) s->FreeTexture();
  for (int32_t i = 0; i < backgrounds.Count(); ++i)
    if (CBackground* b = backgrounds.Get(i)) b->FreeTexture();
  for (int32_t i = 0; i < fonts.Count(); ++i)
    if (CFont* f = fonts.Get(i)) f->FreeTexture();
  *this = RGraphicsData();
}

void RGraphicsData::ForgetTextures() {
  for (int32_t i = 0; i < sprites.Count(); ++i)
    if (CSprite* s = sprites.Get(i)) s->i_tex.assign(s->i_tex.size(), -1);
  for (int32_t i = 0; i < backgrounds.Count(); ++i)
    if (CBackground* b = backgrounds.Get(i)) b->i_tex = -1;
  for (int32_t i = 0; i < fonts.Count(); ++i)
    if (CFont* f = fonts.Get(i)) f->s_tex = -1;
  if (g_TextState.defaultFont) g_TextState.defaultFont->s_tex = -1;
}

}  // namespace tavrin
