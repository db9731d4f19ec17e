#include "graphics/Graphics_DrawState.h"

#include <algorithm>
#include <cmath>

#include "graphics/Graphics_Color.h"

namespace tavrin {

void DrawState_SetColor(uint32_t color) { g_DrawState.color = Color_ToARGB(color, g_DrawState.alpha); }

void DrawState_SetAlpha(double alpha) {
  g_DrawState.alpha = std::isnan(alpha) ? 0.0 : std::clamp(alpha, 0.0, 1.0);
  g_DrawState.color = Color_SetAlpha(g_DrawState.color, g_DrawState.alpha);
}

uint32_t DrawState_GetColor() { return Color_Swap(g_DrawState.color & 0xFFFFFF); }

void DrawState_SetBlendMode(int32_t mode) {
  switch (mode) {
    case 1: DrawState_SetBlendModeExt(kBlendSrcAlpha, kBlendOne); break;
    case 2: DrawState_SetBlendModeExt(kBlendSrcAlpha, kBlendInvSrcColor); break;
    case 3: DrawState_SetBlendModeExt(kBlendZero, kBlendInvSrcColor); break;
    default: DrawState_SetBlendModeExt(kBlendSrcAlpha, kBlendInvSrcAlpha); break;
  }
}

void DrawState_SetBlendModeExt(int32_t source, int32_t destination) {
  g_DrawState.blendSource = source;
  g_DrawState.blendDestination = destination;
}

void DrawState_Apply(IGraphicsDevice& device, bool repeat) {
  const RRenderState& now = device.RenderState();
  const RDrawState& d = g_DrawState;
  if (now.blendSource == d.blendSource && now.blendDestination == d.blendDestination &&
      now.linearFilter == d.interpolation && now.textureBlend == d.textureBlend && now.textureRepeat == repeat)
    return;
  RRenderState next = now;
  next.blendSource = d.blendSource;
  next.blendDestination = d.blendDestination;
  next.linearFilter = d.interpolation;
  next.textureBlend = d.textureBlend;
  next.textureRepeat = repeat;
  device.SetRenderState(next);
}

}  // namespace tavrin
