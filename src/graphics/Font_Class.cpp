#include "graphics/Font_Class.h"

#include <algorithm>

#include "package/Package_Sections.h"
#include "graphics/Font_CodePage.h"
#include "graphics/Font_Raster.h"
#include "graphics/Font_Sheet.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_Texture.h"

namespace tavrin {


void CFont::Clear() {
  // The glyph tables and the sheet size are kept, as a font being replaced
  // keeps them until the new ones are made.
  FreeTexture();
  s_name.clear();
  s_size = 12;
  s_bold = s_italic = false;
  s_charset = 1;
  s_AntiAlias = 3;
  s_first = 32;
  s_last = 128;
  s_spr = -1;
  s_bytes.clear();
}

void CFont::CreateFont(const std::string& name, int32_t size, bool bold, bool italic, int32_t first, int32_t last) {
  Clear();
  s_name = name;
  s_size = size;
  s_bold = bold;
  s_italic = italic;
  // Both ends are table indices: held inside 0..255 on both sides.
  s_first = std::clamp(first, 0, 255);
  s_last = std::clamp(last, 0, 255);
  s_charset = 1;
  s_AntiAlias = 3;
  const auto source = FontRaster_Open(name, size, bold, italic, CodePage_OfCharset(s_charset));
  Sheet_Build(*this, *source);
  InitTexture();
}

void CFont::CreateFromSprite(int32_t ind, int32_t first, bool prop, int32_t sep) {
  Clear();
  const CSprite* spr = g_GraphicsData.sprites.Get(ind);
  if (!spr) return;
  s_spr = ind;
  s_first = std::clamp(first, 0, 255);
  s_last = std::min(s_first + spr->i_numb - 1, 255);
  const int32_t w = spr->GetWidth(), h = spr->GetHeight();
  for (int32_t c = s_first; c <= s_last; ++c) {
    const TRect box = prop ? spr->GetBoundingBoxImg(c - s_first) : TRect{0, 0, w, h};
    s_h[size_t(c)] = h;
    s_shift[size_t(c)] = box.Right - box.Left + sep;
    s_offset[size_t(c)] = -box.Left;
    s_FontHeight = h;
    s_charset = 1;
    s_AntiAlias = 0;
  }
}

void CFont::Assign(const CFont& font) {
  if (&font == this) return InitTexture();
  Clear();
  const int32_t tex = s_tex;
  *this = font;
  s_tex = tex;
  if (IsSpriteFont()) s_bytes.clear();
  InitTexture();
}

void CFont::InitTexture() {
  FreeTexture();
  if (!IsSpriteFont() && !s_name.empty() && s_bytes.size() >= size_t(s_bw) * size_t(s_bh))
    s_tex = Texture_CreateAlpha(s_bw, s_bh, s_bytes.data());
}

void CFont::FreeTexture() {
  if (s_tex >= 0) Texture_Free(s_tex);
  s_tex = -1;
}

void CFont::Encode(std::string_view text, std::string& out) const {
  CodePage_Encode(CodePage_OfCharset(s_charset), text, out);
}

int32_t CFont::GlyphAdvance(uint8_t c) const {
  if (s_first <= c && c <= s_last) return s_shift[c];
  // A reversed range holds no code at all, the space included.
  const bool spaceInside = s_first <= 32 && 32 <= s_last;
  return spaceInside ? s_shift[32] : s_shift[size_t(std::clamp(s_first, 0, 255))];
}

int32_t CFont::TextWidth(std::string_view codes) const {
  // Advances come from the package as they are: summed wide and held to
  // what a width can be, so no table makes the sum wrap.
  int64_t w = 0;
  for (char c : codes) w += GlyphAdvance(uint8_t(c));
  return int32_t(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX));
}

bool CFont::LoadFromStream(CStream& str) {
  Clear();
  if (str.ReadInteger() != kFontRecordVersion) return false;
  CFont f = *this;
  f.s_name = str.ReadString();
  f.s_size = str.ReadInteger();
  f.s_bold = str.ReadBoolean();
  f.s_italic = str.ReadBoolean();
  // Low 16 bits: the first code; then the character set (0 means the
  // default, 1); the top byte, when set, is the anti-aliasing level plus one.
  const uint32_t packed = uint32_t(str.ReadInteger());
  f.s_first = int32_t(packed & 0xFFFF);
  f.s_charset = (packed >> 16 & 0xFF) != 0 ? int32_t(packed >> 16 & 0xFF) : 1;
  f.s_AntiAlias = packed > 0xFFFFFF ? int32_t(packed >> 24) - 1 : 3;
  f.s_last = str.ReadInteger();
  // Every glyph lookup indexes the tables by these codes.
  if (f.s_first > 255 || f.s_last < 0 || f.s_last > 255) return false;
  for (int c = 0; c < 256; ++c) {
    f.s_x[c] = str.ReadInteger();
    f.s_y[c] = str.ReadInteger();
    f.s_w[c] = str.ReadInteger();
    f.s_h[c] = str.ReadInteger();
    f.s_shift[c] = str.ReadInteger();
    f.s_offset[c] = str.ReadInteger();
  }
  f.s_bw = str.ReadInteger();
  f.s_bh = str.ReadInteger();
  if (f.s_bw < 0 || f.s_bh < 0 || f.s_bw > kFontMaxSheetSide || f.s_bh > kFontMaxSheetSide) return false;
  const size_t sheet = size_t(f.s_bw) * size_t(f.s_bh);
  const size_t n = str.ReadLength();
  if (n < sheet) return false;
  f.s_bytes.assign(str.Data() + str.Position(), str.Data() + str.Position() + sheet);
  str.Seek(str.Position() + size_t(n));
  f.s_FontHeight = *std::max_element(f.s_h.begin(), f.s_h.end());
  *this = std::move(f);
  return true;
}

void CFont::SaveToStream(CStream& str) const {
  str.WriteInteger(kFontRecordVersion);
  str.WriteString(s_name);
  str.WriteInteger(s_size);
  str.WriteBoolean(s_bold);
  str.WriteBoolean(s_italic);
  uint32_t packed = uint32_t(s_first) & 0xFFFF;
  packed |= (uint32_t(s_charset) & 0xFF) << 16;
  if (s_AntiAlias >= 0 && s_AntiAlias < 255) packed |= uint32_t(s_AntiAlias + 1) << 24;
  str.WriteInteger(int32_t(packed));
  str.WriteInteger(s_last);
  for (int c = 0; c < 256; ++c)
    for (int32_t v : {s_x[c], s_y[c], s_w[c], s_h[c], s_shift[c], s_offset[c]}) str.WriteInteger(v);
  str.WriteInteger(s_bw);
  str.WriteInteger(s_bh);
  str.WriteInteger(int32_t(s_bytes.size()));
  str.Write(s_bytes.data(), s_bytes.size());
}

}  // namespace tavrin
