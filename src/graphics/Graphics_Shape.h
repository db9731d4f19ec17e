// Untextured shapes games draw in their draw events: points, lines (thin and
// thick), rectangles, rounded rectangles, triangles, ellipses, arrows,
// buttons, health bars and long polylines such as paths.
//
// Every shape is sent to the device at once as one draw (a polyline may need
// several) in room coordinates, at the drawing depth, with the blend state of
// the drawing state and no texture. Colours are 0xAARRGGBB, already carrying
// their alpha; callers convert game colours with the draw alpha.
//
// Two rules shape the pixels a game sees:
// - Thin lines, points with a colour and the far edges of rectangles get
//   +0.01 so that a whole coordinate falls on the pixel it names rather than
//   on the edge between two pixels: draw_rectangle(10, 10, 20, 20) covers
//   pixels 10 to 20.
// - Ellipses are polygons of `circle precision` steps (4 to 64, a multiple of
//   4, 24 at the start); rounded rectangles use a quarter of those per corner.
//
// Nothing is drawn without a device. No operation allocates.
#pragma once

#include <cstdint>

#include "graphics/Graphics_Device.h"

namespace tavrin {

// The precision as games set it: held within 4..64 and rounded down to a
// multiple of 4 (NaN is 4).
void Shape_SetCirclePrecision(double n);
int32_t Shape_CirclePrecision();

void Shape_Point(double x, double y, uint32_t color);
// A one-pixel line, coloured from c1 at the start to c2 at the end.
void Shape_Line(double x1, double y1, double x2, double y2, uint32_t c1, uint32_t c2);
// A line w pixels wide (two triangles); nothing when the ends coincide.
void Shape_LineWidth(double x1, double y1, double x2, double y2, double w, uint32_t c1, uint32_t c2);
// The box of any two opposite corners; corner colours top-left, top-right,
// bottom-right, bottom-left of the normalised box.
void Shape_Rectangle(double x1, double y1, double x2, double y2, uint32_t c1, uint32_t c2, uint32_t c3,
                     uint32_t c4, bool outline);
// The normalised box with corners rounded by ellipses of at most 10 x 10.
void Shape_RoundRect(double x1, double y1, double x2, double y2, uint32_t centre, uint32_t rim, bool outline);
void Shape_Triangle(double x1, double y1, double x2, double y2, double x3, double y3, uint32_t c1, uint32_t c2,
                    uint32_t c3, bool outline);
// The ellipse inside the box (x1, y1, x2, y2): centre colour in the middle,
// rim colour on the edge.
void Shape_Ellipse(double x1, double y1, double x2, double y2, uint32_t centre, uint32_t rim, bool outline);
// A line with a filled head at (x2, y2) as long as `size` (or the line, when
// shorter); nothing when the ends coincide.
void Shape_Arrow(double x1, double y1, double x2, double y2, double size, uint32_t color);
// A raised (up) or sunken button: light and dark triangles under a face of
// `face` two pixels in from the edge. `alpha` tints the light and dark tones.
void Shape_Button(double x1, double y1, double x2, double y2, bool up, uint32_t face, double alpha);

// A bar filled `amount` percent (held within 0..100) towards `direction`: 0
// from the left (any unknown value too), 1 from the right, 2 from the top, 3
// from the bottom. Its colour runs from mincol (empty) over their middle to
// maxcol (full). Game colours 0x00BBGGRR; `alpha` is the draw alpha.
struct RHealthBar {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double amount = 0;
  uint32_t backColor = 0, minColor = 0, maxColor = 0;
  int32_t direction = 0;
  bool showBack = false, showBorder = false;
};
void Shape_HealthBar(const RHealthBar& bar, double alpha);
// The bar's colour for an amount, as a game colour.
uint32_t Shape_HealthBarColor(double amount, uint32_t minColor, uint32_t maxColor);

// A polyline of any length, in one colour: begin, add points, end. Long ones
// go to the device in strips of at most kShapeStripPoints points, each
// starting where the last ended.
inline constexpr int32_t kShapeStripPoints = 501;
void Shape_StripBegin(uint32_t color);
void Shape_StripAdd(double x, double y);
void Shape_StripEnd();

}  // namespace tavrin
