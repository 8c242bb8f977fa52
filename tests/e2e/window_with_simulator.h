#pragma once

// The main window in this process, on the offscreen platform, with its three
// ports on the devices of a simulator that runs as a process of its own.

#include <QStringList>
#include <chrono>
#include <string>
#include <vector>

#include "heading/main_window_text.h"
#include "tools/sim/options.h"

namespace bivane::e2e {

using Clock = std::chrono::steady_clock;

// What the window showed at one moment.
struct Sample {
    Clock::time_point at;
    bool oldVisible = false;
    std::string heading;  // lblHeading
    std::string hdt;      // lblHDT: the first of the sentences sent
    std::string gga[2];   // lblGGA(1), lblGGA(2): the latest line of each receiver
};

struct WindowRun {
    int status = -1;     // the simulator's exit status
    std::string report;  // its --report
    std::vector<Sample> samples;
    MainWindowText last;   // the window's texts when the simulator ended
    QStringList messages;  // message boxes the window showed
};

// How often the test looks at the window while the simulator streams.
inline constexpr auto kSampleEvery = std::chrono::milliseconds(20);

// Starts the simulator with `arguments` (and the offsets, --wait-for this
// process and --report), starts the window on its devices with heading output
// on (sending the sentences of the arguments' --sentences) and runs the event loop until the simulator has ended; the window is
// closed at the end.
WindowRun RunWindowWithSimulator(std::vector<std::string> arguments,
                                 const sim::AntennaOffsets& offsets);

// The times of the samples at which GPS `receiver` (1 or 2) showed a new
// line: one per GGA that reached the window, give or take a sample.
std::vector<Clock::time_point> NewLineTimes(const std::vector<Sample>& samples, int receiver);

}  // namespace bivane::e2e
