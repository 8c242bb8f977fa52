#include <benchmark/benchmark.h>
#include <GeographicLib/Geodesic.hpp>

#include "bench/bench_pairs.h"
#include "heading/geodesy.h"
#include "nmea/angle_constants.h"

namespace bivane::bench {
namespace {

void BM_InverseGeodesic(benchmark::State& state) {
    // The program works in radians: convert once, outside the timing.
    std::vector<Pair> radians = GeodesicPairs();
    for (Pair& p : radians) {
        p = {p.lat1 * kDegToRad, p.lon1 * kDegToRad, p.lat2 * kDegToRad, p.lon2 * kDegToRad};
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const Pair& p = radians[i];
        double distance = 0;
        double azimuth = 0;
        InverseGeodesic(p.lat1, p.lon1, p.lat2, p.lon2, GeodesicMode::DistanceAndAzimuth,
                        kWgs84SemiMinorAxis, kWgs84Flattening, distance, azimuth);
        benchmark::DoNotOptimize(distance);
        benchmark::DoNotOptimize(azimuth);
        i = (i + 1) % radians.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InverseGeodesic);

// The yardstick every ratio is taken against.
void BM_GeographicLibInverse(benchmark::State& state) {
    const std::vector<Pair>& pairs = GeodesicPairs();
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    std::size_t i = 0;
    for (auto _ : state) {
        const Pair& p = pairs[i];
        double distance = 0;
        double azi1 = 0;
        double azi2 = 0;
        wgs84.Inverse(p.lat1, p.lon1, p.lat2, p.lon2, distance, azi1, azi2);
        benchmark::DoNotOptimize(distance);
        benchmark::DoNotOptimize(azi1);
        i = (i + 1) % pairs.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GeographicLibInverse);

}  // namespace
}  // namespace bivane::bench
