#include "runner/Run_Painter.h"

#include <cmath>

#include "graphics/Graphics_Data.h"
#include "graphics/Graphics_State.h"
#include "package/Package_Data.h"
#include "world/Instance_Class.h"
#include "world/Room_Main.h"
#include "world/Run_State.h"
#include "world/World_Angles.h"

namespace tavrin {

namespace {

// The camera that shows the room rectangle (x, y, w, h) turned by `angle`
// degrees about its centre, y growing downwards.
void SetCamera(IGraphicsDevice& device, double x, double y, double w, double h, double angle) {
  const double a = -Angle_ToRadians(angle);
  const float cx = float(x + w / 2), cy = float(y + h / 2);
  device.SetTransform(ETransform::World, Matrix_Identity());
  device.SetTransform(ETransform::View, Matrix_LookAtLH({cx, cy, -16000}, {cx, cy, 0},
                                                        {float(std::sin(a)), float(std::cos(a)), 0}));
  device.SetTransform(ETransform::Projection, Matrix_OrthoLH(float(w), float(-h), 1, 32000));
}

class CDevicePainter : public IRoomPainter {
 public:
  void SetView(const CView& v) override {
    IGraphicsDevice* device = Graphics_Device();
    if (!device) return;
    device->SetViewport({v.xport, v.yport, v.wport, v.hport});
    SetCamera(*device, v.xview, v.yview, v.wview, v.hview, v.angle);
  }
  void SetWholeRegion() override {
    IGraphicsDevice* device = Graphics_Device();
    if (!device) return;
    const int32_t w = device->BackBufferWidth(), h = device->BackBufferHeight();
    device->SetViewport({0, 0, w, h});
    SetCamera(*device, 0, 0, w, h, 0);
  }
  void ClearToWindowColor() override { Clear(g_PackageData.settings.opt_windowcolor); }
  void Clear(int32_t color) override {
    if (IGraphicsDevice* device = Graphics_Device()) device->Clear(true, Device_ArgbOf(uint32_t(color), 1), false);
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
    // The cursor follows the mouse once input reaches the room; until then it
    // stands at the room's top-left corner.
    if (const CSprite* s = g_GraphicsData.sprites.Get(sprite)) s->Draw(frame, 0, 0, 1, 1, 0, 0xFFFFFF, 1);
  }
};

}  // namespace

IRoomPainter& Run_Painter() {
  static CDevicePainter painter;
  return painter;
}

}  // namespace tavrin
