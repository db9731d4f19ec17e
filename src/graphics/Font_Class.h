// CFont: a bitmap font, either a sheet of glyph images (one alpha byte per
// pixel) or a sprite whose frames are the glyphs, with six 256-entry glyph
// tables indexed by the byte of a character in the font's code page; the
// font list of the game and its package section. Package fonts carry their
// finished sheets, so loading never rasterizes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
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
  // Back to a font without a face, a sprite or a sheet (its texture freed);
  // the glyph tables stay until new ones are made.
  void Clear();

  // A sheet font rasterized from the system face `name` (Font_Raster.h) for
  // the codes first .. last, each clamped to 0..255 (an empty or reversed
  // range gives a font without glyphs), with its texture. A face that
  // cannot be found or measured gives a font without glyphs too.
  void CreateFont(const std::string& name, int32_t size, bool bold, bool italic, int32_t first, int32_t last);
  // A font whose glyphs are the frames of sprite `ind` from code `first`
  // on (clamped to 0..255), one code per frame. Proportional: each glyph
  // advances by its frame's box (right column minus left column) plus sep
  // and is drawn with its box's left column on the pen; otherwise by the
  // sprite's width plus sep. A sprite that does not exist leaves the font
  // cleared.
  void CreateFromSprite(int32_t ind, int32_t first, bool prop, int32_t sep);
  // Becomes a copy of `font` with a texture of its own.
  void Assign(const CFont& font);
  // The sheet's texture (a named sheet font only), the old one freed first.
  void InitTexture();
  void FreeTexture();

  // UTF-8 text as the glyph codes of this font's code page, appended to out.
  void Encode(std::string_view text, std::string& out) const;
  // How far the pen moves after code c: its own advance inside the range;
  // outside, the space's when the space is in the range, else the first
  // code's. Characters outside the range are not drawn but take room.
  int32_t GlyphAdvance(uint8_t c) const;
  // One line of glyph codes: the sum of the advances; and the line height.
  int32_t TextWidth(std::string_view codes) const;
  int32_t TextHeight() const { return s_FontHeight; }

  // Drawing a line of glyph codes (Font_Draw.cpp) with its top-left at
  // (x, y): each glyph one quad of the sheet's texture, or a sprite frame.
  // Colours are game colours; c1..c4 colour the line's corners top-left,
  // top-right, bottom-right, bottom-left, spread over the whole line.
  // Angles are degrees; a turned line's pen runs along its turned baseline.
  void Draw_String(double x, double y, std::string_view codes, uint32_t col, double alpha) const;
  void Draw_String_Transformed(double x, double y, std::string_view codes, double xsc, double ysc, double angle,
                               uint32_t col, double alpha) const;
  void Draw_String_Color(double x, double y, std::string_view codes, uint32_t c1, uint32_t c2, uint32_t c3,
                         uint32_t c4, double alpha) const;
  void Draw_String_Transformed_Color(double x, double y, std::string_view codes, double xsc, double ysc,
                                     double angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                                     double alpha) const;

  // Record: version 800, name, size, bold, italic, the first code with the
  // character set and anti-aliasing packed above it, the last code, 256
  // entries of x, y, w, h, shift, offset, sheet width and height, and the
  // sheet as a raw sub-stream. Codes outside 0..255, a negative or oversized
  // sheet, or a sheet larger than its bytes fail; the font is then cleared.
  bool LoadFromStream(CStream& stream);
  void SaveToStream(CStream& stream) const;
};


}  // namespace tavrin
