// What the graphics device tests share: the real device opened headless on
// a small window, the 2D camera a game sets up, and quads made the way
// sprite drawing makes them (a fan of four corners offset by half a pixel).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/Graphics_Device.h"
#include "platform/Platform.h"

namespace tavrin::test {

// The camera that shows the room rectangle (0, 0, w, h) unrotated.
inline void SetView2D(IGraphicsDevice& device, float w, float h) {
  device.SetTransform(ETransform::World, Matrix_Identity());
  device.SetTransform(ETransform::View, Matrix_LookAtLH({w / 2, h / 2, -16000}, {w / 2, h / 2, 0}, {0, 1, 0}));
  device.SetTransform(ETransform::Projection, Matrix_OrthoLH(w, -h, 1, 32000));
}

// A w x h quad at (x, y), texture rectangle (u0, v0)-(u1, v1), one colour.
inline std::array<RVertexTextured, 4> Quad(float x, float y, float w, float h, uint32_t color, float u0 = 0,
                                           float v0 = 0, float u1 = 1, float v1 = 1, float z = 0) {
  const float l = x - 0.5f, t = y - 0.5f, r = l + w, b = t + h;
  return {{{l, t, z, color, u0, v0}, {r, t, z, color, u1, v0}, {r, b, z, color, u1, v1}, {l, b, z, color, u0, v1}}};
}

inline void DrawQuad(IGraphicsDevice& device, const std::array<RVertexTextured, 4>& quad) {
  device.Draw(EPrimitive::TriangleFan, std::span<const RVertexTextured>(quad));
}

class CDeviceTest : public ::testing::Test {
 protected:
  static constexpr int kSize = 64;

  void SetUp() override {
    RPlatformConfig config;
    config.headless = true;
    m_platform = Platform_CreateSDL(config);
    m_window = m_platform->Window_Create("device test", kSize, kSize, kWindowGraphics);
    m_device = m_platform->Window_OpenDevice(m_window, kSize, kSize);
    SetView2D(*m_device, kSize, kSize);
    m_device->BeginFrame();
  }

  void TearDown() override {
    m_device.reset();
    m_platform.reset();
  }

  IGraphicsDevice& Device() { return *m_device; }

  TBitmap32 Read(const RRect& area = {0, 0, kSize, kSize}) {
    TBitmap32 out;
    EXPECT_TRUE(m_device->BackBuffer_Copy(area, out));
    return out;
  }
  uint32_t Pixel(int x, int y) { return Read({x, y, 1, 1}).s_data.at(0); }

  // A texture holding the bitmap.
  TextureId Texture(const TBitmap32& bitmap) {
    const TextureId id = m_device->Texture_Create(bitmap.s_w, bitmap.s_h, false);
    EXPECT_NE(id, kNoTexture);
    EXPECT_TRUE(m_device->Texture_Upload(id, bitmap));
    return id;
  }

  void SetState(void (*change)(RRenderState&)) {
    RRenderState s = m_device->RenderState();
    change(s);
    m_device->SetRenderState(s);
  }

  std::unique_ptr<IPlatform> m_platform;
  WindowId m_window = 0;
  std::unique_ptr<IGraphicsDevice> m_device;
};

}  // namespace tavrin::test
