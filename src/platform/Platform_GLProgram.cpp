// The fixed-function shaders, their combinations and their uniform caches.
#include "platform/Platform_GLProgram.h"

#include <string>

namespace tavrin {

namespace {

// Positions: p x world x view x projection, as the game composes them (the
// row-vector matrices arrive transposed, which is what column-vector GLSL
// needs). Then: depth 0..1 widened to OpenGL's -1..1; y turned over so that
// the top of the view lands in the first row of the target; and half a pixel
// to the right and down, since OpenGL's pixel centres lie at .5 where the
// game's lie on whole numbers.
//
// Each variant is compiled with only the features it needs (COLOR_SOURCE,
// FLAT, ALPHA_TEST, FOG): a software rasterizer pays for every varying and
// every test on every pixel.
const char* kVertexShader = R"(
layout(location = 0) in vec3 a_position;
layout(location = 2) in vec4 a_color;
layout(location = 3) in vec2 a_uv;
uniform mat4 u_worldView;
uniform mat4 u_projection;
uniform vec2 u_pixelOffset;
#if FLAT
flat out vec4 v_color;
#else
out vec4 v_color;
#endif
#if COLOR_SOURCE != 0
out vec2 v_uv;
#endif
#if FOG
out float v_eyeDepth;
#endif
void main() {
  vec4 eye = u_worldView * vec4(a_position, 1.0);
  vec4 clip = u_projection * eye;
  clip.z = 2.0 * clip.z - clip.w;
  clip.y = -clip.y;
  clip.xy += u_pixelOffset * clip.w;
  gl_Position = clip;
  v_color = a_color;
#if COLOR_SOURCE != 0
  v_uv = a_uv;
#endif
#if FOG
  v_eyeDepth = eye.z;
#endif
}
)";

// COLOR_SOURCE: 0 vertex colour, 1 texture x vertex colour, 2 texture.
const char* kFragmentShader = R"(
#if FLAT
flat in vec4 v_color;
#else
in vec4 v_color;
#endif
#if COLOR_SOURCE != 0
in vec2 v_uv;
uniform sampler2D u_texture;
#endif
#if FOG
in float v_eyeDepth;
uniform vec3 u_fogColor;
uniform vec2 u_fogRange;  // start, end
#endif
uniform float u_alphaReference;  // 0..255: drawn when alpha is greater
out vec4 o_color;
void main() {
#if COLOR_SOURCE == 0
  vec4 color = v_color;
#elif COLOR_SOURCE == 1
  vec4 color = texture(u_texture, v_uv) * v_color;
#else
  vec4 color = texture(u_texture, v_uv);
#endif
#if ALPHA_TEST
  if (floor(color.a * 255.0 + 0.5) <= u_alphaReference) discard;
#endif
#if FOG
  float span = u_fogRange.y - u_fogRange.x;
  float near = span != 0.0 ? (u_fogRange.y - v_eyeDepth) / span : (v_eyeDepth < u_fogRange.y ? 1.0 : 0.0);
  color.rgb = mix(u_fogColor, color.rgb, clamp(near, 0.0, 1.0));
#endif
  o_color = color;
}
)";

GLuint Compile(GLenum kind, const std::string& header, const char* body, std::string& error) {
  const GLuint shader = glCreateShader(kind);
  const char* parts[2] = {header.c_str(), body};
  glShaderSource(shader, 2, parts, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string("the shader does not compile: ") + log;
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

bool CFixedFunctionProgram::Build(const RProgramKey& key, std::string& error) {
  const std::string header = "#version 330 core\n#define COLOR_SOURCE " + std::to_string(int(key.colorSource)) +
                             "\n#define FLAT " + std::to_string(int(key.flat)) + "\n#define ALPHA_TEST " +
                             std::to_string(int(key.alphaTest)) + "\n#define FOG " + std::to_string(int(key.fog)) + "\n";
  const GLuint vs = Compile(GL_VERTEX_SHADER, header, kVertexShader, error);
  if (!vs) return false;
  const GLuint fs = Compile(GL_FRAGMENT_SHADER, header, kFragmentShader, error);
  if (!fs) {
    glDeleteShader(vs);
    return false;
  }
  m_program = glCreateProgram();
  glAttachShader(m_program, vs);
  glAttachShader(m_program, fs);
  glLinkProgram(m_program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(m_program, GL_LINK_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    glGetProgramInfoLog(m_program, sizeof log, nullptr, log);
    error = std::string("the shaders do not link: ") + log;
    Destroy();
    return false;
  }
  m_worldView = glGetUniformLocation(m_program, "u_worldView");
  m_projection = glGetUniformLocation(m_program, "u_projection");
  m_pixelOffset = glGetUniformLocation(m_program, "u_pixelOffset");
  m_alphaReference = glGetUniformLocation(m_program, "u_alphaReference");
  m_fogColor = glGetUniformLocation(m_program, "u_fogColor");
  m_fogRange = glGetUniformLocation(m_program, "u_fogRange");
  GLint previous = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &previous);
  glUseProgram(m_program);
  glUniform1i(glGetUniformLocation(m_program, "u_texture"), 0);
  glUseProgram(GLuint(previous));
  return true;
}

void CFixedFunctionProgram::Destroy() {
  if (m_program) glDeleteProgram(m_program);
  m_program = 0;
}

// The setters below act on the current program: CFixedFunctionPrograms::Use
// has made this one current.
void CFixedFunctionProgram::SetTransforms(const RMatrix& worldView, const RMatrix& projection) {
  if (!m_sentTransforms || !(worldView == m_worldViewSent)) {
    glUniformMatrix4fv(m_worldView, 1, GL_FALSE, &worldView.m[0][0]);
    m_worldViewSent = worldView;
  }
  if (!m_sentTransforms || !(projection == m_projectionSent)) {
    glUniformMatrix4fv(m_projection, 1, GL_FALSE, &projection.m[0][0]);
    m_projectionSent = projection;
  }
  m_sentTransforms = true;
}

void CFixedFunctionProgram::SetViewportSize(int32_t w, int32_t h) {
  if (w == m_viewportWSent && h == m_viewportHSent) return;
  // Half a pixel in clip units is 1 / size.
  glUniform2f(m_pixelOffset, w > 0 ? 1.0f / float(w) : 0.0f, h > 0 ? 1.0f / float(h) : 0.0f);
  m_viewportWSent = w;
  m_viewportHSent = h;
}

void CFixedFunctionProgram::SetAlphaReference(uint8_t reference) {
  if (m_alphaReference < 0 || int(reference) == m_alphaReferenceSent) return;
  glUniform1f(m_alphaReference, float(reference));
  m_alphaReferenceSent = reference;
}

void CFixedFunctionProgram::SetFog(const RFog& fog) {
  if (m_fogRange < 0 || (m_sentFog && fog == m_fogSent)) return;
  glUniform3f(m_fogColor, float((fog.color >> 16) & 0xFF) / 255.0f, float((fog.color >> 8) & 0xFF) / 255.0f,
              float(fog.color & 0xFF) / 255.0f);
  glUniform2f(m_fogRange, fog.start, fog.end);
  m_fogSent = fog;
  m_sentFog = true;
}

bool CFixedFunctionPrograms::Build(std::string& error) {
  RProgramKey sprite;
  sprite.colorSource = RProgramKey::kTextureTimesDiffuse;
  auto program = std::make_unique<CFixedFunctionProgram>();
  if (!program->Build(sprite, error)) return false;
  m_programs[size_t(sprite.Index())] = std::move(program);
  return true;
}

CFixedFunctionProgram* CFixedFunctionPrograms::Use(const RProgramKey& key) {
  std::unique_ptr<CFixedFunctionProgram>& slot = m_programs[size_t(key.Index())];
  if (!slot) {
    auto program = std::make_unique<CFixedFunctionProgram>();
    std::string error;
    if (!program->Build(key, error)) return nullptr;
    slot = std::move(program);
  }
  if (slot->Name() != m_current) {
    glUseProgram(slot->Name());
    m_current = slot->Name();
  }
  return slot.get();
}

void CFixedFunctionPrograms::Destroy() {
  for (auto& program : m_programs)
    if (program) program->Destroy();
  m_current = 0;
}

}  // namespace tavrin
