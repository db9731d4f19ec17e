// Text through the runner's own path against raw, hand-batched OpenGL
// drawing the very same glyph quads: a 640 x 480 screen of 2,000 glyphs
// (40 lines of 50) in the default font, laid out, looked up and submitted
// each frame as draw_text does it. The raw peer gets the quads the runner
// made (recorded once) and the font's sheet as its texture. Prints the
// ratio of frame times (runner / raw) and the draw calls per frame of both.
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "Device_Frames.h"
#include "Graphics_Scenes.h"
#include "RawGL_Peer.h"
#include "graphics/Font_List.h"
#include "graphics/Font_Text.h"
#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Recorder.h"
#include "graphics/Graphics_State.h"
#include "platform/Platform.h"
#include "support/BenchRatio.h"

namespace {

using namespace tavrin;
using namespace tavrin::bench;

constexpr int kLines = 40, kColumns = 50;

std::string Line(int i) {
  static const char* kText = "The quick brown fox jumps over the lazy dog; 0123456789 ";
  std::string s;
  for (int k = 0; k < kColumns; ++k) s.push_back(kText[size_t(i + k) % 56]);
  return s;
}

void DrawScreen() {
  for (int i = 0; i < kLines; ++i) Text_Draw(Line(i), -1, -1, 4, 2 + i * 12);
}

struct RTextRig {
  std::unique_ptr<IPlatform> platform;
  std::unique_ptr<CRawGLPeer> raw;
  RScene scene;  // the glyph quads of one screen, for the peer
};

RTextRig& Rig() {
  static RTextRig rig = [] {
    RTextRig r;
    RPlatformConfig config;
    config.headless = true;
    r.platform = Platform_CreateSDL(config);
    // The quads once, through the recording device.
    Graphics_SetDevice(std::make_unique<CRecordingDevice>(kFrameW, kFrameH));
    const CFont& font = Font_Current();
    if (font.s_bytes.empty()) throw std::runtime_error("no face for the default font");
    DrawScreen();
    TBitmap32 sheet(font.s_bw, font.s_bh);
    for (size_t i = 0; i < font.s_bytes.size(); ++i) sheet.s_data[i] = uint32_t(font.s_bytes[i]) << 24 | 0xFFFFFFu;
    r.scene.textures.push_back(std::move(sheet));
    for (const RRecordedDraw& d : static_cast<CRecordingDevice*>(Graphics_Device())->Draws()) {
      const RVertexLit& a = d.vertices[0];
      const RVertexLit& c = d.vertices[2];
      r.scene.sprites.push_back({a.x + 0.5f, a.y + 0.5f, c.x - a.x, c.y - a.y, 0, a.u, a.v, c.u, c.v, a.color});
    }
    // Then the real device for the runner's side.
    const WindowId window = r.platform->Window_Create("bench", kFrameW, kFrameH, kWindowGraphics);
    Graphics_SetDevice(r.platform->Window_OpenDevice(window, kFrameW, kFrameH));
    r.raw = std::make_unique<CRawGLPeer>();
    return r;
  }();
  return rig;
}

void Runner(benchmark::State& state) {
  IGraphicsDevice& d = *Graphics_Device();
  g_DrawState.Reset();
  DrawState_SetColor(0xFFFFFF);
  Device_TimeFrames(state, d, DrawScreen);
  state.counters["glyphs"] = double(Rig().scene.sprites.size());
}

void Raw(benchmark::State& state) {
  CRawGLPeer& raw = *Rig().raw;
  raw.LoadTextures(Rig().scene);
  int calls = 0;
  for (auto _ : state) calls = raw.DrawFrame(Rig().scene);
  state.counters["draw_calls"] = calls;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Rig();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_text: %s\n", e.what());
    return 1;
  }
  benchmark::RegisterBenchmark("text/screen_2000_glyphs/runner", Runner)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("text/screen_2000_glyphs/raw_gl", Raw)->Unit(benchmark::kMillisecond)->UseRealTime();
  const int status = RunWithRatios(
      argc, argv, {{"text/screen_2000_glyphs/runner/real_time", "text/screen_2000_glyphs/raw_gl/real_time"}});
  g_TextState.Reset();
  Graphics_SetDevice(nullptr);
  Rig().raw.reset();
  Rig().platform.reset();
  return status;
}
