#include "functions/Function_Text.h"

#include <string>
#include <string_view>

#include "graphics/Font_List.h"
#include "graphics/Font_Text.h"
#include "graphics/Graphics_Data.h"
#include "script/Code_Builtins.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "world/World_Routine.h"

namespace tavrin {

namespace {

#define ROUTINE TAVRIN_ROUTINE

double R(const RValue& v) { return v.AsReal(); }

// What a drawing function draws: a string as it is, a real as its digits
// (two decimals unless whole). The text stays valid until the next call.
std::string_view Drawn(const RValue& v) {
  static std::string digits;
  if (v.kind == VALUE_STRING) return v.AsText();
  digits = Value_ToText(v);
  return digits;
}
// What a measuring function measures: a real is the empty string.
std::string_view Measured(const RValue& v) { return v.AsText(); }

// --- the text state and measuring

ROUTINE(F_DrawSetFont) { Font_Set(ArgInt(a[0])); }
ROUTINE(F_DrawSetHalign) {
  const int32_t h = ArgInt(a[0]);
  g_TextState.halign = h == 1 ? EHAlign::Center : h == 2 ? EHAlign::Right : EHAlign::Left;
}
ROUTINE(F_DrawSetValign) {
  const int32_t v = ArgInt(a[0]);
  g_TextState.valign = v == 1 ? EVAlign::Middle : v == 2 ? EVAlign::Bottom : EVAlign::Top;
}
ROUTINE(F_StringWidth) { result.SetReal(Text_Width(Measured(a[0]), -1)); }
ROUTINE(F_StringHeight) { result.SetReal(Text_Height(Measured(a[0]), -1, -1)); }
ROUTINE(F_StringWidthExt) { result.SetReal(Text_Width(Measured(a[0]), ArgInt(a[2]))); }
ROUTINE(F_StringHeightExt) { result.SetReal(Text_Height(Measured(a[0]), ArgInt(a[1]), ArgInt(a[2]))); }

// --- drawing

ROUTINE(F_DrawText) { Text_Draw(Drawn(a[2]), -1, -1, R(a[0]), R(a[1])); }
ROUTINE(F_DrawTextExt) { Text_Draw(Drawn(a[2]), ArgInt(a[3]), ArgInt(a[4]), R(a[0]), R(a[1])); }
ROUTINE(F_DrawTextTransformed) {
  Text_DrawTransformed(Drawn(a[2]), -1, -1, R(a[0]), R(a[1]), R(a[3]), R(a[4]), R(a[5]));
}
ROUTINE(F_DrawTextExtTransformed) {
  Text_DrawTransformed(Drawn(a[2]), ArgInt(a[3]), ArgInt(a[4]), R(a[0]), R(a[1]), R(a[5]), R(a[6]), R(a[7]));
}
ROUTINE(F_DrawTextColor) {
  Text_DrawColor(Drawn(a[2]), -1, -1, R(a[0]), R(a[1]), ArgColor(a[3]), ArgColor(a[4]), ArgColor(a[5]), ArgColor(a[6]),
                 R(a[7]));
}
ROUTINE(F_DrawTextExtColor) {
  Text_DrawColor(Drawn(a[2]), ArgInt(a[3]), ArgInt(a[4]), R(a[0]), R(a[1]), ArgColor(a[5]), ArgColor(a[6]),
                 ArgColor(a[7]), ArgColor(a[8]), R(a[9]));
}
ROUTINE(F_DrawTextTransformedColor) {
  Text_DrawTransformedColor(Drawn(a[2]), -1, -1, R(a[0]), R(a[1]), R(a[3]), R(a[4]), R(a[5]), ArgColor(a[6]),
                            ArgColor(a[7]), ArgColor(a[8]), ArgColor(a[9]), R(a[10]));
}
ROUTINE(F_DrawTextExtTransformedColor) {
  Text_DrawTransformedColor(Drawn(a[2]), ArgInt(a[3]), ArgInt(a[4]), R(a[0]), R(a[1]), R(a[5]), R(a[6]), R(a[7]),
                            ArgColor(a[8]), ArgColor(a[9]), ArgColor(a[10]), ArgColor(a[11]), R(a[12]));
}

// --- font resources

// A numeric query on a missing font is -1.
const CFont* Queried(const RValue& v, RValue& result) {
  const CFont* f = Font_Get(ArgInt(v));
  if (!f) result.SetReal(-1);
  return f;
}

ROUTINE(F_FontExists) { result.SetReal(Font_Exists(ArgInt(a[0])) ? 1 : 0); }
ROUTINE(F_FontGetName) { result.SetString(Font_GetName(ArgInt(a[0]))); }
ROUTINE(F_FontGetFontname) {
  if (const CFont* f = Font_Get(ArgInt(a[0])))
    result.SetString(f->s_name);
  else
    result.SetString(std::string());
}
ROUTINE(F_FontGetSize) {
  if (const CFont* f = Queried(a[0], result)) result.SetReal(f->s_size);
}
ROUTINE(F_FontGetBold) {
  if (const CFont* f = Queried(a[0], result)) result.SetReal(f->s_bold ? 1 : 0);
}
ROUTINE(F_FontGetItalic) {
  if (const CFont* f = Queried(a[0], result)) result.SetReal(f->s_italic ? 1 : 0);
}
ROUTINE(F_FontGetFirst) {
  if (const CFont* f = Queried(a[0], result)) result.SetReal(f->s_first);
}
ROUTINE(F_FontGetLast) {
  if (const CFont* f = Queried(a[0], result)) result.SetReal(f->s_last);
}
ROUTINE(F_FontAdd) {
  result.SetReal(
      Font_Add(std::string(a[0].AsText()), ArgInt(a[1]), ArgFlag(a[2]), ArgFlag(a[3]), ArgInt(a[4]), ArgInt(a[5])));
}
// A font that could not be made is -1, never the index of another font.
ROUTINE(F_FontAddSprite) {
  if (!g_GraphicsData.sprites.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to create font from non-existing sprite.", false);
    result.SetReal(-1);
    return;
  }
  result.SetReal(Font_AddSprite(ArgInt(a[0]), ArgInt(a[1]), ArgFlag(a[2]), ArgInt(a[3])));
}
ROUTINE(F_FontReplace) {
  if (!Font_Exists(ArgInt(a[0]))) return Error_ReportAction("Trying to replace non-existing font.", false);
  Font_Replace(ArgInt(a[0]), std::string(a[1].AsText()), ArgInt(a[2]), ArgFlag(a[3]), ArgFlag(a[4]), ArgInt(a[5]),
               ArgInt(a[6]));
}
ROUTINE(F_FontReplaceSprite) {
  if (!Font_Exists(ArgInt(a[0]))) return Error_ReportAction("Trying to replace non-existing font.", false);
  if (!g_GraphicsData.sprites.Exists(ArgInt(a[1])))
    return Error_ReportAction("Trying to replace font from non-existing sprite.", false);
  Font_ReplaceSprite(ArgInt(a[0]), ArgInt(a[1]), ArgInt(a[2]), ArgFlag(a[3]), ArgInt(a[4]));
}
ROUTINE(F_FontDelete) {
  if (!Font_Delete(ArgInt(a[0]))) Error_ReportAction("Trying to delete non-existing font.", false);
}

const RFunctionRoutine kTextFunctions[] = {
    {"draw_set_font", F_DrawSetFont},
    {"draw_set_halign", F_DrawSetHalign},
    {"draw_set_valign", F_DrawSetValign},
    {"string_width", F_StringWidth},
    {"string_height", F_StringHeight},
    {"string_width_ext", F_StringWidthExt},
    {"string_height_ext", F_StringHeightExt},
    {"draw_text", F_DrawText},
    {"draw_text_ext", F_DrawTextExt},
    {"draw_text_transformed", F_DrawTextTransformed},
    {"draw_text_ext_transformed", F_DrawTextExtTransformed},
    {"draw_text_color", F_DrawTextColor},
    {"draw_text_ext_color", F_DrawTextExtColor},
    {"draw_text_transformed_color", F_DrawTextTransformedColor},
    {"draw_text_ext_transformed_color", F_DrawTextExtTransformedColor},
    {"font_name", F_FontGetName},
    {"font_exists", F_FontExists},
    {"font_get_name", F_FontGetName},
    {"font_get_fontname", F_FontGetFontname},
    {"font_get_size", F_FontGetSize},
    {"font_get_bold", F_FontGetBold},
    {"font_get_italic", F_FontGetItalic},
    {"font_get_first", F_FontGetFirst},
    {"font_get_last", F_FontGetLast},
    {"font_add", F_FontAdd},
    {"font_replace", F_FontReplace},
    {"font_add_sprite", F_FontAddSprite},
    {"font_replace_sprite", F_FontReplaceSprite},
    {"font_delete", F_FontDelete},
};

}  // namespace

void Function_RegisterText() { Function_ImplementTable(kTextFunctions); }

}  // namespace tavrin
