// The peer of the drawing benchmark: the same scenes drawn with plain,
// hand-batched OpenGL 3.3 in a context of its own, as a program that knows
// its whole frame in advance would draw them: every vertex of the frame in
// one buffer upload, one draw call per run of sprites that share a texture.
#pragma once

#include <memory>

#include "Graphics_Scenes.h"

namespace tavrin::bench {

class CRawGLPeer {
 public:
  // Opens a hidden window with its own context and a kFrameW x kFrameH
  // framebuffer object; throws std::runtime_error when it cannot.
  CRawGLPeer();
  ~CRawGLPeer();
  void LoadTextures(const RScene& scene);
  // Clears, draws the scene, waits for the pixels; the draw calls made.
  int DrawFrame(const RScene& scene);

 private:
  struct RState;
  std::unique_ptr<RState> m;
};

}  // namespace tavrin::bench
