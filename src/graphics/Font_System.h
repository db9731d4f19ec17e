// Text in the system's fonts: finds a face by family name (a missing family
// falls back to the closest installed one) and draws a line of text into a
// 32-bit picture. The runner's own windows label themselves with it.
#pragma once

#include <string>

#include "package/BM32_Bitmap.h"

namespace tavrin {

struct RTextBox {
  int x = 0, y = 0, w = 0, h = 0;
};

// Draws `text` (UTF-8) in `family` at `pixelHeight`, left-aligned in `box`
// and centred vertically, clipped to it, blending `color` (0xRRGGBB) over the
// picture. False when no font could be loaded (nothing is drawn).
bool Font_DrawSystemText(TBitmap32& target, const RTextBox& box, const std::string& text, const std::string& family,
                         int pixelHeight, uint32_t color);
// The width in pixels `text` takes when drawn so (0 when no font could be
// loaded), and the height of a line of the font.
int Font_SystemTextWidth(const std::string& text, const std::string& family, int pixelHeight);
int Font_SystemLineHeight(const std::string& family, int pixelHeight);

}  // namespace tavrin
