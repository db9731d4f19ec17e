// One textured quad: the basis of every sprite, background, surface and
// glyph on the screen. Each operation draws an image of the texture table
// (or a part of it) as a fan of two triangles whose corners run top-left,
// top-right, bottom-right, bottom-left, with every position moved by -0.5 so
// that texel centres land on pixel centres and an unscaled image is copied
// exactly. Rotation turns the quad about the drawing position,
// counter-clockwise on the screen for a positive angle (radians here).
//
// Nothing is drawn without a device or for a texture that does not exist.
// Quads always sample clamped; the drawing state (Graphics_DrawState.h)
// gives blending and filtering. No operation allocates.
#pragma once

#include <cstdint>

#include "graphics/Graphics_Device.h"

namespace tavrin {

// The whole image at (x, y), unscaled, white and opaque.
void Quad_DrawSimple(TextureId id, double x, double y);
// The whole image with its origin (xorig, yorig) at (x, y), scaled, rotated
// about (x, y) when |angle| >= 0.001, blended with a game colour and alpha.
void Quad_Draw(TextureId id, double xorig, double yorig, double x, double y, double xscale, double yscale,
               double angle, uint32_t color, double alpha);
// The part (left, top, width, height) of the image, in image pixels, with
// its top-left at (x, y). The part is not clipped: outside the image the
// edge texels repeat.
void Quad_DrawPart(TextureId id, double left, double top, double width, double height, double x, double y,
                   double xscale, double yscale, double angle, uint32_t color, double alpha);
// As Quad_DrawPart with a colour per corner: c1 top-left, c2 top-right, c3
// bottom-right, c4 bottom-left.
void Quad_DrawGeneral(TextureId id, double left, double top, double width, double height, double x, double y,
                      double xscale, double yscale, double angle, uint32_t c1, uint32_t c2, uint32_t c3,
                      uint32_t c4, double alpha);
// The whole image stretched onto four corners (top-left, top-right,
// bottom-right, bottom-left), white with alpha.
void Quad_DrawPos(TextureId id, double alpha, double x1, double y1, double x2, double y2, double x3, double y3,
                  double x4, double y4);
// Copies of the scaled image (origin included) on a grid of whole pixels,
// one tile width of round(w x xscale) apart, covering the area (xr, yr, wr,
// hr) in each tiled direction whatever the origin; in a direction that is
// not tiled the one copy at the drawing position is drawn. Nothing when a
// tile is less than a pixel.
void Quad_DrawTiled(TextureId id, bool htiled, bool vtiled, double xorig, double yorig, double x, double y,
                    double xscale, double yscale, double xr, double yr, double wr, double hr, uint32_t color,
                    double alpha);

}  // namespace tavrin
