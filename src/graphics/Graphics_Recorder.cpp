// The recording device: draws and clears kept in order, textures kept as
// plain pixel arrays.
#include "graphics/Graphics_Recorder.h"

#include <algorithm>
#include <cstring>

namespace tavrin {

namespace {

RVertexLit Widen(EVertexLayout layout, const uint8_t* p) {
  RVertexLit v{};
  switch (layout) {
    case EVertexLayout::Colored: {
      RVertexColored c;
      std::memcpy(&c, p, sizeof c);
      v.x = c.x, v.y = c.y, v.z = c.z, v.color = c.color;
      break;
    }
    case EVertexLayout::Textured: {
      RVertexTextured t;
      std::memcpy(&t, p, sizeof t);
      v.x = t.x, v.y = t.y, v.z = t.z, v.color = t.color, v.u = t.u, v.v = t.v;
      break;
    }
    case EVertexLayout::Lit: std::memcpy(&v, p, sizeof v); break;
  }
  return v;
}

bool Inside(const RRect& r, int32_t w, int32_t h) {
  return r.w > 0 && r.h > 0 && r.x >= 0 && r.y >= 0 && r.x <= w - r.w && r.y <= h - r.h;
}

}  // namespace

CRecordingDevice::CRecordingDevice(int32_t backBufferW, int32_t backBufferH, int32_t maxTextureSide)
    : m_backW(backBufferW), m_backH(backBufferH), m_maxSide(maxTextureSide) {
  m_viewport = RViewport{0, 0, m_backW, m_backH, 0, 1};
}

void CRecordingDevice::BeginFrame() { m_stats.drawCalls = 0; }

void CRecordingDevice::EndFrame() {
  m_stats.lastFrameDrawCalls = m_stats.drawCalls;
  ++m_stats.frames;
}

void CRecordingDevice::Present(const RRect&, const RRect&, uint32_t) { ++m_presents; }

bool CRecordingDevice::BackBuffer_Resize(int32_t w, int32_t h) {
  if (w < 1 || h < 1 || w > m_maxSide || h > m_maxSide) return false;
  m_backW = w;
  m_backH = h;
  return true;
}

bool CRecordingDevice::SetRenderTarget(TextureId target, DepthBufferId depth) {
  int32_t w = m_backW, h = m_backH;
  if (target != kNoTexture) {
    const RTexture* t = Find(target);
    if (!t || !t->renderTarget) return false;
    w = t->w;
    h = t->h;
  }
  if (depth != kNoDepthBuffer) {
    const bool exists = depth >= 0 && size_t(depth) < m_depths.size() && m_depths[size_t(depth)].used;
    if (target == kNoTexture || !exists || m_depths[size_t(depth)].w < w || m_depths[size_t(depth)].h < h)
      return false;
  }
  m_target = target;
  m_targetDepth = depth;
  m_viewport = RViewport{0, 0, w, h, 0, 1};
  return true;
}

DepthBufferId CRecordingDevice::DepthBuffer_Create(int32_t w, int32_t h) {
  if (w < 1 || h < 1 || w > m_maxSide || h > m_maxSide) return kNoDepthBuffer;
  size_t slot = 0;
  while (slot < m_depths.size() && m_depths[slot].used) ++slot;
  if (slot == m_depths.size()) m_depths.emplace_back();
  m_depths[slot] = RDepth{true, w, h};
  return DepthBufferId(slot);
}

void CRecordingDevice::DepthBuffer_Free(DepthBufferId depth) {
  if (depth < 0 || size_t(depth) >= m_depths.size()) return;
  m_depths[size_t(depth)] = RDepth{};
  if (m_targetDepth == depth) m_targetDepth = kNoDepthBuffer;
}

int32_t CRecordingDevice::DepthBuffer_Count() const {
  int32_t n = 0;
  for (const RDepth& d : m_depths) n += d.used ? 1 : 0;
  return n;
}

void CRecordingDevice::Clear(bool clearColor, uint32_t color, bool clearDepth, float depth) {
  m_clears.push_back(RRecordedClear{clearColor, color, clearDepth, depth, m_target, m_viewport, m_draws.size()});
}

TextureId CRecordingDevice::Texture_Create(int32_t w, int32_t h, bool renderTarget) {
  if (w < 1 || h < 1 || w > m_maxSide || h > m_maxSide) return kNoTexture;
  size_t slot = 0;
  while (slot < m_textures.size() && m_textures[slot].used) ++slot;
  if (slot == m_textures.size()) m_textures.emplace_back();
  RTexture& t = m_textures[slot];
  t.used = true;
  t.renderTarget = renderTarget;
  t.w = w;
  t.h = h;
  t.pixels.assign(size_t(w) * size_t(h), 0);
  return TextureId(slot);
}

void CRecordingDevice::Texture_Free(TextureId texture) {
  if (RTexture* t = Find(texture)) {
    if (m_target == texture) SetRenderTarget(kNoTexture);
    if (m_texture == texture) m_texture = kNoTexture;  // a later texture may take the id
    *t = RTexture{};
  }
}

bool CRecordingDevice::Texture_Size(TextureId texture, int32_t& w, int32_t& h) const {
  const RTexture* t = Find(texture);
  w = t ? t->w : 0;
  h = t ? t->h : 0;
  return t != nullptr;
}

bool CRecordingDevice::Texture_IsRenderTarget(TextureId texture) const {
  const RTexture* t = Find(texture);
  return t && t->renderTarget;
}

bool CRecordingDevice::Texture_Write(TextureId texture, int32_t x, int32_t y, const RPixelSource& pixels) {
  RTexture* t = Find(texture);
  if (!t || !pixels.pixels || pixels.stride < pixels.w || !Inside(RRect{x, y, pixels.w, pixels.h}, t->w, t->h))
    return false;
  for (int32_t row = 0; row < pixels.h; ++row)
    std::copy_n(pixels.pixels + size_t(row) * size_t(pixels.stride), size_t(pixels.w),
                t->pixels.begin() + ptrdiff_t(size_t(y + row) * size_t(t->w) + size_t(x)));
  return true;
}

bool CRecordingDevice::Texture_Read(TextureId texture, const RRect& area, uint32_t* out) {
  const RTexture* t = Find(texture);
  if (!t || !out || !Inside(area, t->w, t->h)) return false;
  for (int32_t row = 0; row < area.h; ++row)
    std::copy_n(t->pixels.begin() + ptrdiff_t(size_t(area.y + row) * size_t(t->w) + size_t(area.x)), size_t(area.w),
                out + size_t(row) * size_t(area.w));
  return true;
}

void CRecordingDevice::Draw(EPrimitive kind, EVertexLayout layout, const void* vertices, int32_t count) {
  const int32_t used = Primitive_UsedVertices(kind, count);
  if (used == 0 || !vertices) return;
  RRecordedDraw draw;
  draw.kind = kind;
  draw.layout = layout;
  const auto* bytes = static_cast<const uint8_t*>(vertices);
  draw.vertices.reserve(size_t(used));
  for (int32_t i = 0; i < used; ++i) draw.vertices.push_back(Widen(layout, bytes + size_t(i) * size_t(Vertex_Size(layout))));
  draw.texture = Find(m_texture) ? m_texture : kNoTexture;
  draw.target = m_target;
  draw.state = m_state;
  draw.world = m_transforms[size_t(ETransform::World)];
  draw.view = m_transforms[size_t(ETransform::View)];
  draw.projection = m_transforms[size_t(ETransform::Projection)];
  draw.viewport = m_viewport;
  draw.frame = m_stats.frames;
  m_draws.push_back(std::move(draw));
  ++m_stats.drawCalls;
}

const CRecordingDevice::RTexture* CRecordingDevice::Find(TextureId id) const {
  if (id < 0 || size_t(id) >= m_textures.size() || !m_textures[size_t(id)].used) return nullptr;
  return &m_textures[size_t(id)];
}

}  // namespace tavrin
