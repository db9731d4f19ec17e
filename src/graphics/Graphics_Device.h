// The graphics device: the one door through which everything a game draws
// reaches the screen. Sprites, backgrounds, text, surfaces, shapes, particles
// and 3D models all come down to what this interface offers: textures,
// render targets, transforms, a small set of render states and arrays of
// vertices. The platform opens the real device on a game window
// (IPlatform::Window_OpenDevice); tests may use the recording device
// (Graphics_Recorder.h), which keeps every draw instead of rasterizing it.
//
// Colours. Games give colours as 0x00BBGGRR (red in the low byte) with a
// separate alpha from 0 to 1; Device_ArgbOf turns such a pair into the
// 0xAARRGGBB that vertices, clears and fog carry. Pixels (textures, copies of
// the back buffer) are 0xAARRGGBB words too, row-major, top row first, the
// layout of TBitmap32.
//
// Positions. Pixel centres lie on whole coordinates: a pixel (x, y) covers
// x - 0.5 .. x + 0.5, so a quad whose corners are offset by -0.5 puts texel
// centres exactly on pixel centres. The viewport's top-left is the target's
// top-left; y grows downwards on every target.
//
// Order. Draws reach the target in the order they were made; the device may
// gather consecutive draws with equal state into one, but never reorders.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <span>
#include <utility>

#include "graphics/Graphics_Matrix.h"
#include "package/BM32_Bitmap.h"

namespace tavrin {

using TextureId = int32_t;
inline constexpr TextureId kNoTexture = -1;  // no texture; as a render target: the back buffer
using DepthBufferId = int32_t;
inline constexpr DepthBufferId kNoDepthBuffer = -1;  // as a target's depth: the target's own

struct RRect {
  int32_t x = 0, y = 0, w = 0, h = 0;
  bool operator==(const RRect&) const = default;
};

// Where drawing lands on the current target, and the depth range it uses.
struct RViewport {
  int32_t x = 0, y = 0, w = 0, h = 0;
  float minZ = 0, maxZ = 1;
  bool operator==(const RViewport&) const = default;
};

// The game's colour 0x00BBGGRR with alpha 0..1 as 0xAARRGGBB. The alpha is
// rounded to 0..255; NaN or less than 0 is 0, more than 1 is 255.
inline uint32_t Device_ArgbOf(uint32_t color, double alpha) {
  const double a = std::isnan(alpha) ? 0.0 : std::fmin(std::fmax(alpha * 255.0, 0.0), 255.0);
  const uint32_t a8 = uint32_t(std::nearbyint(a));
  return (a8 << 24) | ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

// What a run of vertices makes. The numbers are those games use for their
// primitive kinds.
enum class EPrimitive : int32_t {
  PointList = 1,
  LineList = 2,      // pairs
  LineStrip = 3,     // each vertex joined to the next
  TriangleList = 4,  // triples
  TriangleStrip = 5, // each vertex with the two before it
  TriangleFan = 6,   // each vertex with the one before it and the first
};

// How many of `count` vertices make whole primitives of the kind: the rest
// (the odd vertex of a line list, a strip of two) is not drawn. 0 for an
// unknown kind.
inline constexpr int32_t Primitive_UsedVertices(EPrimitive kind, int32_t count) {
  if (count <= 0) return 0;
  switch (kind) {
    case EPrimitive::PointList: return count;
    case EPrimitive::LineList: return count - count % 2;
    case EPrimitive::LineStrip: return count >= 2 ? count : 0;
    case EPrimitive::TriangleList: return count - count % 3;
    case EPrimitive::TriangleStrip:
    case EPrimitive::TriangleFan: return count >= 3 ? count : 0;
  }
  return 0;
}

// The three vertex layouts. Colours are 0xAARRGGBB.
struct RVertexColored {  // untextured shapes
  float x, y, z;
  uint32_t color;
};
struct RVertexTextured {  // textured quads and 2D primitives
  float x, y, z;
  uint32_t color;
  float u, v;
};
struct RVertexLit {  // 3D primitives and models
  float x, y, z;
  float nx, ny, nz;
  uint32_t color;
  float u, v;
};
static_assert(sizeof(RVertexColored) == 16 && sizeof(RVertexTextured) == 24 && sizeof(RVertexLit) == 36);

enum class EVertexLayout : uint8_t { Colored, Textured, Lit };

inline constexpr int32_t Vertex_Size(EVertexLayout layout) {
  return layout == EVertexLayout::Colored ? 16 : layout == EVertexLayout::Textured ? 24 : 36;
}

// Blend factors, numbered as games number them (their bm_* constants).
// Colour and alpha are blended with the same factors.
enum EBlendFactor : int32_t {
  kBlendZero = 1,
  kBlendOne = 2,
  kBlendSrcColor = 3,
  kBlendInvSrcColor = 4,
  kBlendSrcAlpha = 5,
  kBlendInvSrcAlpha = 6,
  kBlendDestAlpha = 7,
  kBlendInvDestAlpha = 8,
  kBlendDestColor = 9,
  kBlendInvDestColor = 10,
  kBlendSrcAlphaSat = 11,
  // Older pairs named by their source factor: the destination factor is the
  // opposite one, whatever the destination says.
  kBlendBothSrcAlpha = 12,     // source alpha, inverse source alpha
  kBlendBothInvSrcAlpha = 13,  // inverse source alpha, source alpha
};

// A light for 3D drawing. Kept with the state so that lit drawing can come
// without changing this interface; the device does not light vertices yet.
struct RLight {
  enum EKind : int32_t { Directional = 0, Point = 1 };
  bool enabled = false;
  EKind kind = Directional;
  RVector3 position;   // point lights
  RVector3 direction;  // directional lights
  float range = 0;     // point lights
  uint32_t color = 0xFFFFFFFF;
  bool operator==(const RLight&) const = default;
};

// Linear fog: at eye depth `start` and nearer the colour is untouched, at
// `end` and beyond it is the fog colour (alpha unchanged).
struct RFog {
  bool enabled = false;
  uint32_t color = 0xFF000000;  // 0xAARRGGBB; the alpha is not used
  float start = 0, end = 1;
  bool operator==(const RFog&) const = default;
};

// Everything that decides how a vertex array becomes pixels, besides the
// texture, the transforms and the viewport. The defaults are those of a
// game's start.
struct RRenderState {
  // Blending: result = source x blendSource + destination x blendDestination.
  // A number outside the known factors blends as the default pair.
  int32_t blendSource = kBlendSrcAlpha;
  int32_t blendDestination = kBlendInvSrcAlpha;
  // Alpha test: only pixels whose alpha (0..255) is greater than the
  // reference are drawn; the others leave colour and depth untouched.
  bool alphaTest = false;
  uint8_t alphaReference = 0;
  // Culling drops triangles that appear counter-clockwise on the target.
  bool culling = false;
  // Smooth shading blends the vertex colours across a shape; flat shading
  // colours each triangle or line by one vertex: the first of a list's
  // triangle, vertex i of a strip's triangle i, the second of a fan's.
  bool smoothShading = true;
  // Depth test: a pixel is drawn where it is nearer or as near as what the
  // depth buffer holds, and then written to it. Off: neither tested nor written.
  bool depthTest = false;
  bool linearFilter = true;     // texture sampling: linear, or the nearest texel
  bool textureRepeat = false;   // texture coordinates wrap, or clamp to the edge
  bool textureBlend = true;     // texture x vertex colour, or the texture alone
  bool lighting = false;        // not applied yet (see RLight)
  uint32_t ambient = 0;         // 0xAARRGGBB, with lighting
  std::array<RLight, 8> lights{};
  RFog fog;
  bool operator==(const RRenderState&) const = default;
};

enum class ETransform : uint8_t { World, View, Projection };

// Pixels handed to the device: `stride` pixels from one row to the next.
struct RPixelSource {
  const uint32_t* pixels = nullptr;
  int32_t w = 0, h = 0;
  int32_t stride = 0;
};

struct RDeviceStats {
  int32_t drawCalls = 0;          // draw calls sent to the graphics card in this frame so far
  int32_t lastFrameDrawCalls = 0; // ... in the last frame that ended
  int64_t frames = 0;             // frames ended
};

class IGraphicsDevice {
 public:
  virtual ~IGraphicsDevice() = default;

  // ---------------------------------------------------------------- frames
  // A frame runs from BeginFrame to EndFrame; Present shows the back buffer
  // and may come after EndFrame or, to repaint a window, at any time. The
  // back buffer keeps its pixels across Present: a game that does not clear
  // draws over its last frame.
  virtual void BeginFrame() = 0;
  virtual void EndFrame() = 0;
  // Shows `source` of the back buffer in `destination` of the window's
  // client area (scaled when the sizes differ); the rest of the client area
  // gets `marginColor` (0xAARRGGBB).
  virtual void Present(const RRect& source, const RRect& destination, uint32_t marginColor) = 0;
  // Waiting for the screen's vertical blank before showing a frame; false
  // when the screen cannot do it.
  virtual bool SetVSync(bool on) = 0;
  virtual RDeviceStats Stats() const = 0;

  // ----------------------------------------------------------- back buffer
  virtual int32_t BackBufferWidth() const = 0;
  virtual int32_t BackBufferHeight() const = 0;
  // A new size keeps the pixels both sizes share; false (nothing changed)
  // for a side below 1 or above Texture_MaxSide.
  virtual bool BackBuffer_Resize(int32_t w, int32_t h) = 0;
  // Copies `area` of the back buffer into `out` (area.w x area.h pixels,
  // top row first). The back buffer is opaque: every alpha is 255. False
  // (nothing written) when the area is empty or not inside the back buffer.
  virtual bool BackBuffer_Read(const RRect& area, uint32_t* out) = 0;

  // --------------------------------------------------------------- targets
  // Drawing goes to the back buffer (kNoTexture) or to a render-target
  // texture. The back buffer has its own depth buffer; a render target draws
  // with the depth buffer it is given, or with one of its own (made when it
  // first needs it). Switching sets the viewport to the whole new target.
  // False (target unchanged) for any other texture, or a depth buffer that
  // does not exist or is smaller than the target.
  virtual bool SetRenderTarget(TextureId target, DepthBufferId depth) = 0;
  bool SetRenderTarget(TextureId target) { return SetRenderTarget(target, kNoDepthBuffer); }
  virtual TextureId RenderTarget() const = 0;
  // Depth buffers made apart from any target, so that one may outlive the
  // textures it served: kNoDepthBuffer when a side is below 1 or above
  // Texture_MaxSide, or the card refuses. Freed ids are reused, lowest
  // first; freeing one leaves the targets it served with their own.
  virtual DepthBufferId DepthBuffer_Create(int32_t w, int32_t h) = 0;
  virtual void DepthBuffer_Free(DepthBufferId depth) = 0;
  virtual int32_t DepthBuffer_Count() const = 0;
  // Clears the viewport's rectangle of the current target: its colour to
  // `color` (0xAARRGGBB) and/or its depth to `depth`.
  virtual void Clear(bool clearColor, uint32_t color, bool clearDepth, float depth = 1.0f) = 0;

  // ----------------------------------------------------------------- state
  virtual void SetViewport(const RViewport& viewport) = 0;
  virtual const RViewport& Viewport() const = 0;
  virtual void SetTransform(ETransform which, const RMatrix& matrix) = 0;
  virtual const RMatrix& Transform(ETransform which) const = 0;
  virtual void SetRenderState(const RRenderState& state) = 0;
  virtual const RRenderState& RenderState() const = 0;
  // The texture of the next draws; kNoTexture (or a texture that does not
  // exist) draws with the vertex colours alone.
  virtual void SetTexture(TextureId texture) = 0;
  virtual TextureId Texture() const = 0;

  // -------------------------------------------------------------- textures
  // A w x h texture of 32-bit 0xAARRGGBB texels, all 0 at first, that may
  // be a render target (see SetRenderTarget). kNoTexture when a side is below 1 or
  // above Texture_MaxSide, or the card refuses. Freed ids are reused, lowest
  // first.
  virtual TextureId Texture_Create(int32_t w, int32_t h, bool renderTarget) = 0;
  virtual void Texture_Free(TextureId texture) = 0;
  virtual bool Texture_Exists(TextureId texture) const = 0;
  // The texture's size; false (and 0 x 0) when it does not exist.
  virtual bool Texture_Size(TextureId texture, int32_t& w, int32_t& h) const = 0;
  virtual int32_t Texture_MaxSide() const = 0;
  // Writes the pixels with their top-left at (x, y). False (nothing written)
  // when they do not fit inside the texture or the texture does not exist.
  virtual bool Texture_Write(TextureId texture, int32_t x, int32_t y, const RPixelSource& pixels) = 0;
  // Copies `area` of the texture into `out` (area.w x area.h pixels). False
  // when the area is empty or not inside the texture.
  virtual bool Texture_Read(TextureId texture, const RRect& area, uint32_t* out) = 0;

  // --------------------------------------------------------------- drawing
  // Draws `count` vertices of the given layout as `kind`, with the current
  // texture, state, transforms, viewport and target. Vertices that do not
  // complete a primitive (the third of a line list, ...) are left out; an
  // unknown kind draws nothing. Strips and fans are never joined to the
  // strip or fan drawn before them.
  virtual void Draw(EPrimitive kind, EVertexLayout layout, const void* vertices, int32_t count) = 0;

  // ----------------------------------------------------- typed conveniences
  void Draw(EPrimitive kind, std::span<const RVertexColored> v) {
    Draw(kind, EVertexLayout::Colored, v.data(), int32_t(v.size()));
  }
  void Draw(EPrimitive kind, std::span<const RVertexTextured> v) {
    Draw(kind, EVertexLayout::Textured, v.data(), int32_t(v.size()));
  }
  void Draw(EPrimitive kind, std::span<const RVertexLit> v) {
    Draw(kind, EVertexLayout::Lit, v.data(), int32_t(v.size()));
  }
  // A whole bitmap, or the `part` of it, placed at (x, y) of the texture.
  bool Texture_Upload(TextureId texture, const TBitmap32& bitmap, int32_t x = 0, int32_t y = 0) {
    return Texture_Upload(texture, bitmap, RRect{0, 0, bitmap.s_w, bitmap.s_h}, x, y);
  }
  bool Texture_Upload(TextureId texture, const TBitmap32& bitmap, const RRect& part, int32_t x, int32_t y) {
    if (part.x < 0 || part.y < 0 || part.w <= 0 || part.h <= 0 || part.x > bitmap.s_w - part.w ||
        part.y > bitmap.s_h - part.h)
      return false;
    const uint32_t* first = bitmap.s_data.data() + size_t(part.y) * size_t(bitmap.s_w) + size_t(part.x);
    return Texture_Write(texture, x, y, RPixelSource{first, part.w, part.h, bitmap.s_w});
  }
  // `area` of the back buffer, or of a texture, as a bitmap; false (bitmap
  // untouched) when the area is empty or not inside.
  bool BackBuffer_Copy(const RRect& area, TBitmap32& out) { return CopyInto(area, out, kNoTexture, true); }
  bool Texture_Copy(TextureId texture, const RRect& area, TBitmap32& out) {
    return CopyInto(area, out, texture, false);
  }

 private:
  bool CopyInto(const RRect& area, TBitmap32& out, TextureId texture, bool backBuffer) {
    int32_t w = BackBufferWidth(), h = BackBufferHeight();
    if (!backBuffer && !Texture_Size(texture, w, h)) return false;
    // Checked before the pixels are allocated: a wild rectangle asks for nothing.
    if (area.w <= 0 || area.h <= 0 || area.x < 0 || area.y < 0 || area.x > w - area.w || area.y > h - area.h)
      return false;
    TBitmap32 copy;
    copy.s_w = area.w;
    copy.s_h = area.h;
    copy.s_data.resize(size_t(area.w) * size_t(area.h));
    const bool ok = backBuffer ? BackBuffer_Read(area, copy.s_data.data())
                               : Texture_Read(texture, area, copy.s_data.data());
    if (ok) out = std::move(copy);
    return ok;
  }
};

}  // namespace tavrin
