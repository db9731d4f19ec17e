// The painter of the runner's own windows: rectangles, frames, text in the
// system's fonts, pictures (stretched, or keyed by a mask colour) into a
// 32-bit bitmap. Everything clips to the bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/BM32_Bitmap.h"
#include "windows/Dialog_Field.h"

namespace tavrin {

struct RPaintRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// A font of the runner's windows: a family, a size in pixels, bold.
struct RPaintFont {
  std::string family = "Arial";
  int pixels = 11;
  uint32_t color = 0xFFFFFF;  // 0xRRGGBB
};

void Paint_Fill(TBitmap32& bm, const RPaintRect& r, TColor32 color);
// A one-pixel frame: `light` on the top and left edges, `dark` on the others.
void Paint_Frame(TBitmap32& bm, const RPaintRect& r, TColor32 light, TColor32 dark);
// `picture` stretched over `r`; with `masked`, pixels of the picture's
// bottom-left colour are not drawn.
void Paint_Picture(TBitmap32& bm, const RPaintRect& r, const TBitmap32& picture, bool masked);

int Paint_TextWidth(std::string_view text, const RPaintFont& font);
int Paint_LineHeight(const RPaintFont& font);
// One line of text at (x, y), the top of its line.
void Paint_Text(TBitmap32& bm, int x, int y, int clipRight, std::string_view text, const RPaintFont& font);
// Text broken at CR and LF, and wrapped at blanks to `width`: a word wider
// than the width stands alone.
std::vector<std::string> Paint_WrapText(std::string_view text, int width, const RPaintFont& font);

// A button label: "&" shows the next character underlined ("&&" is a plain
// "&"); the label is centred in `r`.
void Paint_Label(TBitmap32& bm, const RPaintRect& r, std::string_view text, const RPaintFont& font);

// A push button of the runner's windows: raised, sunk while pressed with
// the mouse over it, lit while the mouse is over it; the default button is
// outlined and the one that has the keyboard has a dotted-looking frame.
struct RButtonLook {
  bool hover = false, pressed = false, isDefault = false, focused = false;
};
void Paint_Button(TBitmap32& bm, const RPaintRect& r, std::string_view label, const RButtonLook& look);

// The hint of a control the mouse is over: a small pale box just above
// `control` (below it when there is no room above), kept inside the picture.
void Paint_Hint(TBitmap32& bm, const RPaintRect& control, std::string_view hint);

// A one-line text field: its background, a sunk frame, the text, and its
// selection and caret while it has the keyboard.
void Paint_Field(TBitmap32& bm, const RPaintRect& r, const CTextField& field, const RPaintFont& font,
                 TColor32 background, bool focused);

}  // namespace tavrin
