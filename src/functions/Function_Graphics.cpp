#include "functions/Function_Graphics.h"

#include <cmath>
#include <string>

#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Primitive.h"
#include "graphics/Graphics_Texture.h"
#include "graphics/Sprite_List.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "world/Room_Main.h"
#include "world/World_Routine.h"

namespace tavrin {

namespace {

#define ROUTINE(name)                                                                             \
  void name([[maybe_unused]] CInstanceBase* self, CInstanceBase*, [[maybe_unused]] int32_t argc, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] RValue* a)

double R(const RValue& v) { return v.AsReal(); }
// A game colour argument: the rounded value, its low 24 bits.
uint32_t Col(const RValue& v) { return uint32_t(uint64_t(Color_Arg(v.AsReal()))) & 0xFFFFFFu; }
std::string Text(const RValue& v) { return std::string(v.AsText()); }

// The frame a drawing function means: a negative image index stands for
// the calling instance's current frame.
int64_t Frame(CInstanceBase* self, const RValue& v) {
  const int64_t ind = Real_ToInt64(v.AsReal());
  if (ind >= 0) return ind;
  return self ? Real_ToInt64(std::floor(AsInstance(self)->i_imageindex)) : 0;
}

// The room's size, which the plain tiled functions cover.
double RoomWidth() { return g_World.room ? g_World.room->r_width : 0; }
double RoomHeight() { return g_World.room ? g_World.room->r_height : 0; }

const CSprite* DrawnSprite(const RValue& v) {
  const CSprite* s = g_GraphicsData.sprites.Get(ArgInt(v));
  if (!s) Error_ReportAction("Trying to draw non-existing sprite.", false);
  return s;
}
const CBackground* DrawnBackground(const RValue& v) {
  const CBackground* b = g_GraphicsData.backgrounds.Get(ArgInt(v));
  if (!b) Error_ReportAction("Trying to draw non-existing background.", false);
  return b;
}

// --- colours and the drawing state

ROUTINE(F_DrawSetColor) { DrawState_SetColor(Col(a[0])); }
ROUTINE(F_DrawSetAlpha) { DrawState_SetAlpha(R(a[0])); }
ROUTINE(F_DrawGetColor) { result.SetReal(DrawState_GetColor()); }
ROUTINE(F_DrawGetAlpha) { result.SetReal(g_DrawState.alpha); }
ROUTINE(F_MakeColor) { result.SetReal(double(Color_Make(R(a[0]), R(a[1]), R(a[2])))); }
ROUTINE(F_MakeColorHsv) { result.SetReal(Color_FromHSV(R(a[0]), R(a[1]), R(a[2]))); }
ROUTINE(F_ColorGetRed) { result.SetReal(double(Color_Channel(R(a[0]), 0))); }
ROUTINE(F_ColorGetGreen) { result.SetReal(double(Color_Channel(R(a[0]), 1))); }
ROUTINE(F_ColorGetBlue) { result.SetReal(double(Color_Channel(R(a[0]), 2))); }
ROUTINE(F_ColorGetHue) { result.SetReal(Color_ToHSV(Col(a[0])).h); }
ROUTINE(F_ColorGetSaturation) { result.SetReal(Color_ToHSV(Col(a[0])).s); }
ROUTINE(F_ColorGetValue) { result.SetReal(Color_ToHSV(Col(a[0])).v); }
ROUTINE(F_MergeColor) { result.SetReal(Color_Merge(Col(a[0]), Col(a[1]), R(a[2]))); }
ROUTINE(F_DrawSetBlendMode) { DrawState_SetBlendMode(ArgInt(a[0])); }
ROUTINE(F_DrawSetBlendModeExt) { DrawState_SetBlendModeExt(ArgInt(a[0]), ArgInt(a[1])); }

// --- primitives

ROUTINE(F_PrimitiveBegin) { Primitive_Begin(ArgInt(a[0]), kNoTexture); }
ROUTINE(F_PrimitiveBeginTexture) { Primitive_Begin(ArgInt(a[0]), ArgInt(a[1])); }
ROUTINE(F_PrimitiveEnd) { Primitive_End(); }
ROUTINE(F_Vertex) { Primitive_Vertex(R(a[0]), R(a[1]), 0, 0, g_DrawState.color); }
ROUTINE(F_VertexColor) { Primitive_Vertex(R(a[0]), R(a[1]), 0, 0, Color_ToARGB(Col(a[2]), R(a[3]))); }
ROUTINE(F_VertexTexture) { Primitive_Vertex(R(a[0]), R(a[1]), R(a[2]), R(a[3]), g_DrawState.color); }
ROUTINE(F_VertexTextureColor) {
  Primitive_Vertex(R(a[0]), R(a[1]), R(a[2]), R(a[3]), Color_ToARGB(Col(a[4]), R(a[5])));
}

// --- textures

// A missing resource gets no texture: -1, never an id that may belong to
// another picture.
ROUTINE(F_SpriteGetTexture) {
  const CSprite* s = g_GraphicsData.sprites.Get(ArgInt(a[0]));
  if (!s) {
    Error_ReportAction("Trying to get texture from non-existing sprite.", false);
    result.SetReal(-1);
    return;
  }
  result.SetReal(s->GetTexture(Frame(self, a[1])));
}
ROUTINE(F_BackgroundGetTexture) {
  const CBackground* b = g_GraphicsData.backgrounds.Get(ArgInt(a[0]));
  if (!b) {
    Error_ReportAction("Trying to get texture from non-existing background.", false);
    result.SetReal(-1);
    return;
  }
  result.SetReal(b->i_tex);
}
ROUTINE(F_TextureExists) { result.SetReal(Texture_Exists(ArgInt(a[0])) ? 1 : 0); }
ROUTINE(F_TextureSetInterpolation) { g_DrawState.interpolation = ArgFlag(a[0]); }
ROUTINE(F_TextureSetBlending) { g_DrawState.textureBlend = ArgFlag(a[0]); }
ROUTINE(F_TextureSetRepeat) { g_DrawState.textureRepeat = ArgFlag(a[0]); }
ROUTINE(F_TextureGetWidth) { result.SetReal(Texture_WidthFraction(ArgInt(a[0]))); }
ROUTINE(F_TextureGetHeight) { result.SetReal(Texture_HeightFraction(ArgInt(a[0]))); }
ROUTINE(F_TexturePreload) { Texture_Preload(ArgInt(a[0])); }
ROUTINE(F_TextureSetPriority) { Texture_SetPriority(ArgInt(a[0]), ArgInt(a[1])); }

// --- sprite drawing

ROUTINE(F_DrawSprite) {
  if (const CSprite* s = DrawnSprite(a[0])) s->DrawSimple(Frame(self, a[1]), R(a[2]), R(a[3]));
}
ROUTINE(F_DrawSpritePos) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawPos(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), R(a[7]), R(a[8]), R(a[9]), R(a[10]));
}
ROUTINE(F_DrawSpriteExt) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->Draw(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), Col(a[7]), R(a[8]));
}
// The calling instance as the room would draw it: its sprite and frame, its
// scale, angle, blend and alpha.
ROUTINE(F_DrawSelf) {
  if (!self) return;
  const CInstance* i = AsInstance(self);
  const CSprite* s = g_GraphicsData.sprites.Get(i->i_spriteindex);
  if (!s) return Error_ReportAction("Trying to draw non-existing sprite.", false);
  s->Draw(Real_ToInt64(std::floor(i->i_imageindex)), i->i_x, i->i_y, i->i_imagescalex, i->i_imagescaley,
          i->i_imageangle, i->i_imageblend, i->i_imagealpha);
}
ROUTINE(F_DrawSpriteStretched) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawStretched(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), 0xFFFFFF, 1);
}
ROUTINE(F_DrawSpriteStretchedExt) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawStretched(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), Col(a[6]), R(a[7]));
}
ROUTINE(F_DrawSpritePart) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawPart(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), R(a[7]), 1, 1, 0xFFFFFF, 1);
}
ROUTINE(F_DrawSpritePartExt) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawPart(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), R(a[7]), R(a[8]), R(a[9]),
                Col(a[10]), R(a[11]));
}
ROUTINE(F_DrawSpriteGeneral) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawGeneral(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), R(a[7]), R(a[8]), R(a[9]),
                   R(a[10]), Col(a[11]), Col(a[12]), Col(a[13]), Col(a[14]), R(a[15]));
}
ROUTINE(F_DrawSpriteTiled) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawTiled(Frame(self, a[1]), R(a[2]), R(a[3]), 1, 1, true, true, 0, 0, RoomWidth(), RoomHeight(), 0xFFFFFF,
                 1);
}
ROUTINE(F_DrawSpriteTiledExt) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawTiled(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), true, true, 0, 0, RoomWidth(),
                 RoomHeight(), Col(a[6]), R(a[7]));
}

// --- background drawing

ROUTINE(F_DrawBackground) {
  if (const CBackground* b = DrawnBackground(a[0])) b->DrawSimple(R(a[1]), R(a[2]));
}
ROUTINE(F_DrawBackgroundExt) {
  if (const CBackground* b = DrawnBackground(a[0]))
    b->Draw(R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), Col(a[6]), R(a[7]));
}
ROUTINE(F_DrawBackgroundStretched) {
  if (const CBackground* b = DrawnBackground(a[0])) b->DrawStretched(R(a[1]), R(a[2]), R(a[3]), R(a[4]), 0xFFFFFF, 1);
}
ROUTINE(F_DrawBackgroundStretchedExt) {
  if (const CBackground* b = DrawnBackground(a[0]))
    b->DrawStretched(R(a[1]), R(a[2]), R(a[3]), R(a[4]), Col(a[5]), R(a[6]));
}
ROUTINE(F_DrawBackgroundPart) {
  if (const CBackground* b = DrawnBackground(a[0]))
    b->DrawPart(R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), 1, 1, 0xFFFFFF, 1);
}
ROUTINE(F_DrawBackgroundPartExt) {
  if (const CBackground* b = DrawnBackground(a[0]))
    b->DrawPart(R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), R(a[7]), R(a[8]), Col(a[9]), R(a[10]));
}
ROUTINE(F_DrawBackgroundGeneral) {
  if (const CBackground* b = DrawnBackground(a[0]))
    b->DrawGeneral(R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), R(a[7]), R(a[8]), R(a[9]), Col(a[10]),
                   Col(a[11]), Col(a[12]), Col(a[13]), R(a[14]));
}
ROUTINE(F_DrawBackgroundTiled) {
  if (const CBackground* b = DrawnBackground(a[0]))
    b->DrawTiled(R(a[1]), R(a[2]), 1, 1, true, true, 0, 0, RoomWidth(), RoomHeight(), 0xFFFFFF, 1);
}
ROUTINE(F_DrawBackgroundTiledExt) {
  if (const CBackground* b = DrawnBackground(a[0]))
    b->DrawTiled(R(a[1]), R(a[2]), R(a[3]), R(a[4]), true, true, 0, 0, RoomWidth(), RoomHeight(), Col(a[5]),
                 R(a[6]));
}

// --- sprite resources

const CSprite* QueriedSprite(const RValue& v, RValue& result) {
  const CSprite* s = g_GraphicsData.sprites.Get(ArgInt(v));
  if (!s) result.SetReal(-1);
  return s;
}

ROUTINE(F_SpriteExists) { result.SetReal(g_GraphicsData.sprites.Exists(ArgInt(a[0])) ? 1 : 0); }
ROUTINE(F_SpriteGetName) { result.SetString(Sprite_GetName(ArgInt(a[0]))); }
ROUTINE(F_SpriteGetNumber) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->i_numb);
}
ROUTINE(F_SpriteGetWidth) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->GetWidth());
}
ROUTINE(F_SpriteGetHeight) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->GetHeight());
}
ROUTINE(F_SpriteGetXoffset) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->i_xorig);
}
ROUTINE(F_SpriteGetYoffset) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->i_yorig);
}
ROUTINE(F_SpriteGetBboxLeft) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->i_bbox.Left);
}
ROUTINE(F_SpriteGetBboxRight) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->i_bbox.Right);
}
ROUTINE(F_SpriteGetBboxTop) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->i_bbox.Top);
}
ROUTINE(F_SpriteGetBboxBottom) {
  if (const CSprite* s = QueriedSprite(a[0], result)) result.SetReal(s->i_bbox.Bottom);
}
ROUTINE(F_SpriteSetOffset) {
  if (CSprite* s = g_GraphicsData.sprites.Get(ArgInt(a[0]))) {
    s->i_xorig = ArgInt(a[1]);
    s->i_yorig = ArgInt(a[2]);
  }
}
ROUTINE(F_SpriteSetAlphaFromSprite) {
  CSprite* s = g_GraphicsData.sprites.Get(ArgInt(a[0]));
  const CSprite* from = g_GraphicsData.sprites.Get(ArgInt(a[1]));
  if (s && from) s->SetAlphaFromSprite(*from);
}
ROUTINE(F_SpriteAdd) {
  result.SetReal(Sprite_AddFromFile(Text(a[0]), ArgInt(a[1]), ArgFlag(a[2]), ArgFlag(a[3]), ArgInt(a[4]),
                                    ArgInt(a[5])));
}
ROUTINE(F_SpriteReplace) {
  if (!g_GraphicsData.sprites.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to replace non-existing sprite.", false);
    return;
  }
  result.SetReal(Sprite_ReplaceFromFile(ArgInt(a[0]), Text(a[1]), ArgInt(a[2]), ArgFlag(a[3]), ArgFlag(a[4]),
                                        ArgInt(a[5]), ArgInt(a[6]))
                     ? 1
                     : 0);
}
ROUTINE(F_SpriteAddSprite) { result.SetReal(Sprite_AddFromSpriteFile(Text(a[0]))); }
ROUTINE(F_SpriteReplaceSprite) {
  if (!g_GraphicsData.sprites.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to replace non-existing sprite.", false);
    return;
  }
  result.SetReal(Sprite_ReplaceFromSpriteFile(ArgInt(a[0]), Text(a[1])) ? 1 : 0);
}
ROUTINE(F_SpriteDelete) {
  if (!Sprite_Delete(ArgInt(a[0]))) Error_ReportAction("Trying to delete non-existing sprite.", false);
}
// A copy that could not be made is -1, never an index of another sprite.
ROUTINE(F_SpriteDuplicate) {
  const int32_t ind = Sprite_Duplicate(ArgInt(a[0]));
  if (ind < 0) Error_ReportAction("Trying to duplicate non-existing sprite.", false);
  result.SetReal(ind);
}
ROUTINE(F_SpriteAssign) {
  if (!Sprite_Assign(ArgInt(a[0]), ArgInt(a[1]))) Error_ReportAction("Error assigning a sprite.", false);
}
ROUTINE(F_SpriteMerge) {
  if (!g_GraphicsData.sprites.Exists(ArgInt(a[0])))
    Error_ReportAction("Trying to merge to non-existing sprite.", false);
  else if (!g_GraphicsData.sprites.Exists(ArgInt(a[1])))
    Error_ReportAction("Trying to merge from non-existing sprite.", false);
  else
    Sprite_Merge(ArgInt(a[0]), ArgInt(a[1]));
}

// --- background resources

const CBackground* QueriedBackground(const RValue& v, RValue& result) {
  const CBackground* b = g_GraphicsData.backgrounds.Get(ArgInt(v));
  if (!b) result.SetReal(-1);
  return b;
}

ROUTINE(F_BackgroundExists) { result.SetReal(g_GraphicsData.backgrounds.Exists(ArgInt(a[0])) ? 1 : 0); }
ROUTINE(F_BackgroundGetName) { result.SetString(Background_GetName(ArgInt(a[0]))); }
ROUTINE(F_BackgroundGetWidth) {
  if (const CBackground* b = QueriedBackground(a[0], result)) result.SetReal(b->GetWidth());
}
ROUTINE(F_BackgroundGetHeight) {
  if (const CBackground* b = QueriedBackground(a[0], result)) result.SetReal(b->GetHeight());
}
ROUTINE(F_BackgroundSetAlphaFromBackground) {
  CBackground* b = g_GraphicsData.backgrounds.Get(ArgInt(a[0]));
  const CBackground* from = g_GraphicsData.backgrounds.Get(ArgInt(a[1]));
  if (b && from) b->SetAlphaFromBackground(*from);
}
ROUTINE(F_BackgroundCreateColor) { result.SetReal(Background_AddColor(ArgInt(a[0]), ArgInt(a[1]), int32_t(Col(a[2])))); }
ROUTINE(F_BackgroundCreateGradient) {
  result.SetReal(
      Background_AddGradient(ArgInt(a[0]), ArgInt(a[1]), int32_t(Col(a[2])), int32_t(Col(a[3])), ArgInt(a[4])));
}
ROUTINE(F_BackgroundAdd) { result.SetReal(Background_AddFromFile(Text(a[0]), ArgFlag(a[1]), ArgFlag(a[2]))); }
ROUTINE(F_BackgroundReplace) {
  if (!g_GraphicsData.backgrounds.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to replace non-existing background.", false);
    return;
  }
  result.SetReal(Background_ReplaceFromFile(ArgInt(a[0]), Text(a[1]), ArgFlag(a[2]), ArgFlag(a[3])) ? 1 : 0);
}
ROUTINE(F_BackgroundAddBackground) { result.SetReal(Background_AddFromBackgroundFile(Text(a[0]))); }
ROUTINE(F_BackgroundReplaceBackground) {
  if (!g_GraphicsData.backgrounds.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to replace non-existing background.", false);
    return;
  }
  result.SetReal(Background_ReplaceFromBackgroundFile(ArgInt(a[0]), Text(a[1])) ? 1 : 0);
}
ROUTINE(F_BackgroundDelete) {
  if (!Background_Delete(ArgInt(a[0]))) Error_ReportAction("Trying to delete non-existing background.", false);
}
ROUTINE(F_BackgroundDuplicate) {
  const int32_t ind = Background_Duplicate(ArgInt(a[0]));
  if (ind < 0) Error_ReportAction("Trying to duplicate non-existing background.", false);
  result.SetReal(ind);
}
ROUTINE(F_BackgroundAssign) {
  if (!Background_Assign(ArgInt(a[0]), ArgInt(a[1]))) Error_ReportAction("Error assigning a background.", false);
}

const RFunctionRoutine kGraphicsFunctions[] = {
    {"draw_set_color", F_DrawSetColor},
    {"draw_set_alpha", F_DrawSetAlpha},
    {"draw_get_color", F_DrawGetColor},
    {"draw_get_alpha", F_DrawGetAlpha},
    {"make_color", F_MakeColor},
    {"make_color_rgb", F_MakeColor},
    {"make_color_hsv", F_MakeColorHsv},
    {"color_get_red", F_ColorGetRed},
    {"color_get_green", F_ColorGetGreen},
    {"color_get_blue", F_ColorGetBlue},
    {"color_get_hue", F_ColorGetHue},
    {"color_get_saturation", F_ColorGetSaturation},
    {"color_get_value", F_ColorGetValue},
    {"merge_color", F_MergeColor},
    {"draw_set_blend_mode", F_DrawSetBlendMode},
    {"draw_set_blend_mode_ext", F_DrawSetBlendModeExt},
    {"draw_primitive_begin", F_PrimitiveBegin},
    {"draw_primitive_begin_texture", F_PrimitiveBeginTexture},
    {"draw_primitive_end", F_PrimitiveEnd},
    {"draw_vertex", F_Vertex},
    {"draw_vertex_color", F_VertexColor},
    {"draw_vertex_texture", F_VertexTexture},
    {"draw_vertex_texture_color", F_VertexTextureColor},
    {"sprite_get_texture", F_SpriteGetTexture},
    {"background_get_texture", F_BackgroundGetTexture},
    {"texture_exists", F_TextureExists},
    {"texture_set_interpolation", F_TextureSetInterpolation},
    {"texture_set_blending", F_TextureSetBlending},
    {"texture_set_repeat", F_TextureSetRepeat},
    {"texture_get_width", F_TextureGetWidth},
    {"texture_get_height", F_TextureGetHeight},
    {"texture_preload", F_TexturePreload},
    {"texture_set_priority", F_TextureSetPriority},
    {"draw_sprite", F_DrawSprite},
    {"draw_sprite_pos", F_DrawSpritePos},
    {"draw_sprite_ext", F_DrawSpriteExt},
    {"draw_self", F_DrawSelf},
    {"draw_sprite_stretched", F_DrawSpriteStretched},
    {"draw_sprite_stretched_ext", F_DrawSpriteStretchedExt},
    {"draw_sprite_part", F_DrawSpritePart},
    {"draw_sprite_part_ext", F_DrawSpritePartExt},
    {"draw_sprite_general", F_DrawSpriteGeneral},
    {"draw_sprite_tiled", F_DrawSpriteTiled},
    {"draw_sprite_tiled_ext", F_DrawSpriteTiledExt},
    {"draw_background", F_DrawBackground},
    {"draw_background_ext", F_DrawBackgroundExt},
    {"draw_background_stretched", F_DrawBackgroundStretched},
    {"draw_background_stretched_ext", F_DrawBackgroundStretchedExt},
    {"draw_background_part", F_DrawBackgroundPart},
    {"draw_background_part_ext", F_DrawBackgroundPartExt},
    {"draw_background_general", F_DrawBackgroundGeneral},
    {"draw_background_tiled", F_DrawBackgroundTiled},
    {"draw_background_tiled_ext", F_DrawBackgroundTiledExt},
    {"sprite_name", F_SpriteGetName},
    {"sprite_exists", F_SpriteExists},
    {"sprite_get_name", F_SpriteGetName},
    {"sprite_get_number", F_SpriteGetNumber},
    {"sprite_get_width", F_SpriteGetWidth},
    {"sprite_get_height", F_SpriteGetHeight},
    {"sprite_get_xoffset", F_SpriteGetXoffset},
    {"sprite_get_yoffset", F_SpriteGetYoffset},
    {"sprite_get_bbox_left", F_SpriteGetBboxLeft},
    {"sprite_get_bbox_right", F_SpriteGetBboxRight},
    {"sprite_get_bbox_top", F_SpriteGetBboxTop},
    {"sprite_get_bbox_bottom", F_SpriteGetBboxBottom},
    {"sprite_set_offset", F_SpriteSetOffset},
    {"sprite_set_alpha_from_sprite", F_SpriteSetAlphaFromSprite},
    {"sprite_add", F_SpriteAdd},
    {"sprite_replace", F_SpriteReplace},
    {"sprite_add_sprite", F_SpriteAddSprite},
    {"sprite_replace_sprite", F_SpriteReplaceSprite},
    {"sprite_delete", F_SpriteDelete},
    {"sprite_duplicate", F_SpriteDuplicate},
    {"sprite_assign", F_SpriteAssign},
    {"sprite_merge", F_SpriteMerge},
    {"background_name", F_BackgroundGetName},
    {"background_exists", F_BackgroundExists},
    {"background_get_name", F_BackgroundGetName},
    {"background_get_width", F_BackgroundGetWidth},
    {"background_get_height", F_BackgroundGetHeight},
    {"background_set_alpha_from_background", F_BackgroundSetAlphaFromBackground},
    {"background_create_color", F_BackgroundCreateColor},
    {"background_create_gradient", F_BackgroundCreateGradient},
    {"background_add", F_BackgroundAdd},
    {"background_replace", F_BackgroundReplace},
    {"background_add_background", F_BackgroundAddBackground},
    {"background_replace_background", F_BackgroundReplaceBackground},
    {"background_delete", F_BackgroundDelete},
    {"background_duplicate", F_BackgroundDuplicate},
    {"background_assign", F_BackgroundAssign},
};

}  // namespace

void Function_RegisterGraphics() { Function_ImplementTable(kGraphicsFunctions); }

}  // namespace tavrin
