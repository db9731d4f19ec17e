// A graphics device that rasterizes nothing: it keeps every draw with its
// vertices, primitive kind, texture, state, transforms, viewport and target,
// and the pixels of every texture it is given. Drawing code can be checked
// with it where no graphics card is at hand: the corners of a sprite's quad,
// its texture coordinates, its colours, the blend mode it asked for.
//
// The back buffer is never drawn into, so it cannot be read; textures can,
// and hold exactly what was written to them.
#pragma once

#include <vector>

#include "graphics/Graphics_Device.h"

namespace tavrin {

struct RRecordedDraw {
  EPrimitive kind = EPrimitive::PointList;
  EVertexLayout layout = EVertexLayout::Colored;
  // The vertices as given, widened to the full layout: a layout without
  // normals has them 0, one without texture coordinates has those 0.
  std::vector<RVertexLit> vertices;
  TextureId texture = kNoTexture;
  TextureId target = kNoTexture;
  RRenderState state;
  RMatrix world, view, projection;
  RViewport viewport;
  int64_t frame = 0;  // frames ended before this draw
};

struct RRecordedClear {
  bool clearColor = false;
  uint32_t color = 0;
  bool clearDepth = false;
  float depth = 1;
  TextureId target = kNoTexture;
  RViewport viewport;
  size_t drawsBefore = 0;  // how many draws came before it
};

class CRecordingDevice final : public IGraphicsDevice {
 public:
  using IGraphicsDevice::Draw;
  using IGraphicsDevice::SetRenderTarget;

  explicit CRecordingDevice(int32_t backBufferW = 640, int32_t backBufferH = 480, int32_t maxTextureSide = 8192);

  const std::vector<RRecordedDraw>& Draws() const { return m_draws; }
  const std::vector<RRecordedClear>& Clears() const { return m_clears; }
  int32_t Presents() const { return m_presents; }
  void ForgetDraws() {
    m_draws.clear();
    m_clears.clear();
  }

  void BeginFrame() override;
  void EndFrame() override;
  void Present(const RRect& source, const RRect& destination, uint32_t marginColor) override;
  bool SetVSync(bool) override { return false; }
  RDeviceStats Stats() const override { return m_stats; }

  int32_t BackBufferWidth() const override { return m_backW; }
  int32_t BackBufferHeight() const override { return m_backH; }
  bool BackBuffer_Resize(int32_t w, int32_t h) override;
  bool BackBuffer_Read(const RRect&, uint32_t*) override { return false; }

  bool SetRenderTarget(TextureId target, DepthBufferId depth) override;
  TextureId RenderTarget() const override { return m_target; }
  // The depth buffer given with the current target (kNoDepthBuffer: its own).
  DepthBufferId RenderTargetDepth() const { return m_targetDepth; }
  DepthBufferId DepthBuffer_Create(int32_t w, int32_t h) override;
  void DepthBuffer_Free(DepthBufferId depth) override;
  int32_t DepthBuffer_Count() const override;
  void Clear(bool clearColor, uint32_t color, bool clearDepth, float depth) override;

  void SetViewport(const RViewport& viewport) override { m_viewport = viewport; }
  const RViewport& Viewport() const override { return m_viewport; }
  void SetTransform(ETransform which, const RMatrix& matrix) override { m_transforms[size_t(which)] = matrix; }
  const RMatrix& Transform(ETransform which) const override { return m_transforms[size_t(which)]; }
  void SetRenderState(const RRenderState& state) override { m_state = state; }
  const RRenderState& RenderState() const override { return m_state; }
  void SetTexture(TextureId texture) override { m_texture = texture; }
  TextureId Texture() const override { return m_texture; }

  TextureId Texture_Create(int32_t w, int32_t h, bool renderTarget) override;
  void Texture_Free(TextureId texture) override;
  bool Texture_Exists(TextureId texture) const override { return Find(texture) != nullptr; }
  bool Texture_Size(TextureId texture, int32_t& w, int32_t& h) const override;
  int32_t Texture_MaxSide() const override { return m_maxSide; }
  bool Texture_Write(TextureId texture, int32_t x, int32_t y, const RPixelSource& pixels) override;
  bool Texture_Read(TextureId texture, const RRect& area, uint32_t* out) override;
  // Whether the texture was made as a render target.
  bool Texture_IsRenderTarget(TextureId texture) const;

  void Draw(EPrimitive kind, EVertexLayout layout, const void* vertices, int32_t count) override;

 private:
  struct RTexture {
    bool used = false;
    bool renderTarget = false;
    int32_t w = 0, h = 0;
    std::vector<uint32_t> pixels;
  };
  const RTexture* Find(TextureId id) const;
  RTexture* Find(TextureId id) { return const_cast<RTexture*>(static_cast<const CRecordingDevice*>(this)->Find(id)); }

  int32_t m_backW, m_backH, m_maxSide;
  std::vector<RTexture> m_textures;
  std::vector<RRecordedDraw> m_draws;
  std::vector<RRecordedClear> m_clears;
  RViewport m_viewport;
  RMatrix m_transforms[3];
  RRenderState m_state;
  TextureId m_texture = kNoTexture;
  TextureId m_target = kNoTexture;
  DepthBufferId m_targetDepth = kNoDepthBuffer;
  struct RDepth {
    bool used = false;
    int32_t w = 0, h = 0;
  };
  std::vector<RDepth> m_depths;
  RDeviceStats m_stats;
  int32_t m_presents = 0;
};

}  // namespace tavrin
