// The raw OpenGL peer: one shader (texture x colour, pixel coordinates in),
// a static index buffer of quads, a vertex buffer refilled once a frame.
#include "RawGL_Peer.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tavrin::bench {

namespace {

const char* kVertex = R"(#version 330 core
layout(location = 0) in vec3 a_position;
layout(location = 1) in vec4 a_color;
layout(location = 2) in vec2 a_uv;
uniform vec2 u_size;
out vec4 v_color;
out vec2 v_uv;
void main() {
  gl_Position = vec4(a_position.x / u_size.x * 2.0 - 1.0, a_position.y / u_size.y * 2.0 - 1.0, 0.0, 1.0);
  v_color = a_color;
  v_uv = a_uv;
}
)";

const char* kFragment = R"(#version 330 core
in vec4 v_color;
in vec2 v_uv;
uniform sampler2D u_texture;
out vec4 o_color;
void main() { o_color = texture(u_texture, v_uv) * v_color; }
)";

struct RVertex {
  float x, y, z;
  uint32_t color;
  float u, v;
};

GLuint Compile(GLenum kind, const char* source) {
  const GLuint s = glCreateShader(kind);
  glShaderSource(s, 1, &source, nullptr);
  glCompileShader(s);
  GLint ok = 0;
  glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
  if (!ok) throw std::runtime_error("raw peer: shader does not compile");
  return s;
}

}  // namespace

struct CRawGLPeer::RState {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  GLuint program = 0, vao = 0, vbo = 0, ibo = 0, framebuffer = 0, color = 0, depth = 0;
  std::vector<GLuint> textures;
  std::vector<RVertex> vertices;
  size_t indexedQuads = 0;

  void MakeCurrent() {
    if (SDL_GL_GetCurrentContext() != context) SDL_GL_MakeCurrent(window, context);
  }
};

CRawGLPeer::CRawGLPeer() : m(std::make_unique<RState>()) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  m->window = SDL_CreateWindow("raw peer", 0, 0, kFrameW, kFrameH, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!m->window) throw std::runtime_error(std::string("raw peer: ") + SDL_GetError());
  m->context = SDL_GL_CreateContext(m->window);
  if (!m->context) throw std::runtime_error(std::string("raw peer: ") + SDL_GetError());
  m->MakeCurrent();

  m->program = glCreateProgram();
  glAttachShader(m->program, Compile(GL_VERTEX_SHADER, kVertex));
  glAttachShader(m->program, Compile(GL_FRAGMENT_SHADER, kFragment));
  glLinkProgram(m->program);
  glUseProgram(m->program);
  glUniform2f(glGetUniformLocation(m->program, "u_size"), float(kFrameW), float(kFrameH));
  glUniform1i(glGetUniformLocation(m->program, "u_texture"), 0);

  glGenVertexArrays(1, &m->vao);
  glBindVertexArray(m->vao);
  glGenBuffers(1, &m->vbo);
  glGenBuffers(1, &m->ibo);
  glBindBuffer(GL_ARRAY_BUFFER, m->vbo);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m->ibo);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(RVertex), nullptr);
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(RVertex), reinterpret_cast<void*>(12));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(RVertex), reinterpret_cast<void*>(16));

  glGenFramebuffers(1, &m->framebuffer);
  glGenRenderbuffers(1, &m->color);
  glGenRenderbuffers(1, &m->depth);
  glBindRenderbuffer(GL_RENDERBUFFER, m->color);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, kFrameW, kFrameH);
  glBindRenderbuffer(GL_RENDERBUFFER, m->depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kFrameW, kFrameH);
  glBindFramebuffer(GL_FRAMEBUFFER, m->framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, m->color);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m->depth);
  glViewport(0, 0, kFrameW, kFrameH);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

CRawGLPeer::~CRawGLPeer() {
  if (m->context) SDL_GL_DeleteContext(m->context);
  if (m->window) SDL_DestroyWindow(m->window);
}

void CRawGLPeer::LoadTextures(const RScene& scene) {
  m->MakeCurrent();
  glDeleteTextures(GLsizei(m->textures.size()), m->textures.data());
  m->textures.assign(scene.textures.size(), 0);
  glGenTextures(GLsizei(m->textures.size()), m->textures.data());
  for (size_t i = 0; i < scene.textures.size(); ++i) {
    const TBitmap32& b = scene.textures[i];
    glBindTexture(GL_TEXTURE_2D, m->textures[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, b.s_w, b.s_h, 0, GL_BGRA, GL_UNSIGNED_BYTE, b.s_data.data());
  }
}

int CRawGLPeer::DrawFrame(const RScene& scene) {
  m->MakeCurrent();
  const size_t quads = scene.sprites.size();
  if (m->indexedQuads < quads) {  // the index pattern of quads never changes
    std::vector<uint32_t> indices;
    for (uint32_t q = 0; q < quads; ++q)
      for (uint32_t k : {0u, 1u, 2u, 0u, 2u, 3u}) indices.push_back(q * 4 + k);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * 4), indices.data(), GL_STATIC_DRAW);
    m->indexedQuads = quads;
  }
  m->vertices.clear();
  for (const RSprite& s : scene.sprites) {
    const float l = s.x, t = s.y, r = l + s.w, b = t + s.h;
    m->vertices.push_back({l, t, 0, s.color, s.u0, s.v0});
    m->vertices.push_back({r, t, 0, s.color, s.u1, s.v0});
    m->vertices.push_back({r, b, 0, s.color, s.u1, s.v1});
    m->vertices.push_back({l, b, 0, s.color, s.u0, s.v1});
  }
  glClearColor(0.2f, 0.2f, 0.2f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(m->vertices.size() * sizeof(RVertex)), m->vertices.data(), GL_STREAM_DRAW);
  int calls = 0;
  for (size_t first = 0; first < quads;) {
    size_t end = first + 1;
    while (end < quads && scene.sprites[end].texture == scene.sprites[first].texture) ++end;
    glBindTexture(GL_TEXTURE_2D, m->textures[size_t(scene.sprites[first].texture)]);
    glDrawElements(GL_TRIANGLES, GLsizei((end - first) * 6), GL_UNSIGNED_INT, reinterpret_cast<void*>(first * 24));
    ++calls;
    first = end;
  }
  uint32_t pixel;
  glReadPixels(0, 0, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, &pixel);  // waits for the frame
  return calls;
}

}  // namespace tavrin::bench
