#include "heading/geodesy.h"

#include <algorithm>
#include <cmath>

#include "nmea/angle_constants.h"

namespace bivane {
namespace {

int sign(double x) {
    return (x > 0) - (x < 0);
}

// Signed longitude difference: negative when point 2 lies east of point 1
// the short way round, across 0 as well as across 180 degrees.
double signedLongitudeDifference(double lon1, double lon2) {
    if (sign(lon1) == sign(lon2)) {
        return lon1 - lon2;
    }
    const double t = lon1 < 0 ? lon2 - lon1 : lon1 - lon2;
    if (t > kPi) {
        return (lon2 + kPi) - (lon1 + kPi);
    }
    return (lon1 + kPi) - (lon2 + kPi);
}

// Both points on the equator: due east or due west. The longitudes are split
// into east of 0 and the rest; a three-way sign would send a point west of
// longitude 0 due east from a point exactly on it.
double equatorAzimuth(double lon1, double lon2) {
    bool east = false;
    if ((lon1 > 0) == (lon2 > 0)) {
        east = lon2 > lon1;
    } else if (lon1 > 0) {
        east = !(lon1 - lon2 <= kPi);
    } else {
        east = lon2 - lon1 <= kPi;
    }
    return east ? kHalfPi : kThreeHalfPi;
}

}  // namespace

void InverseGeodesic(double lat1, double lon1, double lat2, double lon2, GeodesicMode mode,
                     double axis, double flattening, double& distance, double& azimuth) {
    if (std::fabs(lat1 - lat2) < 1e-10 && std::fabs(lon1 - lon2) < 1e-10) {
        distance = 0;
        azimuth = 0;
        return;
    }
    const bool wantDistance =
        mode == GeodesicMode::DistanceAndAzimuth || mode == GeodesicMode::DistanceOnly;
    const bool wantAzimuth =
        mode == GeodesicMode::DistanceAndAzimuth || mode == GeodesicMode::AzimuthOnly;
    if (!wantDistance && !wantAzimuth) {
        return;
    }

    const double f = flattening;
    const double f2 = f * f;
    const double L = signedLongitudeDifference(lon1, lon2);
    double l = std::fabs(L);
    if (l > kPi) {
        l = kTwoPi - l;
    }

    const double beta1 = std::atan((1 - f) * std::tan(lat1));
    const double beta2 = std::atan((1 - f) * std::tan(lat2));
    const double sinB1 = std::sin(beta1);
    const double cosB1 = std::cos(beta1);
    const double sinB2 = std::sin(beta2);
    const double cosB2 = std::cos(beta2);
    const double sinL = std::sin(l);
    const double cosL = std::cos(l);

    const double A = sinB1 * sinB2;
    const double B = cosB1 * cosB2;
    const double K = A + B * cosL;  // cosine of the arc
    const double s = std::sqrt(std::pow(sinL * cosB2, 2) +
                               std::pow(sinB2 * cosB1 - sinB1 * cosB2 * cosL, 2));  // its sine
    const double phi = std::atan(s / std::sqrt(1 - s * s));                         // the arc
    const double sinPhi = std::sin(phi);
    const double cotPhi = 1 / std::tan(phi);
    const double q = B * sinL / sinPhi;
    const double m = 1 - q * q;
    const double g = f + f2;
    const double phi2 = phi * phi;

    if (wantDistance) {
        const double bracket = (1 + g) * phi + A * (g * s - (f2 / 2) * phi2 / sinPhi) +
                               m * (-(g / 2) * phi - (g / 2) * s * K + (f2 / 2) * phi2 * cotPhi) -
                               A * A * (f2 / 2) * s * K +
                               m * m *
                                   ((f2 / 16) * s * K + (f2 / 16) * phi - (f2 / 2) * phi2 * cotPhi -
                                    (f2 / 8) * s * K * K * K) +
                               A * m * ((f2 / 2) * phi2 / sinPhi + (f2 / 2) * s * K * K);
        distance = axis * bracket;
    }
    if (!wantAzimuth) {
        return;
    }

    if (lat1 == 0 && lat2 == 0) {
        azimuth = equatorAzimuth(lon1, lon2);
        return;
    }
    if (lon1 == lon2) {
        azimuth = lat2 > lat1 ? 0 : kPi;
        return;
    }
    const double lambda = l + q * (g * phi - A * ((f2 / 2) * s + f2 * phi2 / sinPhi) +
                                   m * ((f2 / 4) * s * K - (5 * f2 / 4) * phi + f2 * phi2 * K));
    const double T =
        (sinB2 * cosB1 - sinB1 * std::cos(lambda) * cosB2) / (cosB2 * std::sin(lambda));
    const double alpha = T == 0 ? kHalfPi : std::atan(1 / T);
    double X = 0;
    if (L >= 0) {
        X = T < 0 ? std::fabs(alpha) : kPi - std::fabs(alpha);
    } else {
        // alpha lies within +-pi/2, so each loop runs at most four times. A
        // line due east (alpha exactly pi/2, when 1 - cos(lambda) of a very
        // short line along a parallel rounds to 0) stops at pi, giving pi/2:
        // stepping on from there would turn it due north.
        X = alpha;
        if (T < 0) {
            while (X < kThreeHalfPi) {
                X += kHalfPi;
            }
        } else {
            while (X <= kPi) {
                X += kHalfPi;
            }
        }
    }
    double result = X + kPi;
    if (result >= kTwoPi) {
        result -= kTwoPi;
    }
    azimuth = result;
}

void NorthEastMetres(double lat1, double lon1, double lat2, double lon2, float& north,
                     float& east) {
    constexpr double kEccentricitySquared = 0.0066943799901413165;
    constexpr double kMeridianNumerator = 6335439.3272928195;  // a (1 - e^2)
    const double sinLat = std::sin(lat1);
    const double w = 1 - kEccentricitySquared * sinLat * sinLat;
    north = static_cast<float>((lat2 - lat1) * kMeridianNumerator / std::sqrt(w));
    east = static_cast<float>(std::cos(lat1) * kWgs84SemiMajorAxis * (lon2 - lon1) / std::sqrt(w));
}

bool ArcSinDefined(double x) {
    return x > -kArcSinLimit && x < kArcSinLimit;
}

double ArcSin(double x) {
    if (!ArcSinDefined(x)) {
        return 0;
    }
    x = std::clamp(x, -1.0, 1.0);
    if (x == 1) {
        return std::atan(1.0) * 4 / 2;
    }
    if (x == -1) {
        return std::atan(1.0) * -4 / 2;
    }
    return std::atan(x / std::sqrt(1 - x * x));
}

double WrapAngle(double a, double b) {
    double s = a + b;
    if (!std::isfinite(s)) {
        return s;
    }
    // Far-out sums are reduced first, so the loops below stay short.
    if (std::fabs(s) > 64 * kTwoPi) {
        s = std::fmod(s, kTwoPi);
    }
    while (s < 0) {
        s += kTwoPi;
    }
    while (s >= kTwoPi) {
        s -= kTwoPi;
    }
    return s;
}

}  // namespace bivane
