// nmea-bivane-replay: the heading engine without a window, fed from recorded
// port traffic. Standard output receives exactly what port 3 would receive.

#include <charconv>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/labels_json.h"
#include "nmea/number_format.h"
#include "reception/capture.h"
#include "tools/replay/replay_engine.h"

namespace {

using namespace bivane;

constexpr const char* kUsage =
    "Usage: nmea-bivane-replay [options] CAPTURE\n"
    "       nmea-bivane-replay [options] --gps1 FILE --gps2 FILE\n"
    "\n"
    "Runs recorded port traffic through reception, decoding and the heading cycle,\n"
    "as after a start with a settings file and heading output on, and writes to\n"
    "standard output exactly the bytes port 3 would receive.\n"
    "\n"
    "CAPTURE is a text file of port events, one per line: 'P>CHARS' is a receive\n"
    "event on port P (1, 2 or 3) bringing CHARS, with the escapes \\r \\n \\t \\\\ \\xHH;\n"
    "'P#CODE' is a line condition (1001, 1004, 1006, 1008, 1009). Either may follow\n"
    "its arrival time (UTC) and a space, as a recording of the program writes it:\n"
    "'@2026-12-07T14:49:47.123456Z 1>$GPGGA,...\\r\\n'. Empty lines and lines\n"
    "starting with ';' are ignored.\n"
    "\n"
    "Options:\n"
    "  --gps1 FILE, --gps2 FILE  two plain NMEA logs, one per receiver, merged in\n"
    "                            the order of their GGA times\n"
    "  --offsets X1,Y1,X2,Y2     antenna offsets in metres, X to starboard, Y ahead\n"
    "                            (default 0,0,0,0)\n"
    "  --tolerance SECONDS       accepted time difference of the fixes (default 0.2)\n"
    "  --sentences HDT,THS       the sentences sent per epoch, in this order\n"
    "                            (default HDT)\n"
    "  --baseline-limit DEG      the largest baseline mismatch, in degrees across\n"
    "                            the baseline, of a valid heading (THS A; default 1.0)\n"
    "  --labels FILE             write the main window's labels as JSON at the end\n"
    "  --csv FILE                write one row per computed heading\n"
    "  --help                    show this text\n"
    "\n"
    "Decoder messages go to standard error, one per line. The error line of the\n"
    "labels carries the event's arrival time (UTC) where the window shows the local\n"
    "time, or GPS 1's fix time for an event recorded without one.\n"
    "Exit status: 0 after a full run, 2 for bad options or an unreadable file.\n";

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Arguments {
    ReplayOptions options;
    std::string capture;
    std::string gps1;
    std::string gps2;
    std::string labels;
    std::string csv;
};

double parseNumber(std::string_view text, const std::string& option) {
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        throw UsageError(option + ": \"" + std::string(text) + "\" is not a number");
    }
    return value;
}

Arguments parseArguments(const std::vector<std::string>& args) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError(arg + " needs a value");
            }
            return args[++i];
        };
        if (arg == "--gps1") {
            parsed.gps1 = value();
        } else if (arg == "--gps2") {
            parsed.gps2 = value();
        } else if (arg == "--labels") {
            parsed.labels = value();
        } else if (arg == "--csv") {
            parsed.csv = value();
        } else if (arg == "--tolerance") {
            const double tolerance = parseNumber(value(), arg);
            parsed.options.tolerance = static_cast<float>(tolerance);
        } else if (arg == "--sentences") {
            const std::string& text = value();
            auto choice = ParseSentenceChoice(text);
            if (!choice) {
                throw UsageError("--sentences: \"" + text +
                                 "\" is no list of HDT and THS, each at most once");
            }
            parsed.options.sentences = std::move(*choice);
        } else if (arg == "--baseline-limit") {
            parsed.options.baselineLimit = parseNumber(value(), arg);
        } else if (arg == "--offsets") {
            std::string_view text = value();
            for (std::size_t k = 0; k < 4; ++k) {
                const std::size_t comma = text.find(',');
                if ((comma == std::string_view::npos) != (k == 3)) {
                    throw UsageError("--offsets needs four numbers X1,Y1,X2,Y2");
                }
                parsed.options.offsets[k] = parseNumber(text.substr(0, comma), arg);
                text.remove_prefix(k == 3 ? text.size() : comma + 1);
            }
        } else if (!arg.empty() && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else if (parsed.capture.empty()) {
            parsed.capture = arg;
        } else {
            throw UsageError("more than one capture file: " + arg);
        }
    }
    const bool logs = !parsed.gps1.empty() || !parsed.gps2.empty();
    if (logs && (parsed.gps1.empty() || parsed.gps2.empty())) {
        throw UsageError("--gps1 and --gps2 go together");
    }
    if (logs == !parsed.capture.empty()) {
        throw UsageError(logs ? "give either a capture or --gps1 and --gps2, not both"
                              : "no capture file given (see --help)");
    }
    return parsed;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw UsageError("cannot read " + path);
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        throw UsageError("cannot read " + path);
    }
    return text.str();
}

std::unique_ptr<std::ofstream> openOutput(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    auto out = std::make_unique<std::ofstream>(path, std::ios::binary);
    if (!*out) {
        throw UsageError("cannot write " + path);
    }
    return out;
}

// Decoder messages, one line each on standard error.
class StandardErrorSink final : public MessageSink {
  public:
    void showMessage(std::string_view title, std::string_view text) override {
        std::string line(title);
        line += ": ";
        line += EscapeCaptureText(text);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
};

int run(const Arguments& arguments) {
    std::vector<PortEvent> events;
    if (arguments.capture.empty()) {
        events = MergeReceiverLogs(readFile(arguments.gps1), readFile(arguments.gps2));
    } else {
        std::istringstream capture(readFile(arguments.capture));
        try {
            events = ReadCapture(capture);
        } catch (const std::runtime_error& error) {
            throw UsageError(arguments.capture + ": " + error.what());
        }
    }
    auto labels = openOutput(arguments.labels);
    auto csv = openOutput(arguments.csv);

    StandardErrorSink messages;
    ReplayEngine engine(
        arguments.options,
        [](std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); },
        messages);
    if (csv) {
        *csv << "utc_gps1,heading_deg,observed_baseline_m,c_minus_o_m,checks_passed\n";
        engine.cycle().setObserver([&](const CycleReport& report) {
            if (report.outcome != CycleOutcome::Heading) {
                return;
            }
            const CompassState& state = engine.state();
            *csv << state.GpsFix[1].UtcTime << ',' << FormatNumber(report.heading, "0.00", '.')
                 << ',' << FormatNumber(report.observedBaseline, "0.000", '.') << ','
                 << FormatNumber(state.CalculatedBaseline - report.observedBaseline, "0.000", '.')
                 << ',' << (report.checksPassed ? "true" : "false") << '\n';
        });
    }
    for (const PortEvent& event : events) {
        engine.play(event);
    }
    std::fflush(stdout);
    if (labels) {
        *labels << LabelsJson(engine.window());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    try {
        return run(parseArguments(args));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "nmea-bivane-replay: %s\n", error.what());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nmea-bivane-replay: %s\n", error.what());
        return 1;
    }
}
