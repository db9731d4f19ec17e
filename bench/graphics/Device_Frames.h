// Frames on the graphics device as the drawing benchmarks time them: the
// room camera over the whole kFrameW x kFrameH frame, then per iteration a
// clear, the scene's draws, the end of the frame and a one-pixel read that
// waits until the frame is drawn.
#pragma once

#include <benchmark/benchmark.h>

#include "Graphics_Scenes.h"
#include "graphics/Graphics_Device.h"

namespace tavrin::bench {

template <class Draw>
void Device_TimeFrames(benchmark::State& state, IGraphicsDevice& d, Draw draw) {
  d.SetRenderState(RRenderState{});
  d.SetTransform(ETransform::World, Matrix_Identity());
  d.SetTransform(ETransform::View, Matrix_LookAtLH({kFrameW / 2.0f, kFrameH / 2.0f, -16000},
                                                   {kFrameW / 2.0f, kFrameH / 2.0f, 0}, {0, 1, 0}));
  d.SetTransform(ETransform::Projection, Matrix_OrthoLH(kFrameW, -kFrameH, 1, 32000));
  uint32_t pixel;
  for (auto _ : state) {
    d.BeginFrame();
    d.Clear(true, 0xFF333333, true);
    draw();
    d.EndFrame();
    d.BackBuffer_Read({0, 0, 1, 1}, &pixel);
  }
  state.counters["draw_calls"] = d.Stats().lastFrameDrawCalls;
}

}  // namespace tavrin::bench
