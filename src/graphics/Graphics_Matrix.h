// 4 x 4 matrices for placing what a game draws: the world, view and
// projection transforms of the graphics device.
//
// Conventions, which every game's 2D and 3D drawing relies on: a point is a
// row vector multiplied on the left (p' = p x M), so the translation sits in
// the bottom row and Matrix_Multiply(a, b) applies a first, then b. The
// coordinate system is left-handed: x right, y up, z into the screen; 2D
// rooms get y growing downwards through a projection of negative height.
// Projections map the visible depth range to 0 (near) .. 1 (far). Angles are
// radians.
#pragma once

#include <cmath>

namespace tavrin {

struct RVector3 {
  float x = 0, y = 0, z = 0;
  bool operator==(const RVector3&) const = default;
};

struct RVector4 {
  float x = 0, y = 0, z = 0, w = 0;
  bool operator==(const RVector4&) const = default;
};

struct RMatrix {
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};  // identity
  bool operator==(const RMatrix&) const = default;
};

namespace matrix_detail {

inline RVector3 Subtract(RVector3 a, RVector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline float Dot(RVector3 a, RVector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline RVector3 Cross(RVector3 a, RVector3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

// A zero vector stays zero rather than becoming NaN.
inline RVector3 Normalized(RVector3 v) {
  const float length = std::sqrt(matrix_detail::Dot(v, v));
  if (length == 0) return v;
  return {v.x / length, v.y / length, v.z / length};
}

inline RMatrix Zero() {
  RMatrix r;
  for (auto& row : r.m)
    for (float& value : row) value = 0;
  return r;
}

}  // namespace matrix_detail

inline RMatrix Matrix_Identity() { return RMatrix{}; }

// a then b.
inline RMatrix Matrix_Multiply(const RMatrix& a, const RMatrix& b) {
  RMatrix r = matrix_detail::Zero();
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      r.m[i][j] = sum;
    }
  return r;
}

inline RMatrix Matrix_Translation(float x, float y, float z) {
  RMatrix r;
  r.m[3][0] = x;
  r.m[3][1] = y;
  r.m[3][2] = z;
  return r;
}

inline RMatrix Matrix_Scaling(float x, float y, float z) {
  RMatrix r;
  r.m[0][0] = x;
  r.m[1][1] = y;
  r.m[2][2] = z;
  return r;
}

// Turns about an axis through the origin: positive angles turn
// counter-clockwise as seen from the negative end of the axis (for z: as the
// viewer sees it with y up; with a 2D room's y down it looks clockwise).
inline RMatrix Matrix_RotationX(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  RMatrix r;
  r.m[1][1] = c;
  r.m[1][2] = s;
  r.m[2][1] = -s;
  r.m[2][2] = c;
  return r;
}

inline RMatrix Matrix_RotationY(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  RMatrix r;
  r.m[0][0] = c;
  r.m[0][2] = -s;
  r.m[2][0] = s;
  r.m[2][2] = c;
  return r;
}

inline RMatrix Matrix_RotationZ(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  RMatrix r;
  r.m[0][0] = c;
  r.m[0][1] = s;
  r.m[1][0] = -s;
  r.m[1][1] = c;
  return r;
}

// About any axis; a zero-length axis gives the identity.
inline RMatrix Matrix_RotationAxis(RVector3 axis, float angle) {
  const RVector3 a = matrix_detail::Normalized(axis);
  if (a.x == 0 && a.y == 0 && a.z == 0) return RMatrix{};
  const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  RMatrix r;
  r.m[0][0] = t * a.x * a.x + c;
  r.m[0][1] = t * a.x * a.y + s * a.z;
  r.m[0][2] = t * a.x * a.z - s * a.y;
  r.m[1][0] = t * a.x * a.y - s * a.z;
  r.m[1][1] = t * a.y * a.y + c;
  r.m[1][2] = t * a.y * a.z + s * a.x;
  r.m[2][0] = t * a.x * a.z + s * a.y;
  r.m[2][1] = t * a.y * a.z - s * a.x;
  r.m[2][2] = t * a.z * a.z + c;
  return r;
}

// A camera at `eye` looking at `at`, with `up` pointing up on the screen.
inline RMatrix Matrix_LookAtLH(RVector3 eye, RVector3 at, RVector3 up) {
  const RVector3 z = matrix_detail::Normalized(matrix_detail::Subtract(at, eye));
  const RVector3 x = matrix_detail::Normalized(matrix_detail::Cross(up, z));
  const RVector3 y = matrix_detail::Cross(z, x);
  RMatrix r;
  const RVector3 axes[3] = {x, y, z};  // the camera's right, up and forward: the matrix's columns
  for (int c = 0; c < 3; ++c) {
    r.m[0][c] = axes[c].x;
    r.m[1][c] = axes[c].y;
    r.m[2][c] = axes[c].z;
    r.m[3][c] = -matrix_detail::Dot(axes[c], eye);
  }
  return r;
}

// Parallel projection of a width x height window; a negative height turns y
// downwards, as 2D rooms want.
inline RMatrix Matrix_OrthoLH(float width, float height, float zNear, float zFar) {
  RMatrix r;
  r.m[0][0] = 2 / width;
  r.m[1][1] = 2 / height;
  r.m[2][2] = 1 / (zFar - zNear);
  r.m[3][2] = zNear / (zNear - zFar);
  return r;
}

// Perspective whose near plane shows width x height.
inline RMatrix Matrix_PerspectiveLH(float width, float height, float zNear, float zFar) {
  RMatrix r = matrix_detail::Zero();
  r.m[0][0] = 2 * zNear / width;
  r.m[1][1] = 2 * zNear / height;
  r.m[2][2] = zFar / (zFar - zNear);
  r.m[2][3] = 1;
  r.m[3][2] = zNear * zFar / (zNear - zFar);
  return r;
}

// Perspective from a vertical field of view and a width / height aspect.
inline RMatrix Matrix_PerspectiveFovLH(float fieldOfViewY, float aspect, float zNear, float zFar) {
  const float yScale = 1 / std::tan(fieldOfViewY / 2);
  RMatrix r = matrix_detail::Zero();
  r.m[0][0] = yScale / aspect;
  r.m[1][1] = yScale;
  r.m[2][2] = zFar / (zFar - zNear);
  r.m[2][3] = 1;
  r.m[3][2] = zNear * zFar / (zNear - zFar);
  return r;
}

// (x, y, z, 1) x m.
inline RVector4 Matrix_Transform(const RMatrix& m, RVector3 p) {
  const float v[4] = {p.x, p.y, p.z, 1};
  float out[4];
  for (int j = 0; j < 4; ++j) out[j] = v[0] * m.m[0][j] + v[1] * m.m[1][j] + v[2] * m.m[2][j] + v[3] * m.m[3][j];
  return {out[0], out[1], out[2], out[3]};
}

}  // namespace tavrin
