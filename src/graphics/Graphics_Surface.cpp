#include "graphics/Graphics_Surface.h"

#include <algorithm>
#include <numbers>

#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_Picture.h"
#include "graphics/Graphics_Quad.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"

namespace tavrin {

RSurfaceState g_Surfaces;

namespace {

const RSurface* Find(int32_t id) {
  if (id < 0 || size_t(id) >= g_Surfaces.table.size() || !g_Surfaces.table[size_t(id)].used) return nullptr;
  return &g_Surfaces.table[size_t(id)];
}

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// The smallest of 4, 8, 16, ... that holds n.
int32_t DepthSide(int32_t n) { return std::max(Texture_PowerOfTwo(n), 4); }

// The camera and viewport on the w x h rectangle from the target's top-left.
void Frame(int32_t w, int32_t h) {
  Display_SetViewport(0, 0, w, h);
  Display_SetView(0, 0, w, h, 0);
}

}  // namespace

int32_t Surface_Create(int32_t w, int32_t h) {
  size_t slot = 0;
  while (slot < g_Surfaces.table.size() && g_Surfaces.table[slot].used) ++slot;
  // The texture and depth buffer first: a size the device refuses leaves the
  // table as it was.
  const TextureId tex = Texture_CreateEmpty(w, h, true);
  if (tex == kNoTexture) return -1;
  const DepthBufferId depth = Graphics_Device()->DepthBuffer_Create(DepthSide(w), DepthSide(h));
  if (depth == kNoDepthBuffer) {
    Texture_Free(tex);
    return -1;
  }
  if (slot == g_Surfaces.table.size()) g_Surfaces.table.emplace_back();
  g_Surfaces.table[slot] = RSurface{true, tex, depth, w, h};
  return int32_t(slot);
}

bool Surface_Exists(int32_t id) { return Find(id) != nullptr; }

void Surface_Free(int32_t id) {
  if (!Find(id)) return;
  if (g_Surfaces.target == id) Surface_ResetTarget();
  RSurface& s = g_Surfaces.table[size_t(id)];
  g_Surfaces.oldDepthBuffers.push_back({kSurfaceDepthDelay, s.depth});
  Texture_Free(s.tex);
  s = RSurface{};
}

void Surface_TickDepthBuffers() {
  IGraphicsDevice* device = Graphics_Device();
  std::erase_if(g_Surfaces.oldDepthBuffers, [device](ROldDepthBuffer& old) {
    if (--old.count > 0) return false;
    if (device) device->DepthBuffer_Free(old.depth);
    return true;
  });
}

void Surface_FreeAll() {
  for (size_t id = 0; id < g_Surfaces.table.size(); ++id) Surface_Free(int32_t(id));
  while (!g_Surfaces.oldDepthBuffers.empty()) Surface_TickDepthBuffers();
}

int32_t Surface_GetWidth(int32_t id) {
  const RSurface* s = Find(id);
  return s ? s->w : -1;
}
int32_t Surface_GetHeight(int32_t id) {
  const RSurface* s = Find(id);
  return s ? s->h : -1;
}
TextureId Surface_GetTexture(int32_t id) {
  const RSurface* s = Find(id);
  return s ? s->tex : -1;
}

bool Surface_SetTarget(int32_t id) {
  IGraphicsDevice* device = Graphics_Device();
  const RSurface* s = Find(id);
  if (!device || !s) return false;
  if (g_Surfaces.target == id) return true;
  if (!device->SetRenderTarget(s->tex, s->depth)) return false;
  g_Surfaces.target = id;
  Frame(s->w, s->h);
  return true;
}

bool Surface_ResetTarget() {
  IGraphicsDevice* device = Graphics_Device();
  if (!device || g_Surfaces.target < 0) return false;
  if (!device->SetRenderTarget(kNoTexture)) return false;
  g_Surfaces.target = -1;
  Frame(g_Display.deviceW, g_Display.deviceH);
  return true;
}

bool Surface_Grab(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, TBitmap32& out) {
  IGraphicsDevice* device = Graphics_Device();
  const RSurface* s = Find(id);
  if (!device || !s) return false;
  // 64-bit, so that wild sizes cannot wrap around into a valid rectangle.
  const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(int64_t(x) + w, s->w), y1 = std::min<int64_t>(int64_t(y) + h, s->h);
  if (x1 <= x0 || y1 <= y0) return false;
  return device->Texture_Copy(s->tex, {int32_t(x0), int32_t(y0), int32_t(x1 - x0), int32_t(y1 - y0)}, out);
}

uint32_t Surface_GetPixel(int32_t id, int32_t x, int32_t y) {
  IGraphicsDevice* device = Graphics_Device();
  const RSurface* s = Find(id);
  // Outside is 0, never the nearest pixel inside.
  if (!device || !s || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0;
  uint32_t pixel = 0;
  if (!device->Texture_Read(s->tex, {x, y, 1, 1}, &pixel)) return 0;
  return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

void Surface_CopyPart(int32_t dest, int32_t x, int32_t y, int32_t src, int32_t xs, int32_t ys, int32_t ws,
                      int32_t hs) {
  IGraphicsDevice* device = Graphics_Device();
  const RSurface* d = Find(dest);
  const RSurface* s = Find(src);
  if (!device || !d || !s) return;
  // Clipped in 64 bits: first to the source, then to the destination.
  int64_t dx = x, dy = y, sx = xs, sy = ys, w = ws, h = hs;
  if (sx < 0) dx -= sx, w += sx, sx = 0;
  if (sy < 0) dy -= sy, h += sy, sy = 0;
  w = std::min<int64_t>(w, s->w - sx);
  h = std::min<int64_t>(h, s->h - sy);
  if (dx < 0) sx -= dx, w += dx, dx = 0;
  if (dy < 0) sy -= dy, h += dy, dy = 0;
  w = std::min<int64_t>(w, d->w - dx);
  h = std::min<int64_t>(h, d->h - dy);
  if (w <= 0 || h <= 0) return;
  // Through a copy of the pixels, so a surface copied onto itself reads
  // every pixel before any is written.
  TBitmap32 part;
  if (!device->Texture_Copy(s->tex, {int32_t(sx), int32_t(sy), int32_t(w), int32_t(h)}, part)) return;
  device->Texture_Upload(d->tex, part, int32_t(dx), int32_t(dy));
}

void Surface_Copy(int32_t dest, int32_t x, int32_t y, int32_t src) {
  const RSurface* s = Find(src);
  if (s) Surface_CopyPart(dest, x, y, src, 0, 0, s->w, s->h);
}

bool Surface_Save(int32_t id, const std::string& path, int32_t x, int32_t y, int32_t w, int32_t h) {
  TBitmap32 picture;
  return Surface_Grab(id, x, y, w, h, picture) && Picture_SaveToImageFile(picture, path);
}

void Surface_DrawSimple(int32_t id, double x, double y) {
  if (const RSurface* s = Find(id)) Quad_DrawSimple(s->tex, x, y);
}

void Surface_Draw(int32_t id, double x, double y, double xscale, double yscale, double angle, uint32_t color,
                  double alpha) {
  if (const RSurface* s = Find(id)) Quad_Draw(s->tex, 0, 0, x, y, xscale, yscale, Radians(angle), color, alpha);
}

void Surface_DrawStretched(int32_t id, double x, double y, double w, double h, uint32_t color, double alpha) {
  const RSurface* s = Find(id);
  if (!s || !(w > 0) || !(h > 0) || s->w <= 0 || s->h <= 0) return;
  Quad_Draw(s->tex, 0, 0, x, y, w / s->w, h / s->h, 0, color, alpha);
}

void Surface_DrawPart(int32_t id, double left, double top, double width, double height, double x, double y,
                      double xscale, double yscale, uint32_t color, double alpha) {
  if (const RSurface* s = Find(id)) Quad_DrawPart(s->tex, left, top, width, height, x, y, xscale, yscale, 0, color, alpha);
}

void Surface_DrawGeneral(int32_t id, double left, double top, double width, double height, double x, double y,
                         double xscale, double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3,
                         uint32_t c4, double alpha) {
  if (const RSurface* s = Find(id))
    Quad_DrawGeneral(s->tex, left, top, width, height, x, y, xscale, yscale, Radians(angle), c1, c2, c3, c4, alpha);
}

void Surface_DrawTiled(int32_t id, double x, double y, double xscale, double yscale, uint32_t color, double alpha,
                       double roomW, double roomH) {
  if (const RSurface* s = Find(id))
    Quad_DrawTiled(s->tex, true, true, 0, 0, x, y, xscale, yscale, 0, 0, roomW, roomH, color, alpha);
}

}  // namespace tavrin
