// The frames of the built-in room transitions, drawn on a recording device:
// where each picture lands, how much of it shows and how opaque it is, at
// the start, the middle and the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Graphics_Recorder.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"
#include "runner/Run_Transition.h"

namespace tavrin {
namespace {

constexpr int32_t W = 40, H = 20;

// A picture as drawn: which one, its box on the target (pixel edges) and
// its alpha.
struct RShown {
  std::string picture;
  float left, top, right, bottom;
  int alpha;
  bool operator==(const RShown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RShown& s) {
  return out << s.picture << " " << s.left << "," << s.top << " .. " << s.right << "," << s.bottom << " a" << s.alpha;
}

class Transitions : public ::testing::Test {
 protected:
  void SetUp() override {
    auto device = std::make_unique<CRecordingDevice>(W, H);
    m_device = device.get();
    Graphics_SetDevice(std::move(device));
    m_from = Texture_CreateEmpty(W, H, true);
    m_to = Texture_CreateEmpty(W, H, true);
  }
  void TearDown() override { Graphics_SetDevice(nullptr); }

  // What one frame shows, in drawing order; "clear" for a clear to black.
  std::vector<RShown> Frame(int32_t kind, double t, int32_t steps = 8) {
    m_device->ForgetDraws();
    Transition_DrawFrame(kind, m_from, m_to, W, H, t, steps);
    std::vector<RShown> shown;
    for (const RRecordedClear& c : m_device->Clears()) shown.push_back({"clear", 0, 0, 0, 0, int(c.color >> 24)});
    for (const RRecordedDraw& d : m_device->Draws()) {
      RShown s{d.texture == m_from ? "from" : "to", 1e9f, 1e9f, -1e9f, -1e9f, int(d.vertices[0].color >> 24)};
      for (const RVertexLit& v : d.vertices) {
        s.left = std::min(s.left, v.x + 0.5f);
        s.top = std::min(s.top, v.y + 0.5f);
        s.right = std::max(s.right, v.x + 0.5f);
        s.bottom = std::max(s.bottom, v.y + 0.5f);
      }
      shown.push_back(s);
    }
    return shown;
  }

  CRecordingDevice* m_device = nullptr;
  TextureId m_from = kNoTexture, m_to = kNoTexture;
};

TEST_F(Transitions, EachKindPlacesBothRoomsAsItMoves) {
  const RShown from{"from", 0, 0, W, H, 255};
  struct Case {
    const char* name;
    int32_t kind;
    double t;
    std::vector<RShown> shown;
  };
  const Case cases[] = {
      {"revealed from the left, half way", 1, 0.5, {from, {"to", 0, 0, 20, H, 255}}},
      {"revealed from the right, a quarter", 2, 0.25, {from, {"to", 30, 0, W, H, 255}}},
      {"revealed from the bottom, a quarter", 4, 0.25, {from, {"to", 0, 15, W, H, 255}}},
      {"revealed from the centre, half way", 5, 0.5, {from, {"to", 10, 5, 30, 15, 255}}},
      {"at the start nothing of the new room shows", 1, 0, {from}},
      {"slid in from the left, a quarter", 6, 0.25, {from, {"to", -30, 0, 10, H, 255}}},
      {"slid in from the bottom, at the end", 9, 1, {from, {"to", 0, 0, W, H, 255}}},
      {"pushing out to the right, a quarter", 14, 0.25, {{"from", 10, 0, 50, H, 255}, {"to", -30, 0, 10, H, 255}}},
      {"pushing out upwards, half way", 17, 0.5, {{"from", 0, -10, W, 10, 255}, {"to", 0, 10, W, 30, 255}}},
      {"zoomed in at the end", 18, 1, {from, {"to", 0, 0, W, H, 255}}},
      // A quarter of the way: a quarter of the size, half a turn, about the
      // centre (the quad's half-pixel shift turns with it).
      {"zoomed, a quarter of the way", 19, 0.25, {from, {"to", 16, 8.5, 26, 13.5, 255}}},
      {"blended, 30 percent", 20, 0.3, {from, {"to", 0, 0, W, H, 76}}},  // 76.5, to even
      {"faded through black, first half", 21, 0.25, {{"clear", 0, 0, 0, 0, 255}, {"from", 0, 0, W, H, 128}}},
      {"faded through black, second half", 21, 0.75, {{"clear", 0, 0, 0, 0, 255}, {"to", 0, 0, W, H, 128}}},
      {"interlaced, at the end only the new room", 10, 1, {{"to", 0, 0, W, H, 255}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Frame(c.kind, c.t), c.shown);
  }
}

TEST_F(Transitions, InterlacedStripesGrowFromTheirSide) {
  // 8 steps, step 2: three columns of the new room (0, 10, 20 wide 5) from
  // the left; from the right the last three of the five.
  const std::vector<RShown> left = Frame(10, 2.0 / 8);
  ASSERT_EQ(left.size(), 4u);
  EXPECT_EQ(left[1], (RShown{"to", 0, 0, 5, H, 255}));
  EXPECT_EQ(left[3], (RShown{"to", 20, 0, 25, H, 255}));
  const std::vector<RShown> right = Frame(11, 2.0 / 8);
  ASSERT_EQ(right.size(), 4u);
  EXPECT_EQ(right[1], (RShown{"to", 20, 0, 25, H, 255}));
  EXPECT_EQ(right[3], (RShown{"to", 40, 0, 45, H, 255}));
}

}  // namespace
}  // namespace tavrin
