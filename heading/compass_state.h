#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "heading/sentence_choice.h"
#include "nmea/gga.h"

namespace bivane {

// The heading of the latest cycle, as it goes out in the HDT sentence.
struct HdtRecord {
    std::string TalkerID = "GP";  // two characters
    float Heading = 0;            // degrees true, 0 up to 360
    char Spare = ' ';             // unused
};

// The program's shared state: one instance, owned by main and handed by
// reference to everything that reads or sets it.
struct CompassState {
    // Latest fix of each receiver by port index: 1 = GPS 1 (aft),
    // 2 = GPS 2 (forward). Index 0 is never used.
    std::array<GgaRecord, 3> GpsFix{};
    // Heading output on port 3 enabled.
    bool HeadingOutput = false;
    HdtRecord HdtData;
    // A heading is computed only when the two fixes' times differ by less
    // than this, in seconds. Never stored; 0.2 at every start.
    float TimeTolerance = 0.2f;
    // Antenna offsets from a common reference point, metres; index 0 = GPS 1
    // (aft), 1 = GPS 2 (forward). X positive to starboard, Y positive ahead.
    std::array<double, 2> OffsetX{};
    std::array<double, 2> OffsetY{};
    // Distance between the antennas from the offsets, metres.
    double CalculatedBaseline = 0;
    // Added to the observed azimuth GPS 1 to GPS 2 to give the heading, radians.
    double HeadingCorrection = 0;
    // The sentences sent for each epoch, in order (per-user setting).
    SentenceChoice Sentences{HeadingSentence::Hdt};
    // A heading counts as valid (THS mode A) only while the baseline mismatch
    // amounts to at most this many degrees across the baseline (per-user
    // setting).
    double BaselineLimit = 1.0;
    // Time constant of the rate of turn's smoothing, seconds; 0 for none
    // (per-user setting).
    double RotTimeConstant = 2.0;
    // Logging of computed headings is on. The open log file itself is owned
    // by the logger, which the heading cycle reaches through its log sink.
    bool Logging = false;
    // File name of the current (or last) log, without folder.
    std::string LogFileName;
    // The program folder, with its trailing separator.
    std::string ProgramFolder;
};

}  // namespace bivane
