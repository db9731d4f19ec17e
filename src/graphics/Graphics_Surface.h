// Surfaces: off-screen pictures a game draws into, then draws on the screen
// like a sprite, reads pixel by pixel, copies between and saves.
//
// A surface is a render-target texture of the texture table with a depth
// buffer of its own, of the powers of two (at least 4) that hold its size.
// A freed surface's depth buffer is kept for kSurfaceDepthDelay steps before
// it goes, so that drawing still under way with it never loses it; each
// step's end ticks the delay. While a surface is the target everything drawn lands in
// it (the room too), in the surface's own pixels from its top-left corner;
// resetting the target goes back to the screen with the camera on the whole
// region, not on the view that was drawing before. Ids are the slots of the
// surface table: a freed slot is taken by the next surface, lowest first.
//
// A surface's pixels are undefined until something is drawn into it. A
// device reset frees every surface: games test surface_exists and make
// their surfaces again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/Graphics_Device.h"
#include "package/BM32_Bitmap.h"

namespace tavrin {

struct RSurface {
  bool used = false;
  TextureId tex = kNoTexture;
  DepthBufferId depth = kNoDepthBuffer;
  int32_t w = 0, h = 0;  // as asked for; the texture may be larger
};

inline constexpr int32_t kSurfaceDepthDelay = 60;

// A freed surface's depth buffer and the steps it has left.
struct ROldDepthBuffer {
  int32_t count = 0;
  DepthBufferId depth = kNoDepthBuffer;
};

struct RSurfaceState {
  std::vector<RSurface> table;
  int32_t target = -1;  // the surface being drawn into, -1 for the screen
  std::vector<ROldDepthBuffer> oldDepthBuffers;

  void Reset() { *this = RSurfaceState(); }
};
extern RSurfaceState g_Surfaces;

// A new w x h surface: its id, or -1 (nothing kept) when the size is not
// one the device can make or there is no device.
int32_t Surface_Create(int32_t w, int32_t h);
bool Surface_Exists(int32_t id);
// Nothing for a missing surface; the target goes back to the screen first
// when the surface is the target. Its depth buffer goes kSurfaceDepthDelay
// steps later.
void Surface_Free(int32_t id);
// Every surface, and every depth buffer kept after its surface (a device
// reset leaves nothing of them).
void Surface_FreeAll();
// One step of the delay: a depth buffer whose steps have run out is freed.
void Surface_TickDepthBuffers();
// -1 for a missing surface.
int32_t Surface_GetWidth(int32_t id);
int32_t Surface_GetHeight(int32_t id);
TextureId Surface_GetTexture(int32_t id);

// Draws into the surface from now on: true at once when it already is the
// target; false (target unchanged) without a device or surface.
bool Surface_SetTarget(int32_t id);
// Back to the screen; false when the screen is already the target.
bool Surface_ResetTarget();

// The part (x, y, w, h) of the surface, clipped to it, as a picture; false
// when nothing is left of it.
bool Surface_Grab(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, TBitmap32& out);
// The pixel's colour as a game colour 0x00BBGGRR; 0 outside the surface or
// for a missing one.
uint32_t Surface_GetPixel(int32_t id, int32_t x, int32_t y);
// Copies the part (xs, ys, ws, hs) of `src` to (x, y) of `dest`, both
// clipped: only the part inside both surfaces is copied. A surface may be
// copied onto itself, overlapping or not.
void Surface_CopyPart(int32_t dest, int32_t x, int32_t y, int32_t src, int32_t xs, int32_t ys, int32_t ws,
                      int32_t hs);
void Surface_Copy(int32_t dest, int32_t x, int32_t y, int32_t src);
// Saves the part as a picture file (Picture_SaveToImageFile); false when
// nothing could be grabbed or written.
bool Surface_Save(int32_t id, const std::string& path, int32_t x, int32_t y, int32_t w, int32_t h);

// Drawing a surface like an image (angles in degrees, colours 0x00BBGGRR);
// nothing for a missing surface.
void Surface_DrawSimple(int32_t id, double x, double y);
void Surface_Draw(int32_t id, double x, double y, double xscale, double yscale, double angle, uint32_t color,
                  double alpha);
void Surface_DrawStretched(int32_t id, double x, double y, double w, double h, uint32_t color, double alpha);
void Surface_DrawPart(int32_t id, double left, double top, double width, double height, double x, double y,
                      double xscale, double yscale, uint32_t color, double alpha);
void Surface_DrawGeneral(int32_t id, double left, double top, double width, double height, double x, double y,
                         double xscale, double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3,
                         uint32_t c4, double alpha);
// Copies cover the rectangle (0, 0, roomW, roomH).
void Surface_DrawTiled(int32_t id, double x, double y, double xscale, double yscale, uint32_t color, double alpha,
                       double roomW, double roomH);

}  // namespace tavrin
