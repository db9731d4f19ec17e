// The fixed-function shader pair and its uniform cache.
#include "platform/Platform_GLProgram.h"

namespace tavrin {

namespace {

// Positions: p x world x view x projection, as the game composes them (the
// row-vector matrices arrive transposed, which is what column-vector GLSL
// needs). Then: depth 0..1 widened to OpenGL's -1..1; y turned over so that
// the top of the view lands in the first row of the target; and half a pixel
// to the right and down, since OpenGL's pixel centres lie at .5 where the
// game's lie on whole numbers.
const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 a_position;
layout(location = 2) in vec4 a_color;
layout(location = 3) in vec2 a_uv;
uniform mat4 u_worldView;
uniform mat4 u_projection;
uniform vec2 u_pixelOffset;
out vec4 v_color;
flat out vec4 v_flatColor;
out vec2 v_uv;
out float v_eyeDepth;
void main() {
  vec4 eye = u_worldView * vec4(a_position, 1.0);
  vec4 clip = u_projection * eye;
  clip.z = 2.0 * clip.z - clip.w;
  clip.y = -clip.y;
  clip.xy += u_pixelOffset * clip.w;
  gl_Position = clip;
  v_color = a_color;
  v_flatColor = a_color;
  v_uv = a_uv;
  v_eyeDepth = eye.z;
}
)";

const char* kFragmentShader = R"(#version 330 core
in vec4 v_color;
flat in vec4 v_flatColor;
in vec2 v_uv;
in float v_eyeDepth;
uniform sampler2D u_texture;
uniform int u_colorSource;   // 0 vertex colour, 1 texture x vertex colour, 2 texture
uniform bool u_flat;
uniform bool u_alphaTest;
uniform float u_alphaReference;  // 0..255: drawn when alpha is greater
uniform bool u_fog;
uniform vec3 u_fogColor;
uniform vec2 u_fogRange;     // start, end
out vec4 o_color;
void main() {
  vec4 diffuse = u_flat ? v_flatColor : v_color;
  vec4 color = diffuse;
  if (u_colorSource != 0) {
    vec4 texel = texture(u_texture, v_uv);
    color = u_colorSource == 1 ? texel * diffuse : texel;
  }
  if (u_alphaTest && floor(color.a * 255.0 + 0.5) <= u_alphaReference) discard;
  if (u_fog) {
    float span = u_fogRange.y - u_fogRange.x;
    float near = span != 0.0 ? (u_fogRange.y - v_eyeDepth) / span : (v_eyeDepth < u_fogRange.y ? 1.0 : 0.0);
    color.rgb = mix(u_fogColor, color.rgb, clamp(near, 0.0, 1.0));
  }
  o_color = color;
}
)";

GLuint Compile(GLenum kind, const char* source, std::string& error) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
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

void CFixedFunctionProgram::Destroy() {
  if (m_program) glDeleteProgram(m_program);
  m_program = 0;
}

bool CFixedFunctionProgram::Build(std::string& error) {
  const GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader, error);
  if (!vs) return false;
  const GLuint fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader, error);
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
    return false;
  }
  m_worldView = glGetUniformLocation(m_program, "u_worldView");
  m_projection = glGetUniformLocation(m_program, "u_projection");
  m_pixelOffset = glGetUniformLocation(m_program, "u_pixelOffset");
  m_colorSource = glGetUniformLocation(m_program, "u_colorSource");
  m_flat = glGetUniformLocation(m_program, "u_flat");
  m_alphaTest = glGetUniformLocation(m_program, "u_alphaTest");
  m_alphaReference = glGetUniformLocation(m_program, "u_alphaReference");
  m_fog = glGetUniformLocation(m_program, "u_fog");
  m_fogColor = glGetUniformLocation(m_program, "u_fogColor");
  m_fogRange = glGetUniformLocation(m_program, "u_fogRange");
  glUseProgram(m_program);
  glUniform1i(glGetUniformLocation(m_program, "u_texture"), 0);
  return true;
}

void CFixedFunctionProgram::SetTransforms(const RMatrix& worldView, const RMatrix& projection) {
  if (!m_sentAny || !(worldView == m_sentWorldView)) {
    glUniformMatrix4fv(m_worldView, 1, GL_FALSE, &worldView.m[0][0]);
    m_sentWorldView = worldView;
  }
  if (!m_sentAny || !(projection == m_sentProjection)) {
    glUniformMatrix4fv(m_projection, 1, GL_FALSE, &projection.m[0][0]);
    m_sentProjection = projection;
  }
  m_sentAny = true;
}

void CFixedFunctionProgram::SetViewportSize(int32_t w, int32_t h) {
  if (w == m_sentViewportW && h == m_sentViewportH) return;
  // Half a pixel in clip units is 1 / size.
  glUniform2f(m_pixelOffset, w > 0 ? 1.0f / float(w) : 0.0f, h > 0 ? 1.0f / float(h) : 0.0f);
  m_sentViewportW = w;
  m_sentViewportH = h;
}

void CFixedFunctionProgram::SetColorSource(EColorSource source) {
  if (source == m_sentColorSource) return;
  glUniform1i(m_colorSource, source);
  m_sentColorSource = source;
}

void CFixedFunctionProgram::SetFlat(bool flat) {
  if (int(flat) == m_sentFlat) return;
  glUniform1i(m_flat, flat);
  m_sentFlat = flat;
}

void CFixedFunctionProgram::SetAlphaTest(bool on, uint8_t reference) {
  if (int(on) != m_sentAlphaTest) {
    glUniform1i(m_alphaTest, on);
    m_sentAlphaTest = on;
  }
  if (on && int(reference) != m_sentAlphaReference) {
    glUniform1f(m_alphaReference, float(reference));
    m_sentAlphaReference = reference;
  }
}

void CFixedFunctionProgram::SetFog(const RFog& fog) {
  if (m_fogSent && fog == m_sentFog) return;
  glUniform1i(m_fog, fog.enabled);
  glUniform3f(m_fogColor, float((fog.color >> 16) & 0xFF) / 255.0f, float((fog.color >> 8) & 0xFF) / 255.0f,
              float(fog.color & 0xFF) / 255.0f);
  glUniform2f(m_fogRange, fog.start, fog.end);
  m_sentFog = fog;
  m_fogSent = true;
}

}  // namespace tavrin
