#include "graphics/Graphics_Shape.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_State.h"

namespace tavrin {

namespace {

constexpr int32_t kMaxPrecision = 64;
// The largest shape: a rounded rectangle at the highest precision has its
// centre, four arcs of precision / 4 + 1 points and the closing point.
constexpr int32_t kShapeVertices = kMaxPrecision + 6;

// A whole coordinate lies between two pixels; this nudge puts it inside the
// pixel it names.
constexpr double kNudge = 0.01;

std::array<RVertexColored, kShapeVertices> g_shape;

// cos and sin of 2 pi i / n for i = 0 .. n, for the precision they were
// built for.
struct RCircleTable {
  int32_t n = 0;
  std::array<double, kMaxPrecision + 1> cos{}, sin{};
};
RCircleTable g_circle;

const RCircleTable& Circle() {
  const int32_t n = g_DrawState.circlePrecision;
  if (g_circle.n != n) {
    for (int32_t i = 0; i <= n; ++i) {
      const double a = 2.0 * std::numbers::pi * i / n;
      g_circle.cos[size_t(i)] = std::cos(a);
      g_circle.sin[size_t(i)] = std::sin(a);
    }
    g_circle.n = n;
  }
  return g_circle;
}

void Put(int32_t i, double x, double y, uint32_t color) {
  g_shape[size_t(i)] = RVertexColored{float(x), float(y), float(g_DrawState.depth), color};
}

void Submit(EPrimitive kind, const RVertexColored* v, int32_t count) {
  IGraphicsDevice* device = Graphics_Device();
  if (!device) return;
  DrawState_Apply(*device, false);
  device->SetTexture(kNoTexture);
  device->Draw(kind, EVertexLayout::Colored, v, count);
}
void Submit(EPrimitive kind, int32_t count) { Submit(kind, g_shape.data(), count); }

// A whole right or bottom edge moves into the pixel it names.
double FarEdge(double v) { return v == std::floor(v) ? v + kNudge : v; }

struct RBox {
  double left, top, right, bottom;
};
RBox Normalised(double x1, double y1, double x2, double y2) {
  return {std::min(x1, x2), std::min(y1, y2), FarEdge(std::max(x1, x2)), FarEdge(std::max(y1, y2))};
}

}  // namespace

void Shape_SetCirclePrecision(double n) {
  const double held = std::isnan(n) ? 4.0 : std::clamp(n, 4.0, double(kMaxPrecision));
  g_DrawState.circlePrecision = int32_t(held) / 4 * 4;
}

int32_t Shape_CirclePrecision() { return g_DrawState.circlePrecision; }

void Shape_Point(double x, double y, uint32_t color) {
  Put(0, x, y, color);
  Submit(EPrimitive::PointList, 1);
}

void Shape_Line(double x1, double y1, double x2, double y2, uint32_t c1, uint32_t c2) {
  Put(0, x1 + kNudge, y1 + kNudge, c1);
  Put(1, x2 + kNudge, y2 + kNudge, c2);
  Submit(EPrimitive::LineList, 2);
}

void Shape_LineWidth(double x1, double y1, double x2, double y2, double w, uint32_t c1, uint32_t c2) {
  const double dx = x2 - x1, dy = y2 - y1, length = std::hypot(dx, dy);
  if (!(length > 0)) return;
  const double px = dy * w / 2 / length, py = dx * w / 2 / length;
  Put(0, x1 - px, y1 + py, c1);
  Put(1, x2 - px, y2 + py, c2);
  Put(2, x2 + px, y2 - py, c2);
  Put(3, x1 + px, y1 - py, c1);
  Submit(EPrimitive::TriangleFan, 4);
}

void Shape_Rectangle(double x1, double y1, double x2, double y2, uint32_t c1, uint32_t c2, uint32_t c3,
                     uint32_t c4, bool outline) {
  const RBox b = Normalised(x1, y1, x2, y2);
  Put(0, b.left, b.top, c1);
  Put(1, b.right, b.top, c2);
  Put(2, b.right, b.bottom, c3);
  Put(3, b.left, b.bottom, c4);
  if (!outline) return Submit(EPrimitive::TriangleFan, 4);
  g_shape[4] = g_shape[0];
  Submit(EPrimitive::LineStrip, 5);
}

void Shape_RoundRect(double x1, double y1, double x2, double y2, uint32_t centre, uint32_t rim, bool outline) {
  const RBox b = Normalised(x1, y1, x2, y2);
  const double w = b.right - b.left, h = b.bottom - b.top;
  const double cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
  const double cw = std::min(10.0, w), ch = std::min(10.0, h);
  const double ax = w / 2 - cw / 2, ay = h / 2 - ch / 2;
  // The four corners in the order the angle runs: bottom-right, bottom-left,
  // top-left, top-right.
  const double arcX[4] = {cx + ax, cx - ax, cx - ax, cx + ax}, arcY[4] = {cy + ay, cy + ay, cy - ay, cy - ay};
  const RCircleTable& t = Circle();
  const int32_t quarter = t.n / 4;
  int32_t count = 0;
  Put(count++, cx, cy, centre);
  for (int32_t corner = 0; corner < 4; ++corner)
    for (int32_t i = corner * quarter; i <= (corner + 1) * quarter; ++i)
      Put(count++, arcX[corner] + cw / 2 * t.cos[size_t(i)], arcY[corner] + ch / 2 * t.sin[size_t(i)], rim);
  g_shape[size_t(count++)] = g_shape[1];
  if (!outline) return Submit(EPrimitive::TriangleFan, count);
  g_shape[0] = g_shape[size_t(count - 1)];
  Submit(EPrimitive::LineStrip, count);
}

void Shape_Triangle(double x1, double y1, double x2, double y2, double x3, double y3, uint32_t c1, uint32_t c2,
                    uint32_t c3, bool outline) {
  Put(0, x1, y1, c1);
  Put(1, x2, y2, c2);
  Put(2, x3, y3, c3);
  if (!outline) return Submit(EPrimitive::TriangleList, 3);
  g_shape[3] = g_shape[0];
  Submit(EPrimitive::LineStrip, 4);
}

void Shape_Ellipse(double x1, double y1, double x2, double y2, uint32_t centre, uint32_t rim, bool outline) {
  const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
  const double a = std::fabs(x2 - x1) / 2, b = std::fabs(y2 - y1) / 2;
  const RCircleTable& t = Circle();
  Put(0, cx, cy, centre);
  for (int32_t i = 0; i <= t.n; ++i) Put(i + 1, cx + a * t.cos[size_t(i)], cy + b * t.sin[size_t(i)], rim);
  if (!outline) return Submit(EPrimitive::TriangleFan, t.n + 2);
  // The strip starts at the last rim point before the first, which closes it.
  g_shape[0] = g_shape[size_t(t.n)];
  Submit(EPrimitive::LineStrip, t.n + 1);
}

void Shape_Arrow(double x1, double y1, double x2, double y2, double size, uint32_t color) {
  const double dx = x2 - x1, dy = y2 - y1, length = std::hypot(dx, dy);
  if (!(length > 0)) return;
  Shape_Line(x1, y1, x2, y2, color, color);
  const double s = std::min(length, size);
  const double ux = dx * s / length, uy = dy * s / length;
  Shape_Triangle(x2, y2, x2 - ux - uy / 3, y2 - uy + ux / 3, x2 - ux + uy / 3, y2 - uy - ux / 3, color, color, color,
                 false);
}

void Shape_Button(double x1, double y1, double x2, double y2, bool up, uint32_t face, double alpha) {
  const uint32_t white = Color_ToARGB(0xFFFFFF, alpha), grey = Color_ToARGB(0x808080, alpha);
  const uint32_t light = up ? white : grey, dark = up ? grey : white;
  Shape_Triangle(x1, y1, x2, y1, x1, y2, light, light, light, false);
  Shape_Triangle(x1, y2, x2, y1, x2, y2, dark, dark, dark, false);
  Shape_Rectangle(x1 + 2, y1 + 2, x2 - 2, y2 - 2, face, face, face, face, false);
}

uint32_t Shape_HealthBarColor(double amount, uint32_t minColor, uint32_t maxColor) {
  const uint32_t mid = Color_Merge(minColor, maxColor, 0.5);
  return amount > 50 ? Color_Merge(mid, maxColor, (amount - 50) / 50) : Color_Merge(minColor, mid, amount / 50);
}

void Shape_HealthBar(const RHealthBar& bar, double alpha) {
  const uint32_t black = Color_ToARGB(0, alpha);
  if (bar.showBack) {
    const uint32_t back = Color_ToARGB(bar.backColor, alpha);
    Shape_Rectangle(bar.x1, bar.y1, bar.x2, bar.y2, back, back, back, back, false);
    if (bar.showBorder) Shape_Rectangle(bar.x1, bar.y1, bar.x2, bar.y2, black, black, black, black, true);
  }
  const double amount = std::fmin(std::fmax(bar.amount, 0.0), 100.0), f = amount / 100;
  double x1 = bar.x1, y1 = bar.y1, x2 = bar.x2, y2 = bar.y2;
  switch (bar.direction) {
    case 1: x1 = x2 - (x2 - x1) * f; break;
    case 2: y2 = y1 + (y2 - y1) * f; break;
    case 3: y1 = y2 - (y2 - y1) * f; break;
    default: x2 = x1 + (x2 - x1) * f; break;
  }
  const uint32_t color = Color_ToARGB(Shape_HealthBarColor(amount, bar.minColor, bar.maxColor), alpha);
  Shape_Rectangle(x1, y1, x2, y2, color, color, color, color, false);
  if (bar.showBorder) Shape_Rectangle(x1, y1, x2, y2, black, black, black, black, true);
}

// ------------------------------------------------------------ polylines

namespace {

struct RStrip {
  uint32_t color = 0;
  int32_t count = 0;
  std::array<RVertexColored, kShapeStripPoints> points{};
};
RStrip g_strip;

}  // namespace

void Shape_StripBegin(uint32_t color) {
  g_strip.color = color;
  g_strip.count = 0;
}

void Shape_StripAdd(double x, double y) {
  if (g_strip.count == kShapeStripPoints) {
    // A full strip goes out; the next one starts at its last point, so the
    // line has no gap.
    Submit(EPrimitive::LineStrip, g_strip.points.data(), g_strip.count);
    g_strip.points[0] = g_strip.points[size_t(g_strip.count - 1)];
    g_strip.count = 1;
  }
  g_strip.points[size_t(g_strip.count++)] = RVertexColored{float(x), float(y), float(g_DrawState.depth), g_strip.color};
}

void Shape_StripEnd() {
  if (g_strip.count >= 2) Submit(EPrimitive::LineStrip, g_strip.points.data(), g_strip.count);
  g_strip.count = 0;
}

}  // namespace tavrin
