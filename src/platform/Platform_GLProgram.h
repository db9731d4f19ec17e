// The one shader pair of the OpenGL device. It does what games expect of a
// fixed-function card, for the subset they use: texture times vertex colour
// (or the texture alone, or the vertex colour alone without a texture), the
// alpha test, flat or smooth shading, and linear fog by eye depth. It also
// turns the game's conventions into OpenGL's: depth 0..1, y downwards on
// every target (rows top first in memory, like the game's bitmaps), and
// pixel centres on whole coordinates.
//
// Uniforms are sent only when their value changes.
#pragma once

#include <epoxy/gl.h>

#include <string>

#include "graphics/Graphics_Device.h"

namespace tavrin {

class CFixedFunctionProgram {
 public:
  enum EColorSource : int { kDiffuse = 0, kTextureTimesDiffuse = 1, kTexture = 2 };

  CFixedFunctionProgram() = default;
  CFixedFunctionProgram(const CFixedFunctionProgram&) = delete;
  CFixedFunctionProgram& operator=(const CFixedFunctionProgram&) = delete;
  // Deletes the program; the device calls it while its context is current
  // (a context that has gone takes the program with it).
  void Destroy();

  // Compiles and links; false with the compiler's words in `error`.
  bool Build(std::string& error);
  void Use() const { glUseProgram(m_program); }

  // world x view, and the projection (row-vector matrices as the game keeps them).
  void SetTransforms(const RMatrix& worldView, const RMatrix& projection);
  // The viewport size the pixel-centre shift is computed for.
  void SetViewportSize(int32_t w, int32_t h);
  void SetColorSource(EColorSource source);
  void SetFlat(bool flat);
  void SetAlphaTest(bool on, uint8_t reference);
  void SetFog(const RFog& fog);

 private:
  GLuint m_program = 0;
  GLint m_worldView = -1, m_projection = -1, m_pixelOffset = -1, m_colorSource = -1, m_flat = -1;
  GLint m_alphaTest = -1, m_alphaReference = -1, m_fog = -1, m_fogColor = -1, m_fogRange = -1;

  RMatrix m_sentWorldView, m_sentProjection;
  int32_t m_sentViewportW = 0, m_sentViewportH = 0;
  int m_sentColorSource = -1;
  int m_sentFlat = -1;
  int m_sentAlphaTest = -1, m_sentAlphaReference = -1;
  RFog m_sentFog;
  bool m_fogSent = false;
  bool m_sentAny = false;  // the transforms
};

}  // namespace tavrin
