// Tests of drawing code on the recording device: installed as the game's
// device (Graphics_Device) with a fresh drawing state, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_Recorder.h"
#include "graphics/Graphics_State.h"

namespace tavrin::test {

// A w x h picture whose pixel (x, y) is 0xFF000000 | y << 8 | x: every
// pixel tells where it came from.
inline TBitmap32 NumberedPicture(int32_t w, int32_t h) {
  TBitmap32 bm(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) bm.SetPixel(x, y, 0xFF000000u | uint32_t(y) << 8 | uint32_t(x));
  return bm;
}

class CRecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto device = std::make_unique<CRecordingDevice>(640, 480, 1024);
    m_device = device.get();
    Graphics_SetDevice(std::move(device));
    g_DrawState.Reset();
  }
  void TearDown() override { Graphics_SetDevice(nullptr); }

  CRecordingDevice* m_device = nullptr;
};

}  // namespace tavrin::test
