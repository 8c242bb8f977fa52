#pragma once

#include <cstdint>

namespace bivane {

// WGS 84, as the program uses it.
inline constexpr double kWgs84SemiMajorAxis = 6378137.0;           // metres
inline constexpr double kWgs84SemiMinorAxis = 6356752.314245179;   // metres
inline constexpr double kWgs84Flattening = 0.0033528106647474805;  // 1 / 298.257223563

// What InverseGeodesic computes.
enum class GeodesicMode : std::int16_t {
    DistanceAndAzimuth = 0,
    DistanceOnly = 1,
    AzimuthOnly = 2,
};

// Distance and azimuth between two points on an ellipsoid (Sodano's
// non-iterative inverse solution with the flattening terms up to f^2).
// lat1, lon1, lat2, lon2: radians, north and east positive.
// mode: which results are written; a result not asked for is left untouched
//   (a value outside the enumeration asks for neither), except that
//   coincident points (both differences below 1e-10 rad) set both to 0.
// axis: metres; the distance is the series times this length, so the
//   semi-minor axis gives the geodesic distance.
// flattening: of the ellipsoid.
// distance: metres. azimuth: radians clockwise from true north of the line
//   from point 1 to point 2, from 0 up to below 2 pi (the program's pi).
void InverseGeodesic(double lat1, double lon1, double lat2, double lon2, GeodesicMode mode,
                     double axis, double flattening, double& distance, double& azimuth);

// North and east components, metres, of the step from point 1 to point 2
// (radians), scaled at lat1 on WGS 84. East uses the normal radius; north
// uses a (1 - e^2) / sqrt(1 - e^2 sin^2 lat1), which is shorter than the
// meridian radius by the factor 1 - e^2 sin^2 lat1 (0.5 % at 60 degrees).
// The longitude difference is not wrapped.
void NorthEastMetres(double lat1, double lon1, double lat2, double lon2, float& north, float& east);

// Arguments within 0.0001 beyond +-1 count as +-1 for ArcSin.
inline constexpr double kArcSinLimit = 1.0001;

// Whether ArcSin has a result for x: -1.0001 < x < 1.0001 (not NaN).
bool ArcSinDefined(double x);

// Arcsine in radians. Arguments within 0.0001 beyond +-1 count as +-1; further
// out there is no arcsine and the result is 0 (see ArcSinDefined).
double ArcSin(double x);

// a + b, radians, brought into the range from 0 up to below 2 pi (the
// program's pi).
double WrapAngle(double a, double b);

}  // namespace bivane
