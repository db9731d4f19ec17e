#include "runner/Run_Painter.h"

#include <cmath>

#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_State.h"
#include "world/Instance_Class.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"

namespace tavrin {

namespace {

class CDevicePainter : public IRoomPainter {
 public:
  void SetView(const CView& v) override {
    Display_SetViewport(v.xport, v.yport, v.wport, v.hport);
    Display_SetView(v.xview, v.yview, v.wview, v.hview, v.angle);
  }
  void SetWholeRegion() override {
    Display_SetViewport(0, 0, g_Display.deviceW, g_Display.deviceH);
    Display_SetView(0, 0, g_Display.deviceW, g_Display.deviceH, 0);
  }
  void MapViews(const CRoom& room) override {
    for (int32_t i = 0; i < kRoomLayers; ++i) {
      const CView& v = room.r_view[size_t(i)];
      RViewMap map;
      if (room.r_enableviews && v.visible)
        map = RViewMap{true, double(v.xview), double(v.yview), double(v.wview), double(v.hview), double(v.xport),
                       double(v.yport), double(v.wport), double(v.hport), v.angle};
      Display_SetViewMap(i, map);
    }
  }
  void ClearToWindowColor() override { Clear(g_Display.color); }
  void Clear(int32_t color) override {
    if (IGraphicsDevice* device = Graphics_Device()) device->Clear(true, Device_ArgbOf(uint32_t(color) & 0xFFFFFF, 1), false);
  }
  void Layer(const CBack& b, const RRoomRect& r) override {
    if (const CBackground* back = g_GraphicsData.backgrounds.Get(b.index))
      back->DrawTiled(b.x, b.y, b.xscale, b.yscale, b.htiled, b.vtiled, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, uint32_t(b.blend), b.alpha);
  }
  void Tile(const RTile& t) override {
    if (const CBackground* back = g_GraphicsData.backgrounds.Get(t.index))
      back->DrawPart(t.xo, t.yo, t.w, t.h, t.x, t.y, t.xscale, t.yscale, uint32_t(t.blend), t.alpha);
  }
  void Sprite(const CInstance& i, bool simple) override {
    const CSprite* sprite = g_GraphicsData.sprites.Get(i.i_spriteindex);
    if (!sprite) return;
    const int64_t frame = int64_t(std::floor(i.i_imageindex));
    if (simple)
      sprite->DrawSimple(frame, i.i_x, i.i_y);
    else
      sprite->Draw(frame, i.i_x, i.i_y, i.i_imagescalex, i.i_imagescaley, i.i_imageangle, i.i_imageblend, i.i_imagealpha);
  }
  void Cursor(int32_t sprite, int32_t frame) override {
    if (const CSprite* s = g_GraphicsData.sprites.Get(sprite)) {
      const auto [x, y] = Display_MouseInRoom();
      s->Draw(frame, x, y, 1, 1, 0, 0xFFFFFF, 1);
    }
  }
};

}  // namespace

IRoomPainter& Run_Painter() {
  static CDevicePainter painter;
  return painter;
}

}  // namespace tavrin
