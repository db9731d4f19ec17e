// Gathers draws for the OpenGL device between two moments at which the
// graphics card must catch up (a clear, a change of target, a read-back, the
// end of a frame). Consecutive draws with the same state, texture, layout
// and kind of primitive become one batch, in the order they were made.
//
// Every kind of primitive becomes a list of indices into the vertices: a
// strip or a fan turns into separate triangles, a line strip into separate
// lines, so two strips in one batch never join. Each triangle lists first
// the vertex that colours it under flat shading (a list's first, vertex i of
// a strip's triangle i, the second of a fan's), keeping its winding, so that
// culling and flat shading see exactly what the strip or fan described.
//
// The arrays keep their capacity from batch to batch: once a game's frames
// have been seen, gathering allocates nothing.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Graphics_Device.h"

namespace tavrin {

enum class EPrimitiveClass : uint8_t { Points, Lines, Triangles };

struct RBatch {
  uint32_t snapshot = 0;  // the device's state snapshot the batch draws with
  TextureId texture = kNoTexture;
  EVertexLayout layout = EVertexLayout::Colored;
  EPrimitiveClass primitives = EPrimitiveClass::Triangles;
  uint32_t firstIndex = 0;
  uint32_t indexCount = 0;
  uint32_t firstVertex = 0, lastVertex = 0;  // the range its indices point into
};

class CDrawBatcher {
 public:
  // Adds a draw made with the given snapshot and texture. Vertices that do
  // not complete a primitive are left out; nothing at all is added when no
  // primitive is complete.
  void Add(uint32_t snapshot, TextureId texture, EPrimitive kind, EVertexLayout layout, const void* vertices,
           int32_t count);

  bool Empty() const { return m_batches.empty(); }
  const std::vector<RBatch>& Batches() const { return m_batches; }
  // The vertices of all batches, each batch's starting at a multiple of its
  // layout's size; the indices count vertices of that size from the start.
  const std::vector<uint8_t>& VertexBytes() const { return m_vertices; }
  const std::vector<uint32_t>& Indices() const { return m_indices; }
  // Forgets the batches, keeping the arrays' capacity.
  void Clear();

 private:
  std::vector<RBatch> m_batches;
  std::vector<uint8_t> m_vertices;
  std::vector<uint32_t> m_indices;
};

}  // namespace tavrin
