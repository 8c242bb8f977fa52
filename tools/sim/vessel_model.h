#pragma once

#include "tools/sim/options.h"

namespace bivane::sim {

// A point on the WGS 84 ellipsoid, degrees: latitude north positive,
// longitude east positive in [-180, 180].
struct GeoPoint {
    double latitude = 0;
    double longitude = 0;
};

// What the vessel truly does at one epoch.
struct EpochTruth {
    double heading = 0;   // degrees true, [0, 360)
    double turnRate = 0;  // degrees per second, clockwise positive
    GeoPoint reference;   // the reference point the offsets are measured from
    GeoPoint antenna[2];  // index 0 = GPS 1, 1 = GPS 2
};

// The vessel: a reference point moving along its heading at constant speed,
// turning at a constant rate. Every position is computed on the WGS 84
// ellipsoid with GeographicLib, independent of the program's own geodesy.
class VesselModel {
  public:
    VesselModel(GeoPoint start, double headingDegrees, double turnRateDegreesPerSecond,
                double speedMetresPerSecond, const AntennaOffsets& offsets);

    // The truth at the current time.
    EpochTruth truth() const;

    // Moves the clock on by `seconds`: the heading turns by rate x seconds and
    // the reference point follows the geodesic along the mean heading of the
    // step.
    void advance(double seconds);

  private:
    GeoPoint m_reference;
    double m_heading;
    double m_turnRate;
    double m_speed;
    AntennaOffsets m_offsets;
};

// The point at `distance` metres and `azimuth` degrees from `from` on WGS 84.
GeoPoint GeodesicDirect(GeoPoint from, double azimuthDegrees, double distanceMetres);

// A point displaced `north` and `east` metres (as a geodesic of that length
// and direction).
GeoPoint Displace(GeoPoint from, double northMetres, double eastMetres);

// Where an antenna at offset (x to starboard, y ahead, metres) stands when the
// reference point is at `reference` and the vessel heads `headingDegrees`.
GeoPoint AntennaPosition(GeoPoint reference, double headingDegrees, double x, double y);

// The bearing of GPS 2 from GPS 1 relative to the bow, degrees clockwise in
// (-180, 180]: the vessel's heading is the azimuth GPS 1 -> GPS 2 minus this.
double BaselineBearing(const AntennaOffsets& offsets);

// An angle in degrees brought into [0, 360).
double WrapDegrees(double degrees);

// The signed difference a - b of two angles in degrees, in (-180, 180].
double AngleDifference(double a, double b);

}  // namespace bivane::sim
