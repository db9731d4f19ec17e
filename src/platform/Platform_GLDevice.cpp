// The graphics device on OpenGL 3.3 core. Draws are gathered into batches
// (Platform_GLBatch) and sent when the card must catch up: at a clear, a
// change of target, a read-back, a texture change that a waiting draw uses,
// and the end of a frame. Sending applies only the state that differs from
// what the card already has, uploads all vertices in one go, and makes one
// draw call per batch. The back buffer is a framebuffer object, so its
// pixels survive presenting; presenting copies it into the window.
#include <epoxy/gl.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform_GL.h"
#include "platform/Platform_GLBatch.h"
#include "platform/Platform_GLProgram.h"

namespace tavrin {

namespace {

GLenum BlendFactor(int32_t factor, bool source) {
  switch (factor) {
    case kBlendZero: return GL_ZERO;
    case kBlendOne: return GL_ONE;
    case kBlendSrcColor: return GL_SRC_COLOR;
    case kBlendInvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
    case kBlendSrcAlpha: return GL_SRC_ALPHA;
    case kBlendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
    case kBlendDestAlpha: return GL_DST_ALPHA;
    case kBlendInvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
    case kBlendDestColor: return GL_DST_COLOR;
    case kBlendInvDestColor: return GL_ONE_MINUS_DST_COLOR;
    case kBlendSrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
    default: return source ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
  }
}

// The pair of GL factors for a state; the older "both" sources decide the
// destination too.
void BlendFactors(const RRenderState& s, GLenum& source, GLenum& destination) {
  if (s.blendSource == kBlendBothSrcAlpha) {
    source = GL_SRC_ALPHA, destination = GL_ONE_MINUS_SRC_ALPHA;
  } else if (s.blendSource == kBlendBothInvSrcAlpha) {
    source = GL_ONE_MINUS_SRC_ALPHA, destination = GL_SRC_ALPHA;
  } else {
    source = BlendFactor(s.blendSource, true);
    destination = BlendFactor(s.blendDestination, false);
  }
}

GLenum ModeOf(EPrimitiveClass c) {
  return c == EPrimitiveClass::Points ? GL_POINTS : c == EPrimitiveClass::Lines ? GL_LINES : GL_TRIANGLES;
}

bool Inside(const RRect& r, int32_t w, int32_t h) {
  return r.w > 0 && r.h > 0 && r.x >= 0 && r.y >= 0 && r.x <= w - r.w && r.y <= h - r.h;
}

void SetEnabled(GLenum capability, bool on) { on ? glEnable(capability) : glDisable(capability); }

// Ids are slots: a new object takes the lowest free one.
template <class T>
int32_t PlaceInFirstFree(std::vector<T>& slots, const T& item) {
  size_t slot = 0;
  while (slot < slots.size() && slots[slot].used) ++slot;
  if (slot == slots.size()) slots.emplace_back();
  slots[slot] = item;
  return int32_t(slot);
}

// Everything a batch draws with besides its texture, layout and primitives.
struct RSnapshot {
  RRenderState state;
  RMatrix worldView;
  RMatrix projection;
  RViewport viewport;
  bool operator==(const RSnapshot&) const = default;
};

// What a render target's framebuffer has as its depth attachment.
constexpr DepthBufferId kNoAttachment = -2;
constexpr DepthBufferId kOwnDepth = kNoDepthBuffer;

struct RTextureGL {
  bool used = false;
  bool renderTarget = false;
  int32_t w = 0, h = 0;
  GLuint texture = 0;
  GLuint framebuffer = 0;                // render targets
  GLuint depth = 0;                      // render targets: their own, made when first needed
  DepthBufferId attached = kNoAttachment;  // render targets: kOwnDepth or a depth buffer made apart
};

struct RDepthGL {
  bool used = false;
  int32_t w = 0, h = 0;
  GLuint renderbuffer = 0;
};

class CDeviceGL final : public IGraphicsDevice {
 public:
  using IGraphicsDevice::Draw;
  using IGraphicsDevice::SetRenderTarget;

  CDeviceGL(std::shared_ptr<RGLWindowLink> link, SDL_GLContext context) : m_link(std::move(link)), m_context(context) {}

  ~CDeviceGL() override {
    if (EnsureCurrent()) {
      m_programs.Destroy();
      for (RTextureGL& t : m_textures) DeleteTexture(t);
      for (RDepthGL& d : m_depths) glDeleteRenderbuffers(1, &d.renderbuffer);
      DeleteBackBuffer(m_backFramebuffer, m_backColor, m_backDepth);
      glDeleteFramebuffers(1, &m_scratchFramebuffer);
      glDeleteSamplers(4, m_samplers);
      glDeleteVertexArrays(3, m_vertexArrays);
      glDeleteBuffers(1, &m_vertexBuffer);
      glDeleteBuffers(1, &m_indexBuffer);
    }
    SDL_GL_DeleteContext(m_context);  // takes whatever is left with it
  }

  // Everything that may fail; false with the reason.
  bool Init(int32_t w, int32_t h, std::string& error) {
    if (!EnsureCurrent()) return Fail(error, SDL_GetError());
    if (!epoxy_is_desktop_gl() || epoxy_gl_version() < 33) return Fail(error, "the context offers only an older version");
    if (!m_programs.Build(error)) return false;
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    m_maxSide = std::min<int32_t>(maxSide, kBitmapMaxSide);
    if (w < 1 || h < 1 || w > m_maxSide || h > m_maxSide) return Fail(error, "the back buffer size is out of range");

    glGenBuffers(1, &m_vertexBuffer);
    glGenBuffers(1, &m_indexBuffer);
    glGenVertexArrays(3, m_vertexArrays);
    for (EVertexLayout layout : {EVertexLayout::Colored, EVertexLayout::Textured, EVertexLayout::Lit}) {
      glBindVertexArray(m_vertexArrays[int(layout)]);
      glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
      const GLsizei stride = Vertex_Size(layout);
      const size_t colorAt = layout == EVertexLayout::Lit ? 24 : 12;
      glEnableVertexAttribArray(0);
      glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
      glEnableVertexAttribArray(2);  // 0xAARRGGBB words are b, g, r, a bytes
      glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride, reinterpret_cast<void*>(colorAt));
      if (layout != EVertexLayout::Colored) {
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(colorAt + 4));
      }
      if (layout == EVertexLayout::Lit) {
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(size_t(12)));
      }
    }
    glBindVertexArray(0);
    m_boundLayout = -1;

    glGenSamplers(4, m_samplers);
    for (int i = 0; i < 4; ++i) {  // bit 0: linear, bit 1: repeat
      const GLint filter = (i & 1) ? GL_LINEAR : GL_NEAREST;
      const GLint wrap = (i & 2) ? GL_REPEAT : GL_CLAMP_TO_EDGE;
      glSamplerParameteri(m_samplers[i], GL_TEXTURE_MIN_FILTER, filter);
      glSamplerParameteri(m_samplers[i], GL_TEXTURE_MAG_FILTER, filter);
      glSamplerParameteri(m_samplers[i], GL_TEXTURE_WRAP_S, wrap);
      glSamplerParameteri(m_samplers[i], GL_TEXTURE_WRAP_T, wrap);
    }
    glGenFramebuffers(1, &m_scratchFramebuffer);
    if (!MakeBackBuffer(w, h, m_backFramebuffer, m_backColor, m_backDepth))
      return Fail(error, "the back buffer cannot be made");
    m_backW = w;
    m_backH = h;

    // Fixed for the device's life: blending on (its factors decide), the
    // culled side, flat shading's vertex, the depth comparison.
    glEnable(GL_BLEND);
    glFrontFace(GL_CCW);  // y runs down the rows, so this is clockwise as seen
    glCullFace(GL_BACK);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glDepthFunc(GL_LEQUAL);
    glActiveTexture(GL_TEXTURE0);

    m_target = kNoTexture;
    BindTarget();
    m_viewport = RViewport{0, 0, w, h, 0, 1};
    ClearNow(true, 0xFF000000, true, 1.0f);
    if (glGetError() != GL_NO_ERROR) return Fail(error, "setting up the device failed");
    return true;
  }

  // ---------------------------------------------------------------- frames

  void BeginFrame() override { m_stats.drawCalls = 0; }

  void EndFrame() override {
    Flush();
    m_stats.lastFrameDrawCalls = m_stats.drawCalls;
    ++m_stats.frames;
  }

  void Present(const RRect& source, const RRect& destination, uint32_t marginColor) override {
    Flush();
    if (!EnsureCurrent()) return;
    RRect src = source;
    const int32_t x1 = std::min(src.x + src.w, m_backW), y1 = std::min(src.y + src.h, m_backH);
    src.x = std::max(src.x, 0);
    src.y = std::max(src.y, 0);
    src.w = x1 - src.x;
    src.h = y1 - src.y;
    int windowW = 0, windowH = 0, drawableW = 0, drawableH = 0;
    SDL_GetWindowSize(m_link->window, &windowW, &windowH);
    SDL_GL_GetDrawableSize(m_link->window, &drawableW, &drawableH);
    const double sx = windowW > 0 ? double(drawableW) / windowW : 1.0, sy = windowH > 0 ? double(drawableH) / windowH : 1.0;

    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(float((marginColor >> 16) & 0xFF) / 255.0f, float((marginColor >> 8) & 0xFF) / 255.0f,
                 float(marginColor & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (src.w > 0 && src.h > 0 && destination.w > 0 && destination.h > 0) {
      glBindFramebuffer(GL_READ_FRAMEBUFFER, m_backFramebuffer);
      // The window's rows run bottom to top, the back buffer's top to bottom.
      const GLint dx0 = GLint(destination.x * sx), dx1 = GLint((destination.x + destination.w) * sx);
      const GLint dyTop = drawableH - GLint(destination.y * sy);
      const GLint dyBottom = drawableH - GLint((destination.y + destination.h) * sy);
      const bool sameSize = dx1 - dx0 == src.w && dyTop - dyBottom == src.h;
      glBlitFramebuffer(src.x, src.y, src.x + src.w, src.y + src.h, dx0, dyTop, dx1, dyBottom, GL_COLOR_BUFFER_BIT,
                        sameSize ? GL_NEAREST : GL_LINEAR);
    }
    SDL_GL_SwapWindow(m_link->window);
    BindTarget();
  }

  bool SetVSync(bool on) override { return EnsureCurrent() && SDL_GL_SetSwapInterval(on ? 1 : 0) == 0; }
  RDeviceStats Stats() const override { return m_stats; }

  // ----------------------------------------------------------- back buffer

  int32_t BackBufferWidth() const override { return m_backW; }
  int32_t BackBufferHeight() const override { return m_backH; }

  bool BackBuffer_Resize(int32_t w, int32_t h) override {
    if (w < 1 || h < 1 || w > m_maxSide || h > m_maxSide) return false;
    Flush();
    if (!EnsureCurrent()) return false;
    GLuint framebuffer = 0, color = 0, depth = 0;
    if (!MakeBackBuffer(w, h, framebuffer, color, depth)) return false;
    const GLint keepW = std::min(w, m_backW), keepH = std::min(h, m_backH);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_backFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glBlitFramebuffer(0, 0, keepW, keepH, 0, 0, keepW, keepH, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    DeleteBackBuffer(m_backFramebuffer, m_backColor, m_backDepth);
    m_backFramebuffer = framebuffer, m_backColor = color, m_backDepth = depth;
    m_backW = w;
    m_backH = h;
    BindTarget();
    return true;
  }

  bool BackBuffer_Read(const RRect& area, uint32_t* out) override {
    if (!out || !Inside(area, m_backW, m_backH)) return false;
    Flush();
    if (!EnsureCurrent()) return false;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_backFramebuffer);
    ReadPixels(area, out);
    BindTarget();
    return true;
  }

  // --------------------------------------------------------------- targets

  bool SetRenderTarget(TextureId target, DepthBufferId depth) override {
    RTextureGL* t = target == kNoTexture ? nullptr : Find(target);
    if (target != kNoTexture && (!t || !t->renderTarget)) return false;
    if (depth != kNoDepthBuffer) {
      const RDepthGL* d = FindDepth(depth);
      if (!t || !d || d->w < t->w || d->h < t->h) return false;
    }
    Flush();
    if (t && !AttachDepth(*t, depth)) {
      BindTarget();
      return false;
    }
    m_target = target;
    BindTarget();
    SetViewport(RViewport{0, 0, t ? t->w : m_backW, t ? t->h : m_backH, 0, 1});
    return true;
  }

  TextureId RenderTarget() const override { return m_target; }

  DepthBufferId DepthBuffer_Create(int32_t w, int32_t h) override {
    if (w < 1 || h < 1 || w > m_maxSide || h > m_maxSide || !EnsureCurrent()) return kNoDepthBuffer;
    RDepthGL d{true, w, h, MakeDepth(w, h)};
    if (!d.renderbuffer) return kNoDepthBuffer;
    return PlaceInFirstFree(m_depths, d);
  }

  void DepthBuffer_Free(DepthBufferId depth) override {
    RDepthGL* d = FindDepth(depth);
    if (!d) return;
    Flush();
    if (EnsureCurrent()) {
      // Targets that drew with it are left without depth until they are made
      // the target again.
      for (RTextureGL& t : m_textures)
        if (t.used && t.attached == depth) {
          glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
          glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
          t.attached = kNoAttachment;
        }
      glDeleteRenderbuffers(1, &d->renderbuffer);
      BindTarget();
    }
    *d = RDepthGL{};
  }

  int32_t DepthBuffer_Count() const override {
    int32_t n = 0;
    for (const RDepthGL& d : m_depths) n += d.used ? 1 : 0;
    return n;
  }

  void Clear(bool clearColor, uint32_t color, bool clearDepth, float depth) override {
    Flush();
    if (EnsureCurrent()) ClearNow(clearColor, color, clearDepth, depth);
  }

  // ----------------------------------------------------------------- state

  void SetViewport(const RViewport& viewport) override {
    if (viewport == m_viewport) return;
    m_viewport = viewport;
    m_snapshotStale = true;
  }
  const RViewport& Viewport() const override { return m_viewport; }

  void SetTransform(ETransform which, const RMatrix& matrix) override {
    RMatrix& slot = m_transforms[size_t(which)];
    if (slot == matrix) return;
    slot = matrix;
    m_snapshotStale = true;
  }
  const RMatrix& Transform(ETransform which) const override { return m_transforms[size_t(which)]; }

  void SetRenderState(const RRenderState& state) override {
    if (state == m_state) return;
    m_state = state;
    m_snapshotStale = true;
  }
  const RRenderState& RenderState() const override { return m_state; }

  void SetTexture(TextureId texture) override { m_texture = texture; }
  TextureId Texture() const override { return m_texture; }

  // -------------------------------------------------------------- textures

  TextureId Texture_Create(int32_t w, int32_t h, bool renderTarget) override {
    if (w < 1 || h < 1 || w > m_maxSide || h > m_maxSide || !EnsureCurrent()) return kNoTexture;
    Flush();
    RTextureGL t;
    t.used = true;
    t.renderTarget = renderTarget;
    t.w = w;
    t.h = h;
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenTextures(1, &t.texture);
    glBindTexture(GL_TEXTURE_2D, t.texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    m_boundTexture = t.texture;
    bool ok = glGetError() == GL_NO_ERROR;
    if (ok && renderTarget) {
      // The depth buffer comes when the target is first drawn into.
      glGenFramebuffers(1, &t.framebuffer);
      glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
      glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.texture, 0);
      ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE && glGetError() == GL_NO_ERROR;
    } else if (ok) {
      glBindFramebuffer(GL_FRAMEBUFFER, m_scratchFramebuffer);
      glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.texture, 0);
    }
    if (ok) {  // all texels 0, depth far
      glDisable(GL_SCISSOR_TEST);
      glClearColor(0, 0, 0, 0);
      glClearDepth(1.0);
      glClear(GL_COLOR_BUFFER_BIT);
      ok = glGetError() == GL_NO_ERROR;
    }
    if (!renderTarget) glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    BindTarget();
    if (!ok) {
      DeleteTexture(t);
      return kNoTexture;
    }
    return PlaceInFirstFree(m_textures, t);
  }

  void Texture_Free(TextureId texture) override {
    RTextureGL* t = Find(texture);
    if (!t) return;
    if (Waiting(texture)) Flush();
    if (m_target == texture) SetRenderTarget(kNoTexture);
    if (m_texture == texture) m_texture = kNoTexture;  // a later texture may take the id
    if (EnsureCurrent()) DeleteTexture(*t);
    *t = RTextureGL{};
  }

  bool Texture_Exists(TextureId texture) const override { return Find(texture) != nullptr; }

  bool Texture_Size(TextureId texture, int32_t& w, int32_t& h) const override {
    const RTextureGL* t = Find(texture);
    w = t ? t->w : 0;
    h = t ? t->h : 0;
    return t != nullptr;
  }

  int32_t Texture_MaxSide() const override { return m_maxSide; }

  bool Texture_Write(TextureId texture, int32_t x, int32_t y, const RPixelSource& pixels) override {
    const RTextureGL* t = Find(texture);
    if (!t || !pixels.pixels || pixels.stride < pixels.w || !Inside(RRect{x, y, pixels.w, pixels.h}, t->w, t->h))
      return false;
    if (Waiting(texture) || m_target == texture) Flush();  // draws made before see the old texels
    if (!EnsureCurrent()) return false;
    glBindTexture(GL_TEXTURE_2D, t->texture);
    m_boundTexture = t->texture;
    glPixelStorei(GL_UNPACK_ROW_LENGTH, pixels.stride);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, pixels.w, pixels.h, GL_BGRA, GL_UNSIGNED_BYTE, pixels.pixels);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    return true;
  }

  bool Texture_Read(TextureId texture, const RRect& area, uint32_t* out) override {
    const RTextureGL* t = Find(texture);
    if (!t || !out || !Inside(area, t->w, t->h)) return false;
    Flush();
    if (!EnsureCurrent()) return false;
    if (t->renderTarget) {
      glBindFramebuffer(GL_READ_FRAMEBUFFER, t->framebuffer);
      ReadPixels(area, out);
    } else {
      glBindFramebuffer(GL_READ_FRAMEBUFFER, m_scratchFramebuffer);
      glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t->texture, 0);
      ReadPixels(area, out);
      glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
    }
    BindTarget();
    return true;
  }

  // --------------------------------------------------------------- drawing

  void Draw(EPrimitive kind, EVertexLayout layout, const void* vertices, int32_t count) override {
    if (!vertices || Primitive_UsedVertices(kind, count) == 0) return;
    if (m_snapshotStale || m_snapshots.empty()) TakeSnapshot();
    const TextureId texture = Find(m_texture) ? m_texture : kNoTexture;
    m_batcher.Add(uint32_t(m_snapshots.size() - 1), texture, kind, layout, vertices, count);
  }

 private:
  static bool Fail(std::string& error, const std::string& reason) {
    error = reason;
    return false;
  }

  bool EnsureCurrent() {
    if (!m_link->window) return false;  // the window has gone
    if (SDL_GL_GetCurrentContext() == m_context) return true;
    return SDL_GL_MakeCurrent(m_link->window, m_context) == 0;
  }

  RDepthGL* FindDepth(DepthBufferId id) {
    if (id < 0 || size_t(id) >= m_depths.size() || !m_depths[size_t(id)].used) return nullptr;
    return &m_depths[size_t(id)];
  }

  // A depth and stencil renderbuffer, cleared to far; 0 when it cannot be made.
  static GLuint MakeDepth(int32_t w, int32_t h) {
    while (glGetError() != GL_NO_ERROR) {
    }
    GLuint renderbuffer = 0;
    glGenRenderbuffers(1, &renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, w, h);
    if (glGetError() != GL_NO_ERROR) glDeleteRenderbuffers(1, &renderbuffer), renderbuffer = 0;
    return renderbuffer;
  }

  // Gives the render target the depth buffer it is to draw with (its own,
  // made now when it has none yet); false when that cannot be done.
  bool AttachDepth(RTextureGL& t, DepthBufferId depth) {
    if (t.attached == depth) return true;
    if (!EnsureCurrent()) return false;
    if (depth == kOwnDepth && !t.depth && !(t.depth = MakeDepth(t.w, t.h))) return false;
    const GLuint renderbuffer = depth == kOwnDepth ? t.depth : m_depths[size_t(depth)].renderbuffer;
    glBindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, renderbuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
      t.attached = kNoAttachment;
      return false;
    }
    t.attached = depth;
    return true;
  }

  const RTextureGL* Find(TextureId id) const {
    if (id < 0 || size_t(id) >= m_textures.size() || !m_textures[size_t(id)].used) return nullptr;
    return &m_textures[size_t(id)];
  }
  RTextureGL* Find(TextureId id) {
    return const_cast<RTextureGL*>(static_cast<const CDeviceGL*>(this)->Find(id));
  }

  // Whether a gathered draw uses the texture.
  bool Waiting(TextureId texture) const {
    for (const RBatch& b : m_batcher.Batches())
      if (b.texture == texture) return true;
    return false;
  }

  void TakeSnapshot() {
    RSnapshot s{m_state,
                Matrix_Multiply(m_transforms[size_t(ETransform::World)], m_transforms[size_t(ETransform::View)]),
                m_transforms[size_t(ETransform::Projection)], m_viewport};
    if (m_snapshots.empty() || !(m_snapshots.back() == s)) m_snapshots.push_back(s);
    m_snapshotStale = false;
  }

  // Sends the gathered batches.
  void Flush() {
    if (m_batcher.Empty()) return;
    if (EnsureCurrent()) {
      const std::vector<uint8_t>& bytes = m_batcher.VertexBytes();
      const std::vector<uint32_t>& indices = m_batcher.Indices();
      // Fresh storage each time: the card may still be reading the last.
      glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
      glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes.size()), bytes.data(), GL_STREAM_DRAW);
      glBindBuffer(GL_COPY_WRITE_BUFFER, m_indexBuffer);
      glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(indices.size() * 4), indices.data(), GL_STREAM_DRAW);
      for (const RBatch& b : m_batcher.Batches()) {
        if (!Apply(b)) continue;
        // The vertex range spares the driver a search through the indices.
        glDrawRangeElements(ModeOf(b.primitives), b.firstVertex, b.lastVertex, GLsizei(b.indexCount),
                            GL_UNSIGNED_INT, reinterpret_cast<void*>(size_t(b.firstIndex) * 4));
        ++m_stats.drawCalls;
      }
    }
    m_batcher.Clear();
    // Snapshots are numbered within one flush; the next draw takes a new one.
    m_snapshots.clear();
    m_appliedSnapshot = -1;
    m_snapshotStale = true;
  }

  // Brings the card's state to what the batch needs, touching only what
  // differs; false when its shaders cannot be had (the batch is skipped).
  bool Apply(const RBatch& b) {
    const RSnapshot& s = m_snapshots[b.snapshot];
    const RRenderState& st = s.state;
    const bool newSnapshot = int64_t(b.snapshot) != m_appliedSnapshot;
    if (newSnapshot) {
      GLenum source, destination;
      BlendFactors(st, source, destination);
      if (source != m_gl.blendSource || destination != m_gl.blendDestination) {
        glBlendFunc(source, destination);
        m_gl.blendSource = source, m_gl.blendDestination = destination;
      }
      if (int(st.culling) != m_gl.culling) SetEnabled(GL_CULL_FACE, st.culling), m_gl.culling = st.culling;
      if (int(st.depthTest) != m_gl.depthTest) SetEnabled(GL_DEPTH_TEST, st.depthTest), m_gl.depthTest = st.depthTest;
      const int sampler = (st.linearFilter ? 1 : 0) | (st.textureRepeat ? 2 : 0);
      if (sampler != m_gl.sampler) glBindSampler(0, m_samplers[sampler]), m_gl.sampler = sampler;
      if (!m_gl.viewportKnown || !(s.viewport == m_gl.viewport)) {
        glViewport(s.viewport.x, s.viewport.y, s.viewport.w, s.viewport.h);
        glDepthRange(s.viewport.minZ, s.viewport.maxZ);
        m_gl.viewport = s.viewport;
        m_gl.viewportKnown = true;
      }
      m_appliedSnapshot = b.snapshot;
    }
    RProgramKey key;
    key.colorSource = b.texture == kNoTexture ? RProgramKey::kDiffuse
                      : st.textureBlend       ? RProgramKey::kTextureTimesDiffuse
                                              : RProgramKey::kTexture;
    key.flat = !st.smoothShading;
    key.alphaTest = st.alphaTest;
    key.fog = st.fog.enabled;
    if (newSnapshot || key.Index() != m_appliedProgram) {
      CFixedFunctionProgram* program = m_programs.Use(key);
      if (!program) return false;
      program->SetViewportSize(s.viewport.w, s.viewport.h);
      program->SetTransforms(s.worldView, s.projection);
      if (key.alphaTest) program->SetAlphaReference(st.alphaReference);
      if (key.fog) program->SetFog(st.fog);
      m_appliedProgram = key.Index();
    }
    if (b.texture != kNoTexture) {
      const GLuint name = m_textures[size_t(b.texture)].texture;
      if (name != m_boundTexture) glBindTexture(GL_TEXTURE_2D, name), m_boundTexture = name;
    }
    if (int(b.layout) != m_boundLayout) glBindVertexArray(m_vertexArrays[int(b.layout)]), m_boundLayout = int(b.layout);
    return true;
  }

  void BindTarget() {
    const RTextureGL* t = m_target == kNoTexture ? nullptr : Find(m_target);
    glBindFramebuffer(GL_FRAMEBUFFER, t ? t->framebuffer : m_backFramebuffer);
  }

  void ClearNow(bool clearColor, uint32_t color, bool clearDepth, float depth) {
    if (!clearColor && !clearDepth) return;
    // Only the viewport's rectangle, as drawing sees it.
    glEnable(GL_SCISSOR_TEST);
    glScissor(m_viewport.x, m_viewport.y, std::max(m_viewport.w, 0), std::max(m_viewport.h, 0));
    glClearColor(float((color >> 16) & 0xFF) / 255.0f, float((color >> 8) & 0xFF) / 255.0f,
                 float(color & 0xFF) / 255.0f, float(color >> 24) / 255.0f);
    glClearDepth(depth);
    glClear((clearColor ? GL_COLOR_BUFFER_BIT : 0) | (clearDepth ? GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT : 0));
    glDisable(GL_SCISSOR_TEST);
  }

  static void ReadPixels(const RRect& area, uint32_t* out) {
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(area.x, area.y, area.w, area.h, GL_BGRA, GL_UNSIGNED_BYTE, out);
  }

  static bool MakeBackBuffer(int32_t w, int32_t h, GLuint& framebuffer, GLuint& color, GLuint& depth) {
    while (glGetError() != GL_NO_ERROR) {
    }
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &color);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, w, h);  // opaque, as a screen is
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
    const bool ok = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE && glGetError() == GL_NO_ERROR;
    if (!ok) DeleteBackBuffer(framebuffer, color, depth);
    return ok;
  }

  static void DeleteBackBuffer(GLuint& framebuffer, GLuint& color, GLuint& depth) {
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &color);
    glDeleteRenderbuffers(1, &depth);
    framebuffer = color = depth = 0;
  }

  void DeleteTexture(RTextureGL& t) {
    if (t.texture == m_boundTexture) m_boundTexture = 0;
    glDeleteFramebuffers(1, &t.framebuffer);
    glDeleteRenderbuffers(1, &t.depth);
    glDeleteTextures(1, &t.texture);
    t.texture = t.framebuffer = t.depth = 0;
  }

  std::shared_ptr<RGLWindowLink> m_link;
  SDL_GLContext m_context;
  CFixedFunctionPrograms m_programs;
  GLuint m_vertexBuffer = 0, m_indexBuffer = 0;
  GLuint m_vertexArrays[3] = {};
  GLuint m_samplers[4] = {};
  GLuint m_scratchFramebuffer = 0;
  GLuint m_backFramebuffer = 0, m_backColor = 0, m_backDepth = 0;
  int32_t m_backW = 0, m_backH = 0;
  int32_t m_maxSide = 0;
  std::vector<RTextureGL> m_textures;
  std::vector<RDepthGL> m_depths;

  // What the game asked for.
  RRenderState m_state;
  RMatrix m_transforms[3];
  RViewport m_viewport;
  TextureId m_texture = kNoTexture;
  TextureId m_target = kNoTexture;

  // What is gathered.
  CDrawBatcher m_batcher;
  std::vector<RSnapshot> m_snapshots;
  bool m_snapshotStale = true;

  // What the card has.
  struct {
    GLenum blendSource = 0, blendDestination = 0;
    int culling = -1, depthTest = -1, sampler = -1;
    RViewport viewport;
    bool viewportKnown = false;
  } m_gl;
  int64_t m_appliedSnapshot = -1;
  int m_appliedProgram = -1;
  GLuint m_boundTexture = 0;
  int m_boundLayout = -1;

  RDeviceStats m_stats;
};

}  // namespace

void GL_SetWindowAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // The window only receives finished frames: depth lives with the back buffer.
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

std::unique_ptr<IGraphicsDevice> GL_OpenDevice(std::shared_ptr<RGLWindowLink> link, int32_t w, int32_t h) {
  const std::string prefix = "could not start OpenGL 3.3: ";
  if (!link || !link->window) throw std::runtime_error(prefix + "the window does not exist");
  GL_SetWindowAttributes();
  SDL_GLContext context = SDL_GL_CreateContext(link->window);
  if (!context) throw std::runtime_error(prefix + SDL_GetError());
  auto device = std::make_unique<CDeviceGL>(std::move(link), context);
  std::string error;
  if (!device->Init(w, h, error)) throw std::runtime_error(prefix + error);
  return device;
}

}  // namespace tavrin
