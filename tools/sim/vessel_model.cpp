#include "tools/sim/vessel_model.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>

namespace bivane::sim {
namespace {

constexpr double kDegreesPerRadian = 180 / 3.14159265358979323846;

}  // namespace

GeoPoint GeodesicDirect(GeoPoint from, double azimuthDegrees, double distanceMetres) {
    if (distanceMetres == 0) {
        return from;
    }
    GeoPoint to;
    GeographicLib::Geodesic::WGS84().Direct(from.latitude, from.longitude, azimuthDegrees,
                                            distanceMetres, to.latitude, to.longitude);
    return to;
}

GeoPoint Displace(GeoPoint from, double northMetres, double eastMetres) {
    return GeodesicDirect(from, std::atan2(eastMetres, northMetres) * kDegreesPerRadian,
                          std::hypot(northMetres, eastMetres));
}

GeoPoint AntennaPosition(GeoPoint reference, double headingDegrees, double x, double y) {
    return GeodesicDirect(reference, headingDegrees + std::atan2(x, y) * kDegreesPerRadian,
                          std::hypot(x, y));
}

double BaselineBearing(const AntennaOffsets& offsets) {
    return std::atan2(offsets.x[1] - offsets.x[0], offsets.y[1] - offsets.y[0]) * kDegreesPerRadian;
}

double WrapDegrees(double degrees) {
    double wrapped = std::fmod(degrees, 360.0);
    if (wrapped < 0) {
        wrapped += 360;
    }
    return wrapped >= 360 ? 0 : wrapped;
}

double AngleDifference(double a, double b) {
    const double d = WrapDegrees(a - b);
    return d > 180 ? d - 360 : d;
}

VesselModel::VesselModel(GeoPoint start, double headingDegrees, double turnRateDegreesPerSecond,
                         double speedMetresPerSecond, const AntennaOffsets& offsets)
    : m_reference(start),
      m_heading(WrapDegrees(headingDegrees)),
      m_turnRate(turnRateDegreesPerSecond),
      m_speed(speedMetresPerSecond),
      m_offsets(offsets) {}

EpochTruth VesselModel::truth() const {
    EpochTruth truth;
    truth.heading = m_heading;
    truth.turnRate = m_turnRate;
    truth.reference = m_reference;
    for (int i = 0; i < 2; ++i) {
        truth.antenna[i] = AntennaPosition(m_reference, m_heading, m_offsets.x[i], m_offsets.y[i]);
    }
    return truth;
}

void VesselModel::advance(double seconds) {
    const double meanHeading = m_heading + m_turnRate * seconds / 2;
    m_reference = GeodesicDirect(m_reference, meanHeading, m_speed * seconds);
    m_heading = WrapDegrees(m_heading + m_turnRate * seconds);
}

}  // namespace bivane::sim
