#include "functions/Function_Graphics.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Primitive.h"
#include "graphics/Graphics_Shape.h"
#include "graphics/Graphics_Surface.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"
#include "graphics/Sprite_List.h"
#include "package/Support_Path.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "world/Room_Main.h"
#include "world/World_Data.h"
#include "world/World_Routine.h"

namespace tavrin {

namespace {

#define ROUTINE(name)                                                                             \
  void name([[maybe_unused]] CInstanceBase* self, CInstanceBase*, [[maybe_unused]] int32_t argc, \
            [[maybe_unused]] RValue& result, [[maybe_unused]] RValue* a)

double R(const RValue& v) { return v.AsReal(); }
// A game colour argument: the rounded value, its low 24 bits.
uint32_t Col(const RValue& v) { return uint32_t(uint64_t(Color_Arg(v.AsReal()))) & 0xFFFFFFu; }
// A file a game names, as it names it ("Sprites\\Hero.png"), on this machine.
std::string GameFile(const RValue& v) { return Path_FromGame(v.AsText()); }

// The frame a drawing function means: a negative image index stands for
// the calling instance's current frame.
int64_t Frame(CInstanceBase* self, const RValue& v) {
  const int64_t ind = Real_ToInt64(v.AsReal());
  if (ind >= 0) return ind;
  return self ? Real_ToInt64(std::floor(AsInstance(self)->i_imageindex)) : 0;
}

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


// --- clearing, pixels and shapes

// A game colour with the draw alpha, as shapes take explicit colours.
uint32_t Argb(const RValue& v) { return Color_ToARGB(Col(v), g_DrawState.alpha); }

ROUTINE(F_DrawClear) {
  if (IGraphicsDevice* d = Graphics_Device()) d->Clear(true, Color_ToARGB(Col(a[0]), 1), true, 1.0f);
}
ROUTINE(F_DrawClearAlpha) {
  if (IGraphicsDevice* d = Graphics_Device()) d->Clear(true, Color_ToARGB(Col(a[0]), R(a[1])), true, 1.0f);
}
// The screen's pixel under a room position, seen through the view being
// drawn (the position as it is outside view drawing); 0 outside the screen.
ROUTINE(F_DrawGetPixel) {
  double x = R(a[0]), y = R(a[1]);
  const int32_t view = g_World.viewCurrent;
  if (view >= 0 && view < kViewMaps && ViewMap_Used(g_Display.views[size_t(view)])) {
    const auto [rx, ry] = Display_RoomToRegion(g_Display.views[size_t(view)], x, y);
    x = rx, y = ry;
  }
  const int64_t px = Real_ToInt64(x), py = Real_ToInt64(y);
  TBitmap32 pixel;
  if (px < 0 || py < 0 || px >= g_Display.deviceW || py >= g_Display.deviceH ||
      !Display_Grab(int32_t(px), int32_t(py), 1, 1, pixel))
    return;
  result.SetReal(Color_Swap(pixel.s_data[0] & 0xFFFFFF));
}
ROUTINE(F_DrawPoint) { Shape_Point(R(a[0]), R(a[1]), g_DrawState.color); }
ROUTINE(F_DrawPointColor) { Shape_Point(R(a[0]) + 0.01, R(a[1]) + 0.01, Argb(a[2])); }
ROUTINE(F_DrawLine) { Shape_Line(R(a[0]), R(a[1]), R(a[2]), R(a[3]), g_DrawState.color, g_DrawState.color); }
ROUTINE(F_DrawLineColor) { Shape_Line(R(a[0]), R(a[1]), R(a[2]), R(a[3]), Argb(a[4]), Argb(a[5])); }
ROUTINE(F_DrawLineWidth) {
  Shape_LineWidth(R(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), g_DrawState.color, g_DrawState.color);
}
ROUTINE(F_DrawLineWidthColor) {
  Shape_LineWidth(R(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), Argb(a[5]), Argb(a[6]));
}
ROUTINE(F_DrawRectangle) {
  const uint32_t c = g_DrawState.color;
  Shape_Rectangle(R(a[0]), R(a[1]), R(a[2]), R(a[3]), c, c, c, c, ArgFlag(a[4]));
}
ROUTINE(F_DrawRectangleColor) {
  Shape_Rectangle(R(a[0]), R(a[1]), R(a[2]), R(a[3]), Argb(a[4]), Argb(a[5]), Argb(a[6]), Argb(a[7]), ArgFlag(a[8]));
}
ROUTINE(F_DrawRoundrect) {
  Shape_RoundRect(R(a[0]), R(a[1]), R(a[2]), R(a[3]), g_DrawState.color, g_DrawState.color, ArgFlag(a[4]));
}
ROUTINE(F_DrawRoundrectColor) {
  Shape_RoundRect(R(a[0]), R(a[1]), R(a[2]), R(a[3]), Argb(a[4]), Argb(a[5]), ArgFlag(a[6]));
}
ROUTINE(F_DrawTriangle) {
  const uint32_t c = g_DrawState.color;
  Shape_Triangle(R(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), c, c, c, ArgFlag(a[6]));
}
ROUTINE(F_DrawTriangleColor) {
  Shape_Triangle(R(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), Argb(a[6]), Argb(a[7]), Argb(a[8]),
                 ArgFlag(a[9]));
}
ROUTINE(F_DrawCircle) {
  const double x = R(a[0]), y = R(a[1]), r = R(a[2]);
  Shape_Ellipse(x - r, y - r, x + r, y + r, g_DrawState.color, g_DrawState.color, ArgFlag(a[3]));
}
ROUTINE(F_DrawCircleColor) {
  const double x = R(a[0]), y = R(a[1]), r = R(a[2]);
  Shape_Ellipse(x - r, y - r, x + r, y + r, Argb(a[3]), Argb(a[4]), ArgFlag(a[5]));
}
ROUTINE(F_DrawEllipse) {
  Shape_Ellipse(R(a[0]), R(a[1]), R(a[2]), R(a[3]), g_DrawState.color, g_DrawState.color, ArgFlag(a[4]));
}
ROUTINE(F_DrawEllipseColor) {
  Shape_Ellipse(R(a[0]), R(a[1]), R(a[2]), R(a[3]), Argb(a[4]), Argb(a[5]), ArgFlag(a[6]));
}
ROUTINE(F_DrawSetCirclePrecision) { Shape_SetCirclePrecision(R(a[0])); }
ROUTINE(F_DrawArrow) { Shape_Arrow(R(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), g_DrawState.color); }
ROUTINE(F_DrawButton) {
  Shape_Button(R(a[0]), R(a[1]), R(a[2]), R(a[3]), ArgFlag(a[4]), g_DrawState.color, g_DrawState.alpha);
}
ROUTINE(F_DrawHealthbar) {
  RHealthBar bar{R(a[0]),  R(a[1]),  R(a[2]),     R(a[3]),     R(a[4]),      Col(a[5]),
                 Col(a[6]), Col(a[7]), ArgInt(a[8]), ArgFlag(a[9]), ArgFlag(a[10])};
  Shape_HealthBar(bar, g_DrawState.alpha);
}
// The path as a polyline of points about four pixels apart, placed at
// (x, y) unless it is drawn where it lies. A path millions of pixels long
// gets no more points than kPathMostPoints, so that a wild path cannot stall
// the game in its draw event.
constexpr int64_t kPathMostPoints = int64_t(1) << 20;
ROUTINE(F_DrawPath) {
  const CPath* path = g_WorldData.paths.Get(ArgInt(a[0]));
  if (!path) return Error_ReportAction("Trying to drawn non-existing path.", false);
  double ox = 0, oy = 0;
  if (!ArgFlag(a[3])) {
    const RWayPoint start = path->GetPosition(0);
    ox = R(a[1]) - start.x, oy = R(a[2]) - start.y;
  }
  const int64_t m = std::min(Real_ToInt64(path->Length() / 4), kPathMostPoints);
  if (m <= 0) return;
  Shape_StripBegin(g_DrawState.color);
  for (int64_t i = 0; i <= m; ++i) {
    const RWayPoint p = path->GetPosition(double(i) / double(m));
    Shape_StripAdd(p.x + ox, p.y + oy);
  }
  Shape_StripEnd();
}

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
    s->DrawTiled(Frame(self, a[1]), R(a[2]), R(a[3]), 1, 1, true, true, 0, 0, Function_RoomWidth(), Function_RoomHeight(), 0xFFFFFF,
                 1);
}
ROUTINE(F_DrawSpriteTiledExt) {
  if (const CSprite* s = DrawnSprite(a[0]))
    s->DrawTiled(Frame(self, a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), true, true, 0, 0, Function_RoomWidth(),
                 Function_RoomHeight(), Col(a[6]), R(a[7]));
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
    b->DrawTiled(R(a[1]), R(a[2]), 1, 1, true, true, 0, 0, Function_RoomWidth(), Function_RoomHeight(), 0xFFFFFF, 1);
}
ROUTINE(F_DrawBackgroundTiledExt) {
  if (const CBackground* b = DrawnBackground(a[0]))
    b->DrawTiled(R(a[1]), R(a[2]), R(a[3]), R(a[4]), true, true, 0, 0, Function_RoomWidth(), Function_RoomHeight(), Col(a[5]),
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
  result.SetReal(Sprite_AddFromFile(GameFile(a[0]), ArgInt(a[1]), ArgFlag(a[2]), ArgFlag(a[3]), ArgInt(a[4]),
                                    ArgInt(a[5])));
}
ROUTINE(F_SpriteReplace) {
  if (!g_GraphicsData.sprites.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to replace non-existing sprite.", false);
    return;
  }
  result.SetReal(Sprite_ReplaceFromFile(ArgInt(a[0]), GameFile(a[1]), ArgInt(a[2]), ArgFlag(a[3]), ArgFlag(a[4]),
                                        ArgInt(a[5]), ArgInt(a[6]))
                     ? 1
                     : 0);
}
ROUTINE(F_SpriteAddSprite) { result.SetReal(Sprite_AddFromSpriteFile(GameFile(a[0]))); }
ROUTINE(F_SpriteReplaceSprite) {
  if (!g_GraphicsData.sprites.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to replace non-existing sprite.", false);
    return;
  }
  result.SetReal(Sprite_ReplaceFromSpriteFile(ArgInt(a[0]), GameFile(a[1])) ? 1 : 0);
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


// --- sprites and backgrounds from the screen and surfaces, and saved

// The rectangle (x, y, w, h) of the screen, or of surface `id`, clipped to
// it. Nothing left of it makes no resource: the function gives -1.
std::optional<TBitmap32> ScreenPart(const RValue* a) {
  TBitmap32 picture;
  if (!Display_Grab(ArgInt(a[0]), ArgInt(a[1]), ArgInt(a[2]), ArgInt(a[3]), picture)) return std::nullopt;
  return picture;
}
std::optional<TBitmap32> SurfacePart(const RValue* a) {
  if (!Surface_Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to use non-existing surface.", false);
    return std::nullopt;
  }
  TBitmap32 picture;
  if (!Surface_Grab(ArgInt(a[0]), ArgInt(a[1]), ArgInt(a[2]), ArgInt(a[3]), ArgInt(a[4]), picture))
    return std::nullopt;
  return picture;
}
// removeback is read as a whole number towards zero: 1 removes the
// background, -1 makes the picture opaque.
int32_t RemoveBack(const RValue& v) { return Real_ToInt32(std::trunc(v.AsReal())); }

void NewSprite(const std::optional<TBitmap32>& picture, const RValue* a, RValue& result) {
  result.SetReal(-1);
  if (!picture) return;
  const int32_t ind = Sprite_AddEmpty();
  if (CSprite* s = g_GraphicsData.sprites.Get(ind)) {
    s->CreateFromBitmap(*picture, RemoveBack(a[0]), ArgFlag(a[1]), ArgInt(a[2]), ArgInt(a[3]));
    result.SetReal(ind);
  }
}
void AddToSprite(const RValue& ind, const std::optional<TBitmap32>& picture, const RValue* a) {
  CSprite* s = g_GraphicsData.sprites.Get(ArgInt(ind));
  if (!s) return Error_ReportAction("Trying to add to non-existing sprite.", false);
  if (picture) s->AddFromBitmap(*picture, ArgFlag(a[0]), ArgFlag(a[1]));
}
void NewBackground(const std::optional<TBitmap32>& picture, const RValue* a, RValue& result) {
  result.SetReal(-1);
  if (!picture) return;
  const int32_t ind = Background_AddEmpty();
  if (CBackground* b = g_GraphicsData.backgrounds.Get(ind)) {
    b->CreateFromBitmap(*picture, RemoveBack(a[0]), ArgFlag(a[1]));
    result.SetReal(ind);
  }
}

ROUTINE(F_SpriteCreateFromScreen) { NewSprite(ScreenPart(a), a + 4, result); }
ROUTINE(F_SpriteCreateFromSurface) { NewSprite(SurfacePart(a), a + 5, result); }
ROUTINE(F_SpriteAddFromScreen) { AddToSprite(a[0], ScreenPart(a + 1), a + 5); }
ROUTINE(F_SpriteAddFromSurface) { AddToSprite(a[0], SurfacePart(a + 1), a + 6); }
ROUTINE(F_BackgroundCreateFromScreen) { NewBackground(ScreenPart(a), a + 4, result); }
ROUTINE(F_BackgroundCreateFromSurface) { NewBackground(SurfacePart(a), a + 5, result); }

// The name a picture is saved under, or none after the error for an empty
// one.
std::optional<std::string> SaveName(const RValue& v, const char* what) {
  if (v.AsText().empty()) {
    Error_ReportAction(std::string("Trying to save ") + what + " bitmap to empty image file name.", false);
    return std::nullopt;
  }
  return GameFile(v);
}

// A frame outside the sprite, or a file that cannot be written, saves
// nothing without a word.
ROUTINE(F_SpriteSave) {
  const CSprite* s = g_GraphicsData.sprites.Get(ArgInt(a[0]));
  if (!s) return Error_ReportAction("Trying to save non-existing sprite bitmap.", false);
  const std::optional<std::string> name = SaveName(a[2], "sprite");
  if (!name) return;
  if (const std::optional<TBitmap32> frame = s->GetBitmap(ArgInt(a[1]))) Picture_SaveToImageFile(*frame, *name);
}
// Every frame side by side, frame i at x = i x the sprite's width.
ROUTINE(F_SpriteSaveStrip) {
  const CSprite* s = g_GraphicsData.sprites.Get(ArgInt(a[0]));
  if (!s) return Error_ReportAction("Trying to save non-existing sprite bitmap.", false);
  const std::optional<std::string> name = SaveName(a[1], "sprite");
  if (!name || s->i_numb <= 0) return;
  const int64_t w = s->GetWidth(), h = s->GetHeight();
  if (!Bitmap_SizeAllowed(w * s->i_numb, h)) return;
  TBitmap32 strip(int32_t(w * s->i_numb), int32_t(h));
  for (int32_t i = 0; i < s->i_numb; ++i) {
    const std::optional<TBitmap32> frame = s->GetBitmap(i);
    if (!frame) continue;
    for (int32_t y = 0; y < std::min<int32_t>(frame->s_h, int32_t(h)); ++y)
      for (int32_t x = 0; x < std::min<int32_t>(frame->s_w, int32_t(w)); ++x)
        strip.SetPixel(int32_t(i * w + x), y, frame->GetPixel(x, y));
  }
  Picture_SaveToImageFile(strip, *name);
}
ROUTINE(F_BackgroundSave) {
  const CBackground* b = g_GraphicsData.backgrounds.Get(ArgInt(a[0]));
  if (!b) return Error_ReportAction("Trying to save non-existing background bitmap.", false);
  const std::optional<std::string> name = SaveName(a[1], "background");
  if (name && b->GetWidth() > 0 && b->GetHeight() > 0) Picture_SaveToImageFile(b->GetBitmap(), *name);
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
ROUTINE(F_BackgroundAdd) { result.SetReal(Background_AddFromFile(GameFile(a[0]), ArgFlag(a[1]), ArgFlag(a[2]))); }
ROUTINE(F_BackgroundReplace) {
  if (!g_GraphicsData.backgrounds.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to replace non-existing background.", false);
    return;
  }
  result.SetReal(Background_ReplaceFromFile(ArgInt(a[0]), GameFile(a[1]), ArgFlag(a[2]), ArgFlag(a[3])) ? 1 : 0);
}
ROUTINE(F_BackgroundAddBackground) { result.SetReal(Background_AddFromBackgroundFile(GameFile(a[0]))); }
ROUTINE(F_BackgroundReplaceBackground) {
  if (!g_GraphicsData.backgrounds.Exists(ArgInt(a[0]))) {
    Error_ReportAction("Trying to replace non-existing background.", false);
    return;
  }
  result.SetReal(Background_ReplaceFromBackgroundFile(ArgInt(a[0]), GameFile(a[1])) ? 1 : 0);
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
    {"draw_clear", F_DrawClear},
    {"draw_clear_alpha", F_DrawClearAlpha},
    {"draw_getpixel", F_DrawGetPixel},
    {"draw_point", F_DrawPoint},
    {"draw_point_color", F_DrawPointColor},
    {"draw_line", F_DrawLine},
    {"draw_line_color", F_DrawLineColor},
    {"draw_line_width", F_DrawLineWidth},
    {"draw_line_width_color", F_DrawLineWidthColor},
    {"draw_rectangle", F_DrawRectangle},
    {"draw_rectangle_color", F_DrawRectangleColor},
    {"draw_roundrect", F_DrawRoundrect},
    {"draw_roundrect_color", F_DrawRoundrectColor},
    {"draw_triangle", F_DrawTriangle},
    {"draw_triangle_color", F_DrawTriangleColor},
    {"draw_circle", F_DrawCircle},
    {"draw_circle_color", F_DrawCircleColor},
    {"draw_ellipse", F_DrawEllipse},
    {"draw_ellipse_color", F_DrawEllipseColor},
    {"draw_set_circle_precision", F_DrawSetCirclePrecision},
    {"draw_arrow", F_DrawArrow},
    {"draw_button", F_DrawButton},
    {"draw_healthbar", F_DrawHealthbar},
    {"draw_path", F_DrawPath},
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
    {"sprite_create_from_screen", F_SpriteCreateFromScreen},
    {"sprite_create_from_surface", F_SpriteCreateFromSurface},
    {"sprite_add_from_screen", F_SpriteAddFromScreen},
    {"sprite_add_from_surface", F_SpriteAddFromSurface},
    {"sprite_save", F_SpriteSave},
    {"sprite_save_strip", F_SpriteSaveStrip},
    {"background_create_from_screen", F_BackgroundCreateFromScreen},
    {"background_create_from_surface", F_BackgroundCreateFromSurface},
    {"background_save", F_BackgroundSave},
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

double Function_RoomWidth() { return g_World.room ? g_World.room->r_width : 0; }
double Function_RoomHeight() { return g_World.room ? g_World.room->r_height : 0; }

void Function_RegisterGraphics() { Function_ImplementTable(kGraphicsFunctions); }

}  // namespace tavrin
