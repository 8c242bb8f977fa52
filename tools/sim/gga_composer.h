#pragma once

#include <string>

#include "tools/sim/epoch_time.h"
#include "tools/sim/vessel_model.h"

namespace bivane::sim {

// The state of a receiver that both receivers share, so that the program's
// consistency checks between them hold.
struct ReceiverStatus {
    int quality = 4;  // GGA fix quality; 0 = no fix
    int satellites = 14;
    double hdop = 0.7;
    double altitude = 12.4;         // metres above mean sea level
    double geoidSeparation = 45.3;  // metres
    double dgpsAge = 1.0;           // seconds; written only with quality 2 or more
    int stationId = 42;             // written only with quality 2 or more
};

// One receiver's fix of one epoch.
struct Fix {
    UtcCentiseconds time = 0;
    GeoPoint position;
};

// "ddmm.mmmmmmm,N": latitude as degrees and minutes with `decimals` decimals
// of the minutes, rounded, and its hemisphere.
std::string LatitudeFields(double latitudeDegrees, int decimals);

// "dddmm.mmmmmmm,E": the same for a longitude.
std::string LongitudeFields(double longitudeDegrees, int decimals);

// A whole GGA line, talker GP, checksum and CR LF included.
std::string ComposeGga(const Fix& fix, const ReceiverStatus& status, int decimals);

}  // namespace bivane::sim
