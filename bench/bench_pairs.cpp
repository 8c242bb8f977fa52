#include "bench/bench_pairs.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <cstdio>
#include <random>

#include "nmea/hdt.h"
#include "tests/support/gga_lines.h"

namespace bivane::bench {
namespace {

std::string ggaLine(int second, double lat, double lon, int satellites, double hdop, double age) {
    char fields[160];
    std::snprintf(fields, sizeof fields,
                  "GPGGA,%02d%02d%05.2f,%s,%c,%s,%c,4,%02d,%.1f,%.3f,M,"
                  "39.512,M,%.1f,%04d",
                  second / 3600 % 24, second / 60 % 60, second % 60 + 0.0,
                  test::NmeaAngle(lat, 2).c_str(), lat < 0 ? 'S' : 'N',
                  test::NmeaAngle(lon, 3).c_str(), lon < 0 ? 'W' : 'E', satellites, hdop,
                  12.345 + second % 7, age, second % 1000);
    std::string body = fields;
    return "$" + body + "*" + NmeaChecksum("$" + body) + "\r\n";
}

}  // namespace

const std::vector<Pair>& GeodesicPairs() {
    static const std::vector<Pair> pairs = [] {
        std::mt19937 random(85);
        std::uniform_real_distribution<double> latitude(-85, 85);
        std::uniform_real_distribution<double> longitude(-180, 180);
        std::uniform_real_distribution<double> azimuth(0, 360);
        std::uniform_real_distribution<double> logLength(std::log(0.5), std::log(1000.0));
        std::vector<Pair> result;
        for (int i = 0; i < 1024; ++i) {
            Pair p{latitude(random), longitude(random), 0, 0};
            GeographicLib::Geodesic::WGS84().Direct(p.lat1, p.lon1, azimuth(random),
                                                    std::exp(logLength(random)), p.lat2, p.lon2);
            result.push_back(p);
        }
        return result;
    }();
    return pairs;
}

const std::vector<std::string>& GgaLines() {
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> result;
        for (const Pair& p : GeodesicPairs()) {
            const int i = static_cast<int>(result.size());
            result.push_back(ggaLine(36000 + i, p.lat1, p.lon1, 8 + i % 12, 0.5 + (i % 9) * 0.1,
                                     (i % 30) * 0.1));
        }
        return result;
    }();
    return lines;
}

std::vector<Epoch> Epochs(int count) {
    std::vector<Epoch> epochs;
    epochs.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const double lat1 = 54.3 + k * 2e-6;
        const double lon1 = 10.15 + k * 2e-6;
        double lat2 = 0;
        double lon2 = 0;
        GeographicLib::Geodesic::WGS84().Direct(lat1, lon1, std::fmod(k * 0.2, 360.0), 2.0, lat2,
                                                lon2);
        const int second = 36000 + k;
        epochs.push_back(
            {ggaLine(second, lat1, lon1, 14, 0.7, 1.0), ggaLine(second, lat2, lon2, 14, 0.7, 1.0)});
    }
    return epochs;
}

}  // namespace bivane::bench
