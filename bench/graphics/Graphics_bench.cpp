// Drawing through the graphics device against raw, hand-batched OpenGL in
// the same run: 1,000 and 10,000 blended 32 x 32 sprites of one texture and
// of eight textures taking turns, 2,000 tiles of one tile set, and 5,000
// translucent filled rectangles drawn as games draw them (draw_rectangle). Each
// iteration is one frame: clear, every sprite submitted as the sprite code
// submits it (a fan of four corners), end of frame, and a one-pixel read
// that waits until the frame is drawn. Prints the ratio of frame times
// (device / raw) per scene and the draw calls per frame of both.
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "Device_Frames.h"
#include "Graphics_Scenes.h"
#include "RawGL_Peer.h"
#include "graphics/Graphics_Device.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Shape.h"
#include "graphics/Graphics_State.h"
#include "platform/Platform.h"
#include "support/BenchRatio.h"

namespace {

using namespace tavrin;
using namespace tavrin::bench;

// The device is the game's (Graphics_Device), so that shapes find it as
// they do in a game.
struct RDeviceRig {
  std::unique_ptr<IPlatform> platform;
  std::unique_ptr<CRawGLPeer> raw;
};

RDeviceRig& Rig() {
  static RDeviceRig rig = [] {
    RDeviceRig r;
    RPlatformConfig config;
    config.headless = true;
    r.platform = Platform_CreateSDL(config);
    const WindowId window = r.platform->Window_Create("bench", kFrameW, kFrameH, kWindowGraphics);
    Graphics_SetDevice(r.platform->Window_OpenDevice(window, kFrameW, kFrameH));
    r.raw = std::make_unique<CRawGLPeer>();
    return r;
  }();
  return rig;
}

constexpr int kRectangles = 5;

RScene MakeScene(int kind) {
  switch (kind) {
    case 0: return Scene_Sprites(1000, 1);
    case 1: return Scene_Sprites(10000, 1);
    case 2: return Scene_Sprites(1000, 8);
    case 3: return Scene_Sprites(10000, 8);
    case 4: return Scene_Tiles(2000);
    default: return Scene_Rectangles(5000);
  }
}

void Device(benchmark::State& state, int kind) {
  IGraphicsDevice& d = *Graphics_Device();
  const RScene scene = MakeScene(kind);
  std::vector<TextureId> textures;
  for (const TBitmap32& b : scene.textures) {
    textures.push_back(d.Texture_Create(b.s_w, b.s_h, false));
    d.Texture_Upload(textures.back(), b);
  }
  Device_TimeFrames(state, d, [&] {
    if (kind == kRectangles)
      for (const RSprite& s : scene.sprites)
        Shape_Rectangle(s.x, s.y, s.x + s.w, s.y + s.h, s.color, s.color, s.color, s.color, false);
    else
      for (const RSprite& s : scene.sprites) {
        d.SetTexture(textures[size_t(s.texture)]);
        const float l = s.x - 0.5f, t = s.y - 0.5f, r = l + s.w, b = t + s.h;
        const RVertexTextured quad[4] = {{l, t, 0, s.color, s.u0, s.v0}, {r, t, 0, s.color, s.u1, s.v0},
                                         {r, b, 0, s.color, s.u1, s.v1}, {l, b, 0, s.color, s.u0, s.v1}};
        d.Draw(EPrimitive::TriangleFan, EVertexLayout::Textured, quad, 4);
      }
  });
  for (TextureId t : textures) d.Texture_Free(t);
}

void Raw(benchmark::State& state, int kind) {
  CRawGLPeer& raw = *Rig().raw;
  const RScene scene = MakeScene(kind);
  raw.LoadTextures(scene);
  int calls = 0;
  for (auto _ : state) calls = raw.DrawFrame(scene);
  state.counters["draw_calls"] = calls;
}

const char* kScenes[] = {"sprites_1000_one_texture", "sprites_10000_one_texture", "sprites_1000_eight_textures",
                         "sprites_10000_eight_textures", "tiles_2000", "rectangles_5000"};

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> pairs;
  try {
    Rig();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_graphics: %s\n", e.what());
    return 1;
  }
  for (int kind = 0; kind <= kRectangles; ++kind) {
    const std::string ours = std::string("graphics/") + kScenes[kind] + "/device";
    const std::string peer = std::string("graphics/") + kScenes[kind] + "/raw_gl";
    benchmark::RegisterBenchmark(ours.c_str(), Device, kind)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark(peer.c_str(), Raw, kind)->Unit(benchmark::kMillisecond)->UseRealTime();
    pairs.emplace_back(ours + "/real_time", peer + "/real_time");
  }
  const int status = RunWithRatios(argc, argv, pairs);
  Graphics_SetDevice(nullptr);
  Rig().raw.reset();
  Rig().platform.reset();
  return status;
}
