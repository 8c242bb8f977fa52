#pragma once

#include <string>
#include <vector>

namespace bivane::bench {

// Two antenna positions, degrees.
struct Pair {
    double lat1, lon1, lat2, lon2;
};

// Pairs 0.5 m to 1 km apart in every direction at latitudes up to +-85
// degrees, the same every run.
const std::vector<Pair>& GeodesicPairs();

// Realistic GGA lines: RTK fixes with seven-decimal minutes, varied fields.
const std::vector<std::string>& GgaLines();

// One epoch of two receivers: GPS 1's and GPS 2's GGA line of the same
// second, `count` epochs of a vessel turning slowly.
struct Epoch {
    std::string gps1;
    std::string gps2;
};
std::vector<Epoch> Epochs(int count);

}  // namespace bivane::bench
