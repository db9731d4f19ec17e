// The batch builder of the OpenGL device: vertices appended as given,
// primitives turned into index lists.
#include "platform/Platform_GLBatch.h"

namespace tavrin {

namespace {

EPrimitiveClass ClassOf(EPrimitive kind) {
  switch (kind) {
    case EPrimitive::PointList: return EPrimitiveClass::Points;
    case EPrimitive::LineList:
    case EPrimitive::LineStrip: return EPrimitiveClass::Lines;
    default: return EPrimitiveClass::Triangles;
  }
}

uint32_t IndexCount(EPrimitive kind, uint32_t used) {
  switch (kind) {
    case EPrimitive::LineStrip: return 2 * (used - 1);
    case EPrimitive::TriangleStrip:
    case EPrimitive::TriangleFan: return 3 * (used - 2);
    default: return used;
  }
}

}  // namespace

void CDrawBatcher::Add(uint32_t snapshot, TextureId texture, EPrimitive kind, EVertexLayout layout,
                       const void* vertices, int32_t count) {
  const int32_t usedCount = Primitive_UsedVertices(kind, count);
  if (usedCount == 0 || !vertices) return;
  const uint32_t used = uint32_t(usedCount);
  const EPrimitiveClass primitives = ClassOf(kind);
  const size_t stride = size_t(Vertex_Size(layout));

  RBatch* batch = m_batches.empty() ? nullptr : &m_batches.back();
  if (!batch || batch->snapshot != snapshot || batch->texture != texture || batch->layout != layout ||
      batch->primitives != primitives) {
    // A new batch: its vertices start at a whole number of its own vertices.
    const size_t misalign = m_vertices.size() % stride;
    if (misalign) m_vertices.insert(m_vertices.end(), stride - misalign, uint8_t(0));
    const uint32_t first = uint32_t(m_vertices.size() / stride);
    m_batches.push_back(RBatch{snapshot, texture, layout, primitives, uint32_t(m_indices.size()), 0, first, first});
    batch = &m_batches.back();
  }

  const uint32_t base = uint32_t(m_vertices.size() / stride);
  batch->lastVertex = base + used - 1;
  const auto* bytes = static_cast<const uint8_t*>(vertices);
  m_vertices.insert(m_vertices.end(), bytes, bytes + used * stride);

  const uint32_t indexCount = IndexCount(kind, used);
  const size_t start = m_indices.size();
  m_indices.resize(start + indexCount);
  uint32_t* out = m_indices.data() + start;
  switch (kind) {
    case EPrimitive::PointList:
    case EPrimitive::LineList:
    case EPrimitive::TriangleList:
      for (uint32_t i = 0; i < used; ++i) *out++ = base + i;
      break;
    case EPrimitive::LineStrip:
      for (uint32_t i = 0; i + 1 < used; ++i) {
        *out++ = base + i;
        *out++ = base + i + 1;
      }
      break;
    case EPrimitive::TriangleStrip:
      // Every other triangle of a strip runs the other way round; listing
      // it as (i, i+2, i+1) keeps that winding with vertex i first.
      for (uint32_t i = 0; i + 2 < used; ++i) {
        *out++ = base + i;
        *out++ = base + i + ((i & 1) ? 2 : 1);
        *out++ = base + i + ((i & 1) ? 1 : 2);
      }
      break;
    case EPrimitive::TriangleFan:
      // Triangle (0, i, i+1) turned round to start at i: same winding.
      for (uint32_t i = 1; i + 1 < used; ++i) {
        *out++ = base + i;
        *out++ = base + i + 1;
        *out++ = base;
      }
      break;
  }
  batch->indexCount += indexCount;
}

void CDrawBatcher::Clear() {
  m_batches.clear();
  m_vertices.clear();
  m_indices.clear();
}

}  // namespace tavrin
