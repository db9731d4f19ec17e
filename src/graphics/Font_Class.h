// CFont: a bitmap font, either a sheet of glyph images (one alpha byte per
// pixel) or a sprite whose frames are the glyphs, with six 256-entry glyph
// tables indexed by the byte of a character in the font's code page; the
// font list of the game and its package section. Package fonts carry their
// finished sheets, so loading never rasterizes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "package/Resource_List.h"
#include "package/Support_Stream.h"

namespace tavrin {

inline constexpr int32_t kFontRecordVersion = 800;
// Largest sheet side accepted from a package; sheets are packed into at most
// 2048 x 2048, so anything far beyond is damage.
inline constexpr int32_t kFontMaxSheetSide = 16384;

class CFont {
 public:
  using TTable = std::array<int32_t, 256>;

  std::string s_name;  // face name; empty for a sprite font
  int32_t s_size = 12;
  bool s_bold = false;
  bool s_italic = false;
  int32_t s_charset = 1;    // Windows character set; 1 is the system's code page
  int32_t s_AntiAlias = 3;  // stored with the font, not used for drawing
  int32_t s_first = 32, s_last = 128;
  int32_t s_spr = -1;       // sprite of a sprite font, -1 for a sheet font
  TTable s_x{}, s_y{}, s_w{}, s_h{}, s_shift{}, s_offset{};
  int32_t s_bw = 0, s_bh = 0;
  std::vector<uint8_t> s_bytes;  // s_bw x s_bh alpha bytes, top row first
  int32_t s_tex = -1;
  int32_t s_FontHeight = 0;      // line height: the largest s_h

  bool IsSpriteFont() const { return s_spr >= 0; }
  void Clear();

  // Record: version 800, name, size, bold, italic, the first code with the
  // character set and anti-aliasing packed above it, the last code, 256
  // entries of x, y, w, h, shift, offset, sheet width and height, and the
  // sheet as a raw sub-stream. Codes outside 0..255, a negative or oversized
  // sheet, or a sheet larger than its bytes fail; the font is then cleared.
  bool LoadFromStream(CStream& stream);
  void SaveToStream(CStream& stream) const;
};


}  // namespace tavrin
