// The shaders of the OpenGL device. They do what games expect of a
// fixed-function card, for the subset they use: texture times vertex colour
// (or the texture alone, or the vertex colour alone without a texture), the
// alpha test, flat or smooth shading, and linear fog by eye depth. They also
// turn the game's conventions into OpenGL's: depth 0..1, y downwards on
// every target (rows top first in memory, like the game's bitmaps), and
// pixel centres on whole coordinates.
//
// One source, compiled per combination of features on first use, so that
// each draw pays only for what it uses. Uniforms are sent only when their
// value changes.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <memory>
#include <string>

#include "graphics/Graphics_Device.h"

namespace tavrin {

struct RProgramKey {
  enum EColorSource : uint8_t { kDiffuse = 0, kTextureTimesDiffuse = 1, kTexture = 2 };
  EColorSource colorSource = kDiffuse;
  bool flat = false, alphaTest = false, fog = false;
  int Index() const { return colorSource * 8 + (flat ? 4 : 0) + (alphaTest ? 2 : 0) + (fog ? 1 : 0); }
  static constexpr int kCount = 24;
};

// One compiled combination and the uniform values it was last sent.
class CFixedFunctionProgram {
 public:
  bool Build(const RProgramKey& key, std::string& error);
  void Destroy();
  GLuint Name() const { return m_program; }

  // world x view, and the projection (row-vector matrices as the game keeps them).
  void SetTransforms(const RMatrix& worldView, const RMatrix& projection);
  // The viewport size the pixel-centre shift is computed for.
  void SetViewportSize(int32_t w, int32_t h);
  void SetAlphaReference(uint8_t reference);
  void SetFog(const RFog& fog);

 private:
  GLuint m_program = 0;
  GLint m_worldView = -1, m_projection = -1, m_pixelOffset = -1, m_alphaReference = -1;
  GLint m_fogColor = -1, m_fogRange = -1;

  bool m_sentTransforms = false, m_sentFog = false;
  RMatrix m_worldViewSent, m_projectionSent;
  int32_t m_viewportWSent = 0, m_viewportHSent = 0;
  int m_alphaReferenceSent = -1;
  RFog m_fogSent;
};

class CFixedFunctionPrograms {
 public:
  // Builds the combination every sprite uses, so that a driver that cannot
  // compile the shaders is found when the device opens.
  bool Build(std::string& error);
  // Makes the combination current (building it the first time); null when
  // it cannot be built.
  CFixedFunctionProgram* Use(const RProgramKey& key);
  void Destroy();

 private:
  std::array<std::unique_ptr<CFixedFunctionProgram>, RProgramKey::kCount> m_programs;
  GLuint m_current = 0;
};

}  // namespace tavrin
