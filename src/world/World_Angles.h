// Angles as games give them: degrees, counter-clockwise on the screen (y grows
// downwards). Every conversion goes through these two, always in the same
// order of operations, so that an angle gives the same bits wherever it is
// turned into radians.
#pragma once

namespace tavrin {

constexpr double kPi = 3.14159265358979323846;
inline double Angle_ToRadians(double degrees) { return degrees * kPi / 180.0; }
inline double Angle_FromRadians(double radians) { return radians * 180.0 / kPi; }

}  // namespace tavrin
