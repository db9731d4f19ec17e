// Primitives games build vertex by vertex: begin with a kind (and maybe a
// texture), add vertices with the draw colour or their own colour and
// texture coordinates, end to draw them. A primitive holds at most
// kPrimitiveMaxVertices vertices; later ones are ignored. Ending draws with
// the texture repeat setting of the drawing state and leaves the vertices
// in place (ending again draws them again). Kinds outside 1..6, and runs too
// short to make one primitive (a strip or fan of fewer than three vertices,
// a line strip of one), draw nothing.
#pragma once

#include <cstdint>

#include "graphics/Graphics_Device.h"

namespace tavrin {

inline constexpr int32_t kPrimitiveMaxVertices = 1001;

// Starts a primitive of `kind` with `texture` (-1 for none); no vertices.
void Primitive_Begin(int32_t kind, TextureId texture);
// Appends a vertex with colour 0xAARRGGBB and texture coordinates (u, v).
void Primitive_Vertex(double x, double y, double u, double v, uint32_t argb);
// Draws the vertices collected since the last begin.
void Primitive_End();
// What was collected, for the curious (tests, debugging).
int32_t Primitive_VertexCount();
const RVertexTextured* Primitive_Vertices();

}  // namespace tavrin
