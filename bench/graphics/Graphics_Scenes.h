// The scenes the drawing benchmark draws, the same for the graphics device
// and for the raw OpenGL peer: blended 32 x 32 sprites over a 640 x 480
// frame, of one texture or switching among eight with every sprite, a
// room's worth of 16 x 16 tiles cut from one tile set, and filled rectangles.
#pragma once

#include <cstdint>
#include <vector>

#include "package/BM32_Bitmap.h"

namespace tavrin::bench {

inline constexpr int kFrameW = 640, kFrameH = 480;

struct RSprite {
  float x, y, w, h;
  int texture;
  float u0, v0, u1, v1;
  uint32_t color;  // 0xAARRGGBB
};

struct RScene {
  std::vector<TBitmap32> textures;
  std::vector<RSprite> sprites;
};

// `count` sprites of 32 x 32 at scattered places, drawn at alpha 0.75;
// `textures` of them take turns (1: all share one).
inline RScene Scene_Sprites(int count, int textures) {
  RScene scene;
  for (int t = 0; t < textures; ++t) {
    TBitmap32 b(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const uint32_t inside = (x - 16) * (x - 16) + (y - 16) * (y - 16) < 225 ? 0xFF000000u : 0x40000000u;
        b.SetPixel(x, y, inside | uint32_t(t * 30) << 16 | uint32_t(x * 8) << 8 | uint32_t(y * 8));
      }
    scene.textures.push_back(std::move(b));
  }
  uint32_t seed = 12345;
  auto next = [&seed](int below) {
    seed = seed * 134775813u + 1u;
    return float((seed >> 8) % uint32_t(below));
  };
  for (int i = 0; i < count; ++i)
    scene.sprites.push_back({next(kFrameW - 32), next(kFrameH - 32), 32, 32, i % textures, 0, 0, 1, 1, 0xBFFFFFFF});
  return scene;
}

// `count` 16 x 16 tiles laid row by row (layers repeat over the frame), each
// one of the 64 tiles of a 128 x 128 tile set.
inline RScene Scene_Tiles(int count) {
  RScene scene;
  TBitmap32 set(128, 128);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x) set.SetPixel(x, y, 0xFF000000u | uint32_t(x * 2) << 16 | uint32_t(y * 2) << 8 | 0x40u);
  scene.textures.push_back(std::move(set));
  const int perRow = kFrameW / 16, rows = kFrameH / 16;
  for (int i = 0; i < count; ++i) {
    const int cell = i % (perRow * rows), tile = (i * 7) % 64;
    const float u = float(tile % 8) / 8, v = float(tile / 8) / 8;
    scene.sprites.push_back({float(cell % perRow * 16), float(cell / perRow * 16), 16, 16, 0, u, v, u + 0.125f,
                             v + 0.125f, 0xFFFFFFFF});
  }
  return scene;
}

// `count` filled rectangles of 8 x 8 to 40 x 40 in many colours, at alpha
// 0.75. Drawn by the shape code without a texture; the peer draws the same
// quads with a white texel, which gives the same pixels.
inline RScene Scene_Rectangles(int count) {
  RScene scene;
  scene.textures.emplace_back(1, 1, 0xFFFFFFFFu);
  uint32_t seed = 777;
  auto next = [&seed](int below) {
    seed = seed * 134775813u + 1u;
    return float((seed >> 8) % uint32_t(below));
  };
  for (int i = 0; i < count; ++i) {
    const float w = 8 + next(33), h = 8 + next(33);
    const uint32_t color = 0xBF000000u | uint32_t(i * 2654435761u) >> 8;
    scene.sprites.push_back({next(kFrameW - 40), next(kFrameH - 40), w, h, 0, 0, 0, 1, 1, color});
  }
  return scene;
}

}  // namespace tavrin::bench
