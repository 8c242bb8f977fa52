#pragma once

// The program's angle constants. Pi is the decimal 3.14159265359 everywhere,
// and every derived value comes from that decimal, not from full-precision pi,
// so that headings agree with the equipment this program has always fed.
namespace bivane {

inline constexpr double kPi = 3.14159265359;
inline constexpr double kTwoPi = 6.28318530718;
inline constexpr double kHalfPi = 1.570796326795;
inline constexpr double kThreeHalfPi = 4.7123889803850005;
// Degrees to radians, 3.14159265359 / 180.
inline constexpr double kDegToRad = 0.017453292519944444;
// Radians to degrees, 180 / 3.14159265359.
inline constexpr double kRadToDeg = 57.29577951307855;

}  // namespace bivane
