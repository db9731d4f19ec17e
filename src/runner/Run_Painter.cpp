#include "runner/Run_Painter.h"

#include <cmath>

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
  void Layer(const CBack&, const RRoomRect&) override {}
  void Tile(const RTile&) override {}
  void Sprite(const CInstance&, bool) override {}
  void Cursor(int32_t, int32_t) override {}
};

}  // namespace

IRoomPainter& Run_Painter() {
  static CDevicePainter painter;
  return painter;
}

}  // namespace tavrin
