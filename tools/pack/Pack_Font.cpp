// fonts/<name>.json with the face, style, code range and glyph table, and the
// finished glyph sheet as fonts/<name>.png (grey: the coverage of each pixel).
#include "Pack_Media.h"
#include "graphics/Font_Class.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {

namespace {

using json = nlohmann::json;

constexpr const char* kGlyphFields[] = {"x", "y", "w", "h", "shift", "offset"};

std::array<CFont::TTable*, 6> Tables(CFont& f) { return {&f.s_x, &f.s_y, &f.s_w, &f.s_h, &f.s_shift, &f.s_offset}; }
std::array<const CFont::TTable*, 6> Tables(const CFont& f) {
  return {&f.s_x, &f.s_y, &f.s_w, &f.s_h, &f.s_shift, &f.s_offset};
}

// The sheet's coverage: the alpha of a picture with transparency, else its brightness.
std::vector<uint8_t> SheetFromPicture(const TBitmap32& bm) {
  bool translucent = false;
  for (TColor32 c : bm.s_data) translucent |= (c >> 24) != 0xFF;
  std::vector<uint8_t> sheet(bm.s_data.size());
  for (size_t i = 0; i < sheet.size(); ++i) {
    const TColor32 c = bm.s_data[i];
    sheet[i] = translucent ? uint8_t(c >> 24) : uint8_t((int(c >> 16 & 0xFF) + int(c >> 8 & 0xFF) + int(c & 0xFF)) / 3);
  }
  return sheet;
}

void ReadFont(const RProject& project, CFont& f, const json& j, const std::string& name, const std::string& where) {
  f.s_name = Project_Get<std::string>(j, "face", "", where);
  f.s_size = Project_Get<int32_t>(j, "size", 12, where);
  f.s_bold = Project_Get<bool>(j, "bold", false, where);
  f.s_italic = Project_Get<bool>(j, "italic", false, where);
  f.s_charset = Project_Get<int32_t>(j, "charset", 1, where);
  f.s_AntiAlias = Project_Get<int32_t>(j, "antialias", 3, where);
  f.s_first = Project_Get<int32_t>(j, "first", 32, where);
  f.s_last = Project_Get<int32_t>(j, "last", 128, where);
  // The package keeps the character set in one byte where 0 stands for 1,
  // and the anti-aliasing level plus one in another.
  if (f.s_charset < 1 || f.s_charset > 255) throw CProjectError(where + ": field \"charset\" must be 1 to 255");
  if (f.s_AntiAlias < 0 || f.s_AntiAlias > 254) throw CProjectError(where + ": field \"antialias\" must be 0 to 254");
  if (f.s_first < 0 || f.s_first > 255) throw CProjectError(where + ": field \"first\" must be 0 to 255");
  if (f.s_last < 0 || f.s_last > 255) throw CProjectError(where + ": field \"last\" must be 0 to 255");

  const json glyphs = j.value("glyphs", json::object());
  if (!glyphs.is_object()) throw CProjectError(where + ": field \"glyphs\" must map character codes to glyphs");
  const auto tables = Tables(f);
  for (const auto& [key, g] : glyphs.items()) {
    size_t used = 0;
    int code = -1;
    try {
      code = std::stoi(key, &used);
    } catch (const std::exception&) {
    }
    if (used != key.size() || code < 0 || code > 255)
      throw CProjectError(where + ": field \"glyphs\": \"" + key + "\" is not a character code 0 to 255");
    const std::string inner = where + ": glyph " + key;
    for (size_t t = 0; t < 6; ++t) (*tables[t])[size_t(code)] = Project_Get<int32_t>(g, kGlyphFields[t], 0, inner);
  }
  f.s_FontHeight = *std::max_element(f.s_h.begin(), f.s_h.end());

  if (j.contains("sheet_width") || j.contains("sheet_height")) {  // a sheet without pixels
    f.s_bw = Project_Get<int32_t>(j, "sheet_width", 0, where);
    f.s_bh = Project_Get<int32_t>(j, "sheet_height", 0, where);
    if (f.s_bw < 0 || f.s_bh < 0 || (f.s_bw > 0 && f.s_bh > 0))
      throw CProjectError(where + ": \"sheet_width\" and \"sheet_height\" are only for a font without a sheet");
    return;
  }
  const std::string sheet = Project_Get<std::string>(j, "sheet", name + ".png", where);
  const TBitmap32 bm = Media_LoadPicture(Media_DataPath(project, "fonts", sheet, where, "sheet"), where);
  f.s_bw = bm.s_w;
  f.s_bh = bm.s_h;
  f.s_bytes = SheetFromPicture(bm);
}

void WriteFont(const RProject& project, const CFont& f, json& j, const std::string& name) {
  j["face"] = f.s_name;
  j["size"] = f.s_size;
  j["bold"] = f.s_bold;
  j["italic"] = f.s_italic;
  j["charset"] = f.s_charset;
  j["antialias"] = f.s_AntiAlias;
  j["first"] = f.s_first;
  j["last"] = f.s_last;
  if (f.s_bw > 0 && f.s_bh > 0) {
    const std::vector<uint8_t> png = Picture_EncodePNGGrey(f.s_bw, f.s_bh, f.s_bytes);
    if (png.empty()) throw CProjectError("fonts/" + name + ": cannot encode the sheet");
    Media_SaveNewFile(project.dir / "fonts" / (name + ".png"), png.data(), png.size());
    j["sheet"] = name + ".png";
  } else {
    j["sheet_width"] = f.s_bw;
    j["sheet_height"] = f.s_bh;
  }
  // Only glyphs with something in them; the rest are zero.
  json glyphs = json::object();
  const auto tables = Tables(f);
  for (size_t c = 0; c < 256; ++c) {
    json g = json::object();
    for (size_t t = 0; t < 6; ++t)
      if ((*tables[t])[c] != 0) g[kGlyphFields[t]] = (*tables[t])[c];
    if (!g.empty()) glyphs[std::to_string(c)] = g;
  }
  j["glyphs"] = glyphs;
}

void ReadFonts(RProject& project) {
  Project_ReadList<CFont>(project, "fonts", project.data.graphics.fonts,
                        [&](CFont& f, const json& j, const std::string& name, const std::string& where) {
                          ReadFont(project, f, j, name, where);
                        });
}

void WriteFonts(RProject& project) {
  Project_WriteList<CFont>(project, "fonts", project.data.graphics.fonts,
                         [&](const CFont& f, json& j, const std::string& name) { WriteFont(project, f, j, name); });
}

}  // namespace

const RProjectKind kProjectFonts = {"fonts", ReadFonts, WriteFonts};

}  // namespace tavrin
