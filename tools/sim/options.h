#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace bivane::sim {

// Antenna offsets from the vessel's reference point, metres: X to starboard,
// Y ahead; index 0 = GPS 1 (aft), 1 = GPS 2 (forward).
struct AntennaOffsets {
    double x[2] = {0, 0};
    double y[2] = {0, 2};
};

// Everything the command line sets. Angles in degrees, times in seconds.
struct SimOptions {
    // Vessel model.
    double latitude = 53.5;  // degrees, north positive
    double longitude = 8.0;  // degrees, east positive
    double heading = 45;     // degrees true
    double turnRate = 0;     // degrees per second, clockwise positive
    double speed = 0;        // knots
    AntennaOffsets offsets;

    // Receivers.
    double rate = 1;   // epochs per second
    int quality = 4;   // GGA fix quality
    int decimals = 7;  // decimals of the minutes
    double noise = 0;  // metres, 1 sigma, per horizontal axis
    bool sendRmc = false;
    bool sendGsa = false;
    int firstReceiver = 1;  // 1 or 2: whose GGA of an epoch goes out first
    double rate2 = 0;        // GPS 2's epochs per second; 0 = the same as `rate`
    double epochOffset = 0;  // seconds GPS 2 measures (and stamps and sends) after GPS 1

    // Faults.
    double dropRate = 0;         // probability per sentence
    double garbageRate = 0;      // probability per sentence
    double badFieldRate = 0;     // probability per GGA
    int silentReceiver = 0;      // 0 = none, else 1 or 2
    double silentAfter = 0;      // seconds after the first epoch
    double silentUntil = 0;      // seconds after the first epoch; 0 = for good
    double skew = 0;             // seconds added to GPS 2's time fields
    double timeTolerance = 0.2;  // seconds; the program's time tolerance
    // A receiver that falls from its RTK fix to a float solution for a while:
    // quality 5 and its position moved `floatJump` metres along the baseline,
    // away from the other antenna.
    int floatReceiver = 0;     // 0 = none, else 1 or 2
    double floatAfter = 0;     // seconds after the first epoch
    double floatUntil = 0;     // seconds after the first epoch; 0 = for good
    double floatJump = 0.3;    // metres

    // The heading program's sentences: those it is set to send (and the
    // listener expects for each epoch), "HDT", "THS", "ROT" in their order; and
    // the baseline limit of a valid heading, degrees (none: the program's own).
    std::vector<std::string> sentences{"HDT"};
    std::optional<double> baselineLimit;

    // Where the report's figures are heard instead of port 3 (which is read
    // all the same): the program's TCP server, or a UDP port here; 0 = none.
    std::string listenTcpHost;
    int listenTcpPort = 0;
    int listenUdpPort = 0;

    // Line and run.
    long paceBaud = 0;    // 0 = whole sentences at once
    double duration = 0;  // seconds; 0 = until a signal (or the program ends)
    std::uint64_t seed = 1;
    std::string reportPath;

    // Launching the program.
    bool launch = false;
    std::string programPath;
    std::string programFolder;
    std::vector<std::string> programArguments;  // everything after "--"
    // A program started by someone else (a test that runs the window itself):
    // streaming waits until this process holds the three devices open; 0 = none.
    long waitForPid = 0;

    bool help = false;
};

struct ParsedOptions {
    std::optional<SimOptions> options;  // empty when `error` is set
    std::string error;                  // one line naming the problem
};

// Reads the command line (without the program name). Options take their value
// as the next argument or after "=" ("--rate 5", "--rate=5").
ParsedOptions ParseOptions(std::span<const std::string> arguments);

// The text of --help: every option with its unit and default.
std::string HelpText();

}  // namespace bivane::sim
