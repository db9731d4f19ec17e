#include "graphics/Graphics_Quad.h"

#include <array>
#include <cmath>

#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"

namespace tavrin {

namespace {

// Below this angle (radians) a quad is drawn upright: the rounding of sin
// and cos would only blur an image meant to be pixel-exact.
constexpr double kRotationThreshold = 0.001;

using RQuad = std::array<RVertexTextured, 4>;

// The device and the texture's entry when both exist; the device then draws
// with the texture, clamped.
const RTextureEntry* Prepare(TextureId id, IGraphicsDevice*& device) {
  device = Graphics_Device();
  const RTextureEntry* t = device ? Texture_Entry(id) : nullptr;
  if (!t) return nullptr;
  DrawState_Apply(*device, false);
  device->SetTexture(id);
  return t;
}

// Corners from the offsets (left, top, right, bottom) about (x, y), turned by
// `angle` unless it is below the threshold.
void Place(RQuad& q, double x, double y, double left, double top, double right, double bottom, double angle) {
  const double dx[4] = {left, right, right, left}, dy[4] = {top, top, bottom, bottom};
  const bool turn = std::fabs(angle) >= kRotationThreshold;
  const double c = turn ? std::cos(angle) : 1.0, s = turn ? std::sin(angle) : 0.0;
  const float z = float(g_DrawState.depth);
  for (int i = 0; i < 4; ++i) {
    q[size_t(i)].x = float(turn ? x + dx[i] * c + dy[i] * s : x + dx[i]);
    q[size_t(i)].y = float(turn ? y - dx[i] * s + dy[i] * c : y + dy[i]);
    q[size_t(i)].z = z;
  }
}

void Texels(RQuad& q, double u1, double v1, double u2, double v2) {
  q[0].u = float(u1), q[0].v = float(v1);
  q[1].u = float(u2), q[1].v = float(v1);
  q[2].u = float(u2), q[2].v = float(v2);
  q[3].u = float(u1), q[3].v = float(v2);
}

void Colors(RQuad& q, uint32_t argb) {
  for (RVertexTextured& v : q) v.color = argb;
}

void Whole(RQuad& q, const RTextureEntry& t) { Texels(q, 0, 0, double(t.w) / t.wt, double(t.h) / t.ht); }

void Submit(IGraphicsDevice& device, const RQuad& q) { device.Draw(EPrimitive::TriangleFan, q); }

void DrawPartQuad(IGraphicsDevice& device, const RTextureEntry& t, double left, double top, double width,
                  double height, double x, double y, double xscale, double yscale, double angle, RQuad& q) {
  Place(q, x, y, -0.5, -0.5, -0.5 + width * xscale, -0.5 + height * yscale, angle);
  Texels(q, left / t.wt, top / t.ht, (left + width) / t.wt, (top + height) / t.ht);
  Submit(device, q);
}

// The first grid position of a tiled direction: the lowest position p = start
// + k x tile whose tile (p - offset .. p - offset + tile) reaches past `from`.
double FirstTile(double start, double offset, double tile, double from) {
  double p = start + std::floor((from + offset - tile - start) / tile) * tile;
  while (p - offset + tile <= from) p += tile;
  while (p - offset > from) p -= tile;
  return p;
}

}  // namespace

void Quad_DrawSimple(TextureId id, double x, double y) {
  IGraphicsDevice* device;
  const RTextureEntry* t = Prepare(id, device);
  if (!t) return;
  RQuad q;
  Place(q, x, y, -0.5, -0.5, -0.5 + t->w, -0.5 + t->h, 0);
  Whole(q, *t);
  Colors(q, 0xFFFFFFFF);
  Submit(*device, q);
}

void Quad_Draw(TextureId id, double xorig, double yorig, double x, double y, double xscale, double yscale,
               double angle, uint32_t color, double alpha) {
  IGraphicsDevice* device;
  const RTextureEntry* t = Prepare(id, device);
  if (!t) return;
  RQuad q;
  const double left = -xscale * xorig - 0.5, top = -yscale * yorig - 0.5;
  Place(q, x, y, left, top, left + t->w * xscale, top + t->h * yscale, angle);
  Whole(q, *t);
  Colors(q, Color_ToARGB(color, alpha));
  Submit(*device, q);
}

void Quad_DrawPart(TextureId id, double left, double top, double width, double height, double x, double y,
                   double xscale, double yscale, double angle, uint32_t color, double alpha) {
  IGraphicsDevice* device;
  const RTextureEntry* t = Prepare(id, device);
  if (!t) return;
  RQuad q;
  Colors(q, Color_ToARGB(color, alpha));
  DrawPartQuad(*device, *t, left, top, width, height, x, y, xscale, yscale, angle, q);
}

void Quad_DrawGeneral(TextureId id, double left, double top, double width, double height, double x, double y,
                      double xscale, double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3,
                      uint32_t c4, double alpha) {
  IGraphicsDevice* device;
  const RTextureEntry* t = Prepare(id, device);
  if (!t) return;
  RQuad q;
  q[0].color = Color_ToARGB(c1, alpha);
  q[1].color = Color_ToARGB(c2, alpha);
  q[2].color = Color_ToARGB(c3, alpha);
  q[3].color = Color_ToARGB(c4, alpha);
  DrawPartQuad(*device, *t, left, top, width, height, x, y, xscale, yscale, angle, q);
}

void Quad_DrawPos(TextureId id, double alpha, double x1, double y1, double x2, double y2, double x3, double y3,
                  double x4, double y4) {
  IGraphicsDevice* device;
  const RTextureEntry* t = Prepare(id, device);
  if (!t) return;
  RQuad q;
  const double xs[4] = {x1, x2, x3, x4}, ys[4] = {y1, y2, y3, y4};
  for (size_t i = 0; i < 4; ++i) {
    q[i].x = float(xs[i] - 0.5);
    q[i].y = float(ys[i] - 0.5);
    q[i].z = float(g_DrawState.depth);
  }
  Whole(q, *t);
  Colors(q, Color_ToARGB(0xFFFFFF, alpha));
  Submit(*device, q);
}

void Quad_DrawTiled(TextureId id, bool htiled, bool vtiled, double xorig, double yorig, double x, double y,
                    double xscale, double yscale, double xr, double yr, double wr, double hr, uint32_t color,
                    double alpha) {
  IGraphicsDevice* device;
  const RTextureEntry* t = Prepare(id, device);
  if (!t) return;
  const double tw = std::nearbyint(t->w * xscale), th = std::nearbyint(t->h * yscale);
  if (!(tw >= 1) || !(th >= 1)) return;
  const double all[] = {xorig, yorig, x, y, xscale, yscale, xr, yr, wr, hr};
  for (double v : all)
    if (!std::isfinite(v)) return;
  RQuad q;
  Colors(q, Color_ToARGB(color, alpha));
  Whole(q, *t);
  // The tile at grid position p covers p - offset .. p - offset + tile.
  const double xoff = xscale * xorig, yoff = yscale * yorig;
  const double left = -xoff - 0.5, top = -yoff - 0.5;
  const double right = left + t->w * xscale, bottom = top + t->h * yscale;
  const double x0 = htiled ? FirstTile(std::nearbyint(x), xoff, tw, xr) : std::nearbyint(x);
  const double y0 = vtiled ? FirstTile(std::nearbyint(y), yoff, th, yr) : std::nearbyint(y);
  for (double cx = x0; cx - xoff < xr + wr; cx += tw) {
    for (double cy = y0; cy - yoff < yr + hr; cy += th) {
      Place(q, cx, cy, left, top, right, bottom, 0);
      Submit(*device, q);
      if (!vtiled) break;
    }
    if (!htiled) break;
  }
}

}  // namespace tavrin
