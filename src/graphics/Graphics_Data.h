// The pictures a game brings: its sprites, backgrounds and fonts. Loading a
// package fills one of these; the runner then installs it as g_GraphicsData,
// which the running game reads and changes.
#pragma once

#include "graphics/Background_Class.h"
#include "graphics/Font_Class.h"
#include "graphics/Sprite_Class.h"

namespace tavrin {

struct RGraphicsData {
  CResourceList<CSprite> sprites;
  CResourceList<CBackground> backgrounds;
  CResourceList<CFont> fonts;

  // Frees the textures of every sprite, background and font, then empties
  // the lists.
  void Clear();
  // Sets every texture id of the sprites, backgrounds and fonts (the
  // default font's too) to -1 without freeing anything (their device is
  // gone); Sprite_InitTextures, Background_InitTextures and
  // Font_InitTextures make them again on a new one.
  void ForgetTextures();
};

inline RGraphicsData g_GraphicsData;

}  // namespace tavrin
