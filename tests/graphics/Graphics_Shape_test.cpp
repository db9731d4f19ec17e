// Shapes as the device receives them, through the recording device: the
// vertices and primitive of each family, the +0.01 rule for far edges,
// normalised boxes, the circle precision and its vertex counts, degenerate
// lines and arrows, health bar colours and directions, primitives held to
// their vertex cap, and long polylines split into strips that never outgrow
// their buffer.
#include <gtest/gtest.h>

#include "graphics/Graphics_Primitive.h"
#include "graphics/Graphics_Shape.h"
#include "graphics/RecordingFixture.h"

namespace tavrin {
namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

class Shapes : public test::CRecordingTest {
 protected:
  const RRecordedDraw& Only() {
    EXPECT_EQ(m_device->Draws().size(), 1u);
    return m_device->Draws().back();
  }
};

struct RCorner {
  float x, y;
};
void ExpectCorners(const RRecordedDraw& d, std::initializer_list<RCorner> corners, const char* name) {
  ASSERT_GE(d.vertices.size(), corners.size()) << name;
  size_t i = 0;
  for (const RCorner& c : corners) {
    EXPECT_FLOAT_EQ(d.vertices[i].x, c.x) << name << " vertex " << i;
    EXPECT_FLOAT_EQ(d.vertices[i].y, c.y) << name << " vertex " << i;
    ++i;
  }
}

TEST_F(Shapes, RectanglesTakeAnyCornersAndNudgeWholeFarEdges) {
  const struct {
    const char* name;
    double x1, y1, x2, y2;
    bool outline;
    EPrimitive kind;
    size_t count;
    float left, top, right, bottom;
  } cases[] = {
      {"filled, whole edges", 10, 10, 20, 20, false, EPrimitive::TriangleFan, 4, 10, 10, 20.01f, 20.01f},
      {"corners given the other way round", 20, 20, 10, 10, false, EPrimitive::TriangleFan, 4, 10, 10, 20.01f, 20.01f},
      {"a far edge between pixels stays", 10, 10, 20.5, 20, false, EPrimitive::TriangleFan, 4, 10, 10, 20.5f, 20.01f},
      {"an outline closes on its first corner", 5, 7, 1, 3, true, EPrimitive::LineStrip, 5, 1, 3, 5.01f, 7.01f},
  };
  for (const auto& c : cases) {
    m_device->ForgetDraws();
    Shape_Rectangle(c.x1, c.y1, c.x2, c.y2, 1, 2, 3, 4, c.outline);
    const RRecordedDraw& d = Only();
    EXPECT_EQ(d.kind, c.kind) << c.name;
    ASSERT_EQ(d.vertices.size(), c.count) << c.name;
    ExpectCorners(d, {{c.left, c.top}, {c.right, c.top}, {c.right, c.bottom}, {c.left, c.bottom}}, c.name);
    EXPECT_EQ(d.vertices[0].color, 1u) << c.name;  // top-left, then clockwise
    EXPECT_EQ(d.vertices[2].color, 3u) << c.name;
    if (c.outline) EXPECT_FLOAT_EQ(d.vertices[4].x, c.left) << c.name;
    EXPECT_EQ(d.texture, kNoTexture) << c.name;
  }
}

TEST_F(Shapes, CirclePrecisionSetsTheStepsOfEveryRoundShape) {
  const struct {
    double asked;
    int32_t n;
  } cases[] = {{24, 24}, {30, 28}, {2, 4}, {100, 64}, {-5, 4}};
  for (const auto& c : cases) {
    Shape_SetCirclePrecision(c.asked);
    ASSERT_EQ(Shape_CirclePrecision(), c.n) << c.asked;
    m_device->ForgetDraws();
    Shape_Ellipse(0, 0, 20, 10, 1, 2, false);
    Shape_Ellipse(0, 0, 20, 10, 1, 2, true);
    Shape_RoundRect(0, 0, 40, 40, 1, 2, false);
    const auto& draws = m_device->Draws();
    ASSERT_EQ(draws.size(), 3u);
    // Filled: the centre and n + 1 rim points; outline: n pieces, closed.
    EXPECT_EQ(draws[0].kind, EPrimitive::TriangleFan);
    EXPECT_EQ(draws[0].vertices.size(), size_t(c.n + 2)) << c.asked;
    EXPECT_EQ(draws[0].vertices[0].color, 1u);
    EXPECT_FLOAT_EQ(draws[0].vertices[1].x, 20);
    EXPECT_FLOAT_EQ(draws[0].vertices[1].y, 5);
    EXPECT_EQ(draws[1].kind, EPrimitive::LineStrip);
    ASSERT_EQ(draws[1].vertices.size(), size_t(c.n + 1)) << c.asked;
    EXPECT_FLOAT_EQ(draws[1].vertices[0].x, draws[1].vertices[size_t(c.n)].x);
    EXPECT_EQ(draws[1].vertices[0].color, 2u);  // the centre is not on an outline
    // Rounded: the centre, four arcs of n / 4 + 1 points, the closing point.
    EXPECT_EQ(draws[2].vertices.size(), size_t(c.n + 6)) << c.asked;
  }
}

TEST_F(Shapes, LinesArrowsAndPoints) {
  Shape_Line(1, 2, 3, 4, 5, 6);
  ExpectCorners(Only(), {{1.01f, 2.01f}, {3.01f, 4.01f}}, "thin line");
  EXPECT_EQ(Only().kind, EPrimitive::LineList);

  m_device->ForgetDraws();
  Shape_LineWidth(0, 0, 10, 0, 4, 7, 8);
  ExpectCorners(Only(), {{0, 2}, {10, 2}, {10, -2}, {0, -2}}, "thick line");
  EXPECT_EQ(Only().vertices[0].color, 7u);
  EXPECT_EQ(Only().vertices[1].color, 8u);

  // The head is never longer than the line.
  m_device->ForgetDraws();
  Shape_Arrow(0, 0, 12, 0, 50, kWhite);
  ASSERT_EQ(m_device->Draws().size(), 2u);
  ExpectCorners(m_device->Draws()[1], {{12, 0}, {0, 4}, {0, -4}}, "arrow head");

  // Ends that coincide draw nothing.
  m_device->ForgetDraws();
  Shape_LineWidth(3, 3, 3, 3, 4, kWhite, kWhite);
  Shape_Arrow(3, 3, 3, 3, 10, kWhite);
  EXPECT_TRUE(m_device->Draws().empty());
}

TEST_F(Shapes, HealthBarsFillTowardsTheirDirectionInTheirColour) {
  // Red to lime: the middle rounds each channel, 75 is halfway to lime.
  EXPECT_EQ(Shape_HealthBarColor(0, 0x0000FF, 0x00FF00), 0x0000FFu);
  EXPECT_EQ(Shape_HealthBarColor(50, 0x0000FF, 0x00FF00), 0x008080u);
  EXPECT_EQ(Shape_HealthBarColor(75, 0x0000FF, 0x00FF00), 0x00C040u);
  EXPECT_EQ(Shape_HealthBarColor(100, 0x0000FF, 0x00FF00), 0x00FF00u);
  const struct {
    int32_t direction;
    double amount;
    float left, top, right, bottom;
  } cases[] = {
      {0, 25, 0, 0, 25.01f, 40.01f},  {1, 25, 75, 0, 100.01f, 40.01f}, {2, 25, 0, 0, 100.01f, 10.01f},
      {3, 25, 0, 30, 100.01f, 40.01f}, {7, 25, 0, 0, 25.01f, 40.01f},   {0, 150, 0, 0, 100.01f, 40.01f},
      {2, -20, 0, 0, 100.01f, 0.01f},
  };
  for (const auto& c : cases) {
    m_device->ForgetDraws();
    RHealthBar bar{0, 0, 100, 40, c.amount, 0, 0x0000FF, 0x00FF00, c.direction, false, false};
    Shape_HealthBar(bar, 1);
    ExpectCorners(Only(), {{c.left, c.top}, {c.right, c.top}, {c.right, c.bottom}}, "bar");
  }
  // Back and border: the back, its outline, the bar, the bar's outline.
  m_device->ForgetDraws();
  Shape_HealthBar(RHealthBar{0, 0, 100, 40, 50, 0x808080, 0x0000FF, 0x00FF00, 0, true, true}, 1);
  ASSERT_EQ(m_device->Draws().size(), 4u);
  EXPECT_EQ(m_device->Draws()[0].vertices[0].color, 0xFF808080u);
  EXPECT_EQ(m_device->Draws()[1].vertices[0].color, 0xFF000000u);
  EXPECT_EQ(m_device->Draws()[2].vertices[0].color, 0xFF808000u);
}

TEST_F(Shapes, LongPolylinesGoOutInJoinedStrips) {
  Shape_StripBegin(kWhite);
  for (int i = 0; i <= 1200; ++i) Shape_StripAdd(i, 0);
  Shape_StripEnd();
  const auto& draws = m_device->Draws();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[0].vertices.size(), size_t(kShapeStripPoints));
  EXPECT_EQ(draws[1].vertices.size(), size_t(kShapeStripPoints));
  EXPECT_EQ(draws[2].vertices.size(), 201u);
  // Each strip begins where the last ended; the last point is the last added.
  EXPECT_FLOAT_EQ(draws[1].vertices.front().x, draws[0].vertices.back().x);
  EXPECT_FLOAT_EQ(draws[2].vertices.front().x, draws[1].vertices.back().x);
  EXPECT_FLOAT_EQ(draws[2].vertices.back().x, 1200);
  // A single point is no line.
  m_device->ForgetDraws();
  Shape_StripBegin(kWhite);
  Shape_StripAdd(1, 1);
  Shape_StripEnd();
  EXPECT_TRUE(m_device->Draws().empty());
}

TEST_F(Shapes, PrimitivesKeepTheirFirst1001Vertices) {
  Primitive_Begin(int32_t(EPrimitive::PointList), kNoTexture);
  for (int i = 0; i < 1500; ++i) Primitive_Vertex(i, 0, 0, 0, kWhite);
  Primitive_End();
  ASSERT_EQ(Only().vertices.size(), size_t(kPrimitiveMaxVertices));
  EXPECT_FLOAT_EQ(Only().vertices.back().x, 1000);
}

}  // namespace
}  // namespace tavrin
