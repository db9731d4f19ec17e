// The game's font list (g_GraphicsData.fonts) as scripts and actions change
// it, and the text state every text function reads: the current font, the
// alignments and the default font. Fonts added while the game runs are
// rasterized at once and named "__newfont" followed by their index; deleted
// slots stay empty and indices never move.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/Font_Class.h"

namespace tavrin {

enum class EHAlign : int32_t { Left = 0, Center = 1, Right = 2 };
enum class EVAlign : int32_t { Top = 0, Middle = 1, Bottom = 2 };

// Process-wide, kept across rooms: the current font (-1: the default), the
// alignments, and the default font, made on first need.
struct RTextState {
  int32_t font = -1;
  EHAlign halign = EHAlign::Left;
  EVAlign valign = EVAlign::Top;
  std::unique_ptr<CFont> defaultFont;

  void Reset() {
    if (defaultFont) defaultFont->FreeTexture();
    *this = RTextState();
  }
};

inline RTextState g_TextState;

// The face, size and style of the default font.
inline constexpr const char* kDefaultFontFace = "Arial";
inline constexpr int32_t kDefaultFontSize = 12;

bool Font_Exists(int32_t ind);
CFont* Font_Get(int32_t ind);
// "<undefined>" for a missing font.
std::string Font_GetName(int32_t ind);
// The first existing font of that exact name, or -1.
int32_t Font_Find(const std::string& name);
// New fonts at the end of the list; their index.
int32_t Font_Add(const std::string& name, int32_t size, bool bold, bool italic, int32_t first, int32_t last);
int32_t Font_AddSprite(int32_t spr, int32_t first, bool prop, int32_t sep);
// A new font in slot `ind` (inside the list; an empty slot is filled), the
// old one freed, the name kept. False for an index outside the list.
bool Font_Replace(int32_t ind, const std::string& name, int32_t size, bool bold, bool italic, int32_t first,
                  int32_t last);
bool Font_ReplaceSprite(int32_t ind, int32_t spr, int32_t first, bool prop, int32_t sep);
// Frees an existing font and empties its slot; whether there was one.
bool Font_Delete(int32_t ind);
// Textures of every sheet font of the list (once the device exists).
void Font_InitTextures();

// The font text is drawn in: the current one while it exists, otherwise
// the default font (with its texture once there is a device).
const CFont& Font_Current();
// The current font: the index when that font exists, else -1.
void Font_Set(int32_t ind);

}  // namespace tavrin
