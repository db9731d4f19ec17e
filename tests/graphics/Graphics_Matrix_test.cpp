// The matrix helpers: where the 2D camera puts a room's corners, what the
// 3D camera shows, and the rotations' directions.
#include <gtest/gtest.h>

#include <numbers>

#include "graphics/Graphics_Matrix.h"

namespace tavrin {
namespace {

RVector4 Project(const RMatrix& m, RVector3 p) {
  const RVector4 v = Matrix_Transform(m, p);
  return {v.x / v.w, v.y / v.w, v.z / v.w, 1};
}

// The 2D camera of a view showing the room rectangle (x, y, w, h).
RMatrix Camera2D(float x, float y, float w, float h, float angle = 0) {
  const float cx = x + w / 2, cy = y + h / 2;
  const RMatrix view = Matrix_LookAtLH({cx, cy, -16000}, {cx, cy, 0}, {std::sin(angle), std::cos(angle), 0});
  return Matrix_Multiply(view, Matrix_OrthoLH(w, -h, 1, 32000));
}

TEST(Matrix, The2DCameraPutsTheViewsTopLeftAtTheTopLeftWithYDown) {
  const RMatrix camera = Camera2D(100, 50, 640, 480);
  struct RCase {
    RVector3 room;
    float x, y;
  } cases[] = {{{100, 50, 0}, -1, 1}, {{740, 530, 0}, 1, -1}, {{420, 290, 0}, 0, 0}, {{740, 50, 0}, 1, 1}};
  for (const RCase& c : cases) {
    const RVector4 p = Project(camera, c.room);
    EXPECT_NEAR(p.x, c.x, 1e-5) << c.room.x << "," << c.room.y;
    EXPECT_NEAR(p.y, c.y, 1e-5) << c.room.x << "," << c.room.y;
    EXPECT_NEAR(p.z, 16000.0 / 31999.0 - 1.0 / 31999.0, 1e-5);  // z = 0 sits between near and far
  }
  // A view turned by a quarter: the middle of its right edge comes to the
  // middle of the top or bottom edge.
  const RVector4 turned = Project(Camera2D(0, 0, 100, 100, std::numbers::pi_v<float> / 2), {100, 50, 0});
  EXPECT_NEAR(turned.x, 0, 1e-5);
  EXPECT_NEAR(std::abs(turned.y), 1, 1e-5);
}

TEST(Matrix, PerspectiveShowsTheRectangleAtTheDistanceOfItsWidth) {
  // The 3D camera of a 640 x 480 view: eye at -w, near plane of w x h at 1.
  const RMatrix view = Matrix_LookAtLH({320, 240, -640}, {320, 240, 0}, {0, 1, 0});
  const RMatrix camera = Matrix_Multiply(view, Matrix_PerspectiveLH(1, 480.0f / 640.0f, 1, 32000));
  const RVector4 corner = Project(camera, {640, 480, 0});
  EXPECT_NEAR(corner.x, 1, 1e-5);
  EXPECT_NEAR(corner.y, 1, 1e-5);
  EXPECT_NEAR(Project(camera, {320, 240, 31360}).z, 1, 1e-4);  // the far plane
  EXPECT_NEAR(Project(camera, {320, 240, -639}).z, 0, 1e-4);    // the near plane
  const RMatrix fov = Matrix_PerspectiveFovLH(std::numbers::pi_v<float> / 2, 2, 1, 100);
  EXPECT_NEAR(Project(fov, {20, 10, 10}).x, 1, 1e-5);  // 90 degrees: as high as far; twice as wide
  EXPECT_NEAR(Project(fov, {20, 10, 10}).y, 1, 1e-5);
}

TEST(Matrix, RotationsTurnCounterClockwiseSeenFromTheAxissNegativeEnd) {
  const float quarter = std::numbers::pi_v<float> / 2;
  struct RCase {
    const char* name;
    RMatrix m;
    RVector3 from, to;
  } cases[] = {
      {"z", Matrix_RotationZ(quarter), {1, 0, 0}, {0, 1, 0}},
      {"x", Matrix_RotationX(quarter), {0, 1, 0}, {0, 0, 1}},
      {"y", Matrix_RotationY(quarter), {0, 0, 1}, {1, 0, 0}},
      {"axis z", Matrix_RotationAxis({0, 0, 2}, quarter), {1, 0, 0}, {0, 1, 0}},
      {"axis (1,1,1) a third", Matrix_RotationAxis({1, 1, 1}, 2 * std::numbers::pi_v<float> / 3), {1, 0, 0}, {0, 1, 0}},
      {"zero axis", Matrix_RotationAxis({0, 0, 0}, quarter), {1, 2, 3}, {1, 2, 3}},
  };
  for (const RCase& c : cases) {
    const RVector4 p = Matrix_Transform(c.m, c.from);
    EXPECT_NEAR(p.x, c.to.x, 1e-5) << c.name;
    EXPECT_NEAR(p.y, c.to.y, 1e-5) << c.name;
    EXPECT_NEAR(p.z, c.to.z, 1e-5) << c.name;
  }
  // a then b: scale first, then move.
  const RMatrix both = Matrix_Multiply(Matrix_Scaling(2, 3, 4), Matrix_Translation(10, 20, 30));
  const RVector4 p = Matrix_Transform(both, {1, 1, 1});
  EXPECT_EQ(p.x, 12);
  EXPECT_EQ(p.y, 23);
  EXPECT_EQ(p.z, 34);
}

}  // namespace
}  // namespace tavrin
