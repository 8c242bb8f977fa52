#include "tools/sim/options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>
#include <string_view>

#include "tools/sim/sentence_text.h"

namespace bivane::sim {
namespace {

constexpr double kDefaultBadFieldRate = 0.1;

// A number that is the whole of `text`, or nothing.
std::optional<double> wholeNumber(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<long long> wholeInteger(std::string_view text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Each setter stores the option's value and returns an error text, empty when
// the value was good.
using Setter = std::function<std::string(SimOptions&, std::string_view)>;

Setter numberIn(double SimOptions::*member, double low, double high, bool lowIncluded,
                std::string_view range) {
    return [=](SimOptions& options, std::string_view text) -> std::string {
        const auto value = wholeNumber(text);
        if (!value || *value > high || *value < low || (!lowIncluded && *value == low)) {
            return "expected " + std::string(range) + ", got " + quoted(text);
        }
        options.*member = *value;
        return {};
    };
}

template <typename Integer>
Setter integerIn(Integer SimOptions::*member, long long low, long long high,
                 std::string_view range) {
    return [=](SimOptions& options, std::string_view text) -> std::string {
        const auto value = wholeInteger(text);
        if (!value || *value < low || *value > high) {
            return "expected " + std::string(range) + ", got " + quoted(text);
        }
        options.*member = static_cast<Integer>(*value);
        return {};
    };
}

Setter textValue(std::string SimOptions::*member) {
    return [=](SimOptions& options, std::string_view text) -> std::string {
        if (text.empty()) {
            return "expected a path, got an empty text";
        }
        options.*member = std::string(text);
        return {};
    };
}

std::string setOffsets(SimOptions& options, std::string_view text) {
    const auto items = SplitAtCommas(text);
    double numbers[4] = {};
    if (items.size() != 4) {
        return "expected four numbers X1,Y1,X2,Y2, got " + quoted(text);
    }
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = wholeNumber(items[i]);
        if (!value || std::fabs(*value) > 1000) {
            return "expected four numbers X1,Y1,X2,Y2 between -1000 and 1000 metres, got " +
                   quoted(text);
        }
        numbers[i] = *value;
    }
    options.offsets.x[0] = numbers[0];
    options.offsets.y[0] = numbers[1];
    options.offsets.x[1] = numbers[2];
    options.offsets.y[1] = numbers[3];
    return {};
}

std::string setExtra(SimOptions& options, std::string_view text) {
    options.sendRmc = false;
    options.sendGsa = false;
    for (const std::string_view item : SplitAtCommas(text)) {
        if (item == "RMC" || item == "rmc") {
            options.sendRmc = true;
        } else if (item == "GSA" || item == "gsa") {
            options.sendGsa = true;
        } else if (!(item == "none" && text == "none")) {
            return "expected a list of RMC and GSA (or none), got " + quoted(text);
        }
    }
    return {};
}

std::string setOrder(SimOptions& options, std::string_view text) {
    if (text == "12" || text == "1,2") {
        options.firstReceiver = 1;
    } else if (text == "21" || text == "2,1") {
        options.firstReceiver = 2;
    } else {
        return "expected 12 or 21, got " + quoted(text);
    }
    return {};
}

std::string setSentences(SimOptions& options, std::string_view text) {
    std::vector<std::string> names;
    for (const std::string_view item : SplitAtCommas(text)) {
        std::string name(item);
        for (char& c : name) {
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        if ((name != "HDT" && name != "THS" && name != "ROT") ||
            std::find(names.begin(), names.end(), name) != names.end()) {
            return "expected a list of HDT, THS and ROT, each once, got " + quoted(text);
        }
        names.push_back(std::move(name));
    }
    options.sentences = std::move(names);
    return {};
}

std::string setBaselineLimit(SimOptions& options, std::string_view text) {
    const auto value = wholeNumber(text);
    if (!value || *value < 0 || *value > 90) {
        return "expected degrees between 0 and 90, got " + quoted(text);
    }
    options.baselineLimit = *value;
    return {};
}

std::string setListenTcp(SimOptions& options, std::string_view text) {
    const std::size_t colon = text.rfind(':');
    std::string_view host = text.substr(0, colon);
    // "[::1]:10110": the brackets keep the port apart from the address.
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    const auto port = colon == std::string_view::npos ? std::nullopt
                                                      : wholeInteger(text.substr(colon + 1));
    if (host.empty() || !port || *port < 1 || *port > 65535) {
        return "expected HOST:PORT with a port 1 to 65535, got " + quoted(text);
    }
    options.listenTcpHost = std::string(host);
    options.listenTcpPort = static_cast<int>(*port);
    return {};
}

enum class Takes { Nothing, Value, OptionalRate };

struct OptionRow {
    std::string_view name;
    Takes takes;
    Setter set;
};

const std::vector<OptionRow>& optionTable() {
    static const std::vector<OptionRow> table = {
        {"--lat", Takes::Value,
         numberIn(&SimOptions::latitude, -89.9, 89.9, true, "degrees between -89.9 and 89.9")},
        {"--lon", Takes::Value,
         numberIn(&SimOptions::longitude, -180, 180, true, "degrees between -180 and 180")},
        {"--heading", Takes::Value,
         numberIn(&SimOptions::heading, -360, 360, true, "degrees between -360 and 360")},
        {"--turn-rate", Takes::Value,
         numberIn(&SimOptions::turnRate, -30, 30, true, "degrees per second between -30 and 30")},
        {"--speed", Takes::Value,
         numberIn(&SimOptions::speed, 0, 100, true, "knots between 0 and 100")},
        {"--offsets", Takes::Value, setOffsets},
        {"--rate", Takes::Value,
         numberIn(&SimOptions::rate, 0, 50, false, "Hz above 0 and at most 50")},
        {"--rate2", Takes::Value,
         numberIn(&SimOptions::rate2, 0, 50, false, "Hz above 0 and at most 50")},
        {"--epoch-offset", Takes::Value,
         numberIn(&SimOptions::epochOffset, 0, 10, true, "seconds between 0 and 10")},
        {"--quality", Takes::Value, integerIn(&SimOptions::quality, 0, 9, "a fix quality 0 to 9")},
        {"--decimals", Takes::Value, integerIn(&SimOptions::decimals, 0, 9, "0 to 9 decimals")},
        {"--noise", Takes::Value,
         numberIn(&SimOptions::noise, 0, 1000, true, "metres between 0 and 1000")},
        {"--extra", Takes::Value, setExtra},
        {"--order", Takes::Value, setOrder},
        {"--drop-rate", Takes::Value,
         numberIn(&SimOptions::dropRate, 0, 1, true, "a probability between 0 and 1")},
        {"--garbage-rate", Takes::Value,
         numberIn(&SimOptions::garbageRate, 0, 1, true, "a probability between 0 and 1")},
        {"--bad-field", Takes::OptionalRate,
         numberIn(&SimOptions::badFieldRate, 0, 1, true, "a probability between 0 and 1")},
        {"--silent", Takes::Value, integerIn(&SimOptions::silentReceiver, 1, 2, "receiver 1 or 2")},
        {"--silent-after", Takes::Value,
         numberIn(&SimOptions::silentAfter, 0, 1e6, true, "seconds, 0 or more")},
        {"--silent-until", Takes::Value,
         numberIn(&SimOptions::silentUntil, 0, 1e6, false, "seconds above 0")},
        {"--skew", Takes::Value,
         numberIn(&SimOptions::skew, -86400, 86400, true, "seconds between -86400 and 86400")},
        {"--time-tolerance", Takes::Value,
         numberIn(&SimOptions::timeTolerance, 0, 86400, true, "seconds, 0 or more")},
        {"--float-receiver", Takes::Value,
         integerIn(&SimOptions::floatReceiver, 1, 2, "receiver 1 or 2")},
        {"--float-after", Takes::Value,
         numberIn(&SimOptions::floatAfter, 0, 1e6, true, "seconds, 0 or more")},
        {"--float-until", Takes::Value,
         numberIn(&SimOptions::floatUntil, 0, 1e6, false, "seconds above 0")},
        {"--float-jump", Takes::Value,
         numberIn(&SimOptions::floatJump, 0, 1000, true, "metres between 0 and 1000")},
        {"--sentences", Takes::Value, setSentences},
        {"--baseline-limit", Takes::Value, setBaselineLimit},
        {"--listen-tcp", Takes::Value, setListenTcp},
        {"--listen-udp", Takes::Value,
         integerIn(&SimOptions::listenUdpPort, 1, 65535, "a port 1 to 65535")},
        {"--pace-baud", Takes::Value,
         integerIn(&SimOptions::paceBaud, 50, 4000000, "a baud rate between 50 and 4000000")},
        {"--duration", Takes::Value,
         numberIn(&SimOptions::duration, 0, 1e7, true, "seconds, 0 or more")},
        {"--seed", Takes::Value,
         integerIn(&SimOptions::seed, 0, std::numeric_limits<long long>::max(),
                   "a whole number, 0 or more")},
        {"--report", Takes::Value, textValue(&SimOptions::reportPath)},
        {"--launch", Takes::Nothing,
         [](SimOptions& o, std::string_view) -> std::string {
             o.launch = true;
             return {};
         }},
        {"--program", Takes::Value, textValue(&SimOptions::programPath)},
        {"--program-folder", Takes::Value, textValue(&SimOptions::programFolder)},
        {"--wait-for", Takes::Value,
         integerIn(&SimOptions::waitForPid, 1, std::numeric_limits<int>::max(),
                   "a process id, 1 or more")},
        {"--help", Takes::Nothing,
         [](SimOptions& o, std::string_view) -> std::string {
             o.help = true;
             return {};
         }},
    };
    return table;
}

}  // namespace

ParsedOptions ParseOptions(std::span<const std::string> arguments) {
    SimOptions options;
    const auto fail = [](std::string text) { return ParsedOptions{std::nullopt, std::move(text)}; };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--") {
            options.programArguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                            arguments.end());
            break;
        }
        if (argument == "-h") {
            options.help = true;
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        const OptionRow* option = nullptr;
        for (const OptionRow& candidate : optionTable()) {
            if (candidate.name == name) {
                option = &candidate;
            }
        }
        if (option == nullptr) {
            return fail("unknown option " + quoted(argument) + " (see --help)");
        }
        std::string_view value;
        if (equals != std::string_view::npos) {
            if (option->takes == Takes::Nothing) {
                return fail(std::string(name) + " takes no value");
            }
            value = argument.substr(equals + 1);
        } else if (option->takes == Takes::Value) {
            if (i + 1 >= arguments.size()) {
                return fail(std::string(name) + ": missing value");
            }
            value = arguments[++i];
        } else if (option->takes == Takes::OptionalRate) {
            // "--bad-field" alone, or followed by its rate.
            const auto next =
                i + 1 < arguments.size() ? wholeNumber(arguments[i + 1]) : std::optional<double>{};
            if (next && *next >= 0 && *next <= 1) {
                value = arguments[++i];
            } else {
                options.badFieldRate = kDefaultBadFieldRate;
                continue;
            }
        }
        if (std::string error = option->set(options, value); !error.empty()) {
            return fail(std::string(name) + ": " + error);
        }
    }
    if (!options.launch && (!options.programPath.empty() || !options.programFolder.empty() ||
                            !options.programArguments.empty())) {
        return fail("--program, --program-folder and arguments after -- need --launch");
    }
    if (options.listenTcpPort != 0 && options.listenUdpPort != 0) {
        return fail("--listen-tcp and --listen-udp: give one of them");
    }
    if (options.launch && options.waitForPid != 0) {
        return fail("--wait-for is for a program that --launch does not start");
    }
    if (options.silentUntil > 0 &&
        (options.silentReceiver == 0 || options.silentUntil <= options.silentAfter)) {
        return fail("--silent-until needs --silent and a time after --silent-after");
    }
    if (options.floatUntil > 0 &&
        (options.floatReceiver == 0 || options.floatUntil <= options.floatAfter)) {
        return fail("--float-until needs --float-receiver and a time after --float-after");
    }
    return ParsedOptions{options, {}};
}

std::string HelpText() {
    return R"(Usage: nmea-bivane-sim [OPTION]... [--launch [-- PROGRAM-ARGUMENT...]]

Simulates two GPS receivers on pseudo-terminals (GPS 1 aft, GPS 2 forward) and
listens on a third one for the HDT, THS and ROT sentences of the heading
program (and, when asked, on the network).
On start it prints one line per device:
  GPS1=<device>  GPS2=<device>  HEADING=<device>
then streams until --duration has passed, a signal arrives (SIGINT, SIGTERM,
SIGHUP) or, with --launch, the program ends.

Vessel:
  --lat DEGREES          start latitude, north positive (default 53.5)
  --lon DEGREES          start longitude, east positive (default 8.0)
  --heading DEGREES      true heading at the start (default 45)
  --turn-rate DEG/S      rate of turn, clockwise positive (default 0)
  --speed KNOTS          speed through the water, along the heading (default 0)
  --offsets X1,Y1,X2,Y2  antenna offsets from the reference point in metres,
                         X to starboard, Y ahead; GPS 1 then GPS 2 (default 0,0,0,2)
  Each antenna's position is the WGS 84 geodesic from the reference point
  (GeographicLib's direct problem); the true heading of an epoch is the
  vessel's heading at that epoch.

Receivers:
  --rate HZ              epochs per second, above 0 and at most 50 (default 1)
  --quality N            GGA fix quality 0 to 9 (default 4)
  --decimals N           decimals of the minutes of latitude and longitude,
                         0 to 9 (default 7)
  --noise METRES         independent position noise per receiver, 1 sigma per
                         horizontal axis (default 0)
  --extra LIST           other sentences each receiver sends after its GGA:
                         RMC, GSA, RMC,GSA or none (default none)
  --order 12|21          whose GGA of an epoch goes out first when both
                         receivers measure at the same instant (default 12)
  --rate2 HZ             GPS 2's own epochs per second (default: --rate)
  --epoch-offset S       GPS 2 measures, stamps and sends its fixes S seconds
                         after GPS 1's grid (default 0)
  GGA times are UTC from the system clock at start (whole second), advanced
  by exactly 1/rate per epoch (GPS 2: S + 1/rate2), written hhmmss.ss; epochs
  are timed on the steady clock. Satellites, HDOP, altitude, DGPS age and
  station are the same in both receivers.

Faults (all decided from --seed):
  --drop-rate P          probability that a sentence is not sent (default 0)
  --garbage-rate P       probability that a sentence has 1 to 3 broken bytes
                         between "$" and "*", always so that its checksum
                         fails (default 0)
  --bad-field [P]        probability that a GGA carries one out-of-range field
                         (satellites, HDOP, altitude, DGPS age or station) with
                         a correct checksum; alone 0.1, --bad-field=P or
                         --bad-field P sets it (default 0)
  --silent 1|2           this receiver stops sending ...
  --silent-after SECONDS ... from this time after the first epoch on (default 0)
  --silent-until SECONDS ... and sends again from this time after the first
                         epoch on (default: it stays silent)
  --skew SECONDS         added to GPS 2's time fields; positions stay those of
                         the true epoch (default 0)
  --time-tolerance S     the program's time tolerance, used to decide which
                         epochs can yield a heading (default 0.2)
  --float-receiver 1|2   this receiver falls to a float solution (quality 5,
                         its position moved --float-jump metres along the
                         baseline, away from the other antenna) ...
  --float-after SECONDS  ... from this time after the first epoch on (default 0)
  --float-until SECONDS  ... until this time (default: for good)
  --float-jump METRES    how far the float position is off (default 0.3)
  --seed N               seed of noise and faults (default 1)

Line and run:
  --pace-baud N          write characters at the pace of an N baud line (10 bits
                         a character) instead of whole sentences at once;
                         GPS 1 and GPS 2 are independent lines (default off)
  --duration SECONDS     stream this long, then end; 0 = until a signal or the
                         program's end (default 0)
  --report FILE          at the end write one JSON object to FILE (see below)
  --help                 this text

Launching the program:
  --launch               start nmea-bivane with a program folder of its own:
                         DIR/Bivane.ini (ports 1, 2, 3 at "4800,n,8,1", the
                         offsets, heading output on), arguments
                         --program-folder DIR --com 1=<GPS1> --com 2=<GPS2>
                         --com 3=<HEADING> and every argument after "--", and
                         XDG_CONFIG_HOME=DIR/config, in whose per-user
                         settings file "NMEA Bivane.ini" section [Output] gets
                         Sentences (and BaselineLimit), the rest kept as it
                         was. Streaming starts when the program holds all
                         three devices open (at most 20 s wait); --duration
                         counts from then. The run ends when
                         the program ends; at --duration or on a signal the
                         program gets SIGTERM (SIGKILL 10 s later).
  --program PATH|NAME    the program: a path, or a name (nmea-bivane, the
                         window, or nmea-bivaned, the service without one)
                         looked for beside this tool, then in <build>/app and
                         <build>/service, then on PATH (default nmea-bivane)
  --program-folder DIR   use DIR, created when missing (default: a new folder
                         made under $TMPDIR or /tmp)
  --sentences LIST       the sentences the program sends for each epoch: HDT,
                         THS and ROT, each at most once, in the program's
                         order (default HDT); --launch sets the program to
                         them, and every epoch expects one of each
  --baseline-limit DEG   --launch sets the program's baseline limit of a valid
                         heading, degrees (default: the program's own)
  --wait-for PID         instead of --launch: for a program started otherwise
                         (a test running the window itself), streaming starts
                         when process PID holds all three devices open (at
                         most 20 s wait); the program is not ended

Listening on the network:
  --listen-tcp HOST:PORT connect to the program's TCP server at HOST:PORT
                         ("[ADDRESS]:PORT" for an IPv6 address), again every
                         50 ms until it accepts and after it closes the
                         connection; streaming waits until it is connected
                         (at most 20 s)
  --listen-udp PORT      receive the program's datagrams on UDP port PORT of
                         every local IPv4 address, each datagram whole lines
  With one of them the report's figures are those of the sentences heard
  there; port 3 is read all the same and its latency is port3_latency_ms.
  The program's own options go after "--" (--launch ... -- --tcp ADDR:PORT).

Epochs and scoring:
  An epoch is the instant of one heading: two fixes pair when their time
  fields are equal (to the millisecond); otherwise the two receivers' newest
  fixes pair when they are less than --time-tolerance apart, neither has
  paired yet, and the older one's receiver, by the interval of its last two
  fixes (at most 2 s), sends nothing at the newer fix's instant (the older
  fix is carried forward; that needs both of those fixes to be fixes). The
  epoch is the newer fix's instant and its truth the vessel's heading then.
  The epochs that count ("epochs") are those of every GGA the receivers send,
  also when a fault drops or breaks one; not those of a silent receiver.
  A fault hits an epoch when one of its GGAs is dropped, garbled, given a bad
  field, abandoned because the device was full for more than a second (the
  program not reading), or from a float solution. The epoch is lost when a
  GGA of it does not arrive intact and what does arrive pairs nothing at its
  instant.
  Every line received on the HEADING device (or where --listen-tcp or
  --listen-udp say) is counted in hdt_received; a line
  that is neither "$" + talker + "HDT," + heading 0 to 360 + ",T*" + checksum
  + CR LF nor "$" + talker + "THS," + heading below 360 + ",A*" (or ",,V*") +
  checksum + CR LF nor "$" + talker + "ROT," + degrees per minute (a "-" when
  the bow turns to port) + ",A*" (or ",,V*") + checksum + CR LF, with the
  right checksum, is counted in hdt_invalid; so is a line cut off by the end
  of a datagram, of a TCP connection or of the run. Every HDT, and every THS
  and ROT with status A, is taken for the epoch completed last (by the
  start of the write of the GGA that completes its pair, from the GGAs the
  program really receives) before its line feed arrived, and scored against
  that epoch's true heading, a ROT against its true rate of turn (--turn-rate
  x 60 degrees per minute). One of each kind is what an epoch takes: any
  further one of the same kind (answers from fixes of two epochs, repeats) and
  one that comes before any epoch is complete count in sentences_mispaired
  (the HDTs among them also in hdt_unpaired); those that have an epoch are
  scored all the same. A THS with mode V counts in ths_invalid, a ROT with
  status V in rot_invalid; it stands for its epoch when the epoch has none of
  its kind yet (a failed baseline check, no rate yet), else it comes from a
  cycle without a pair (no fix, stale data) and is not scored.
  After the last epoch the listener waits half a second for late sentences.
  Latency: from the start of the write of the epoch's completing GGA's last
  byte to the return of the read of the sentence's line feed, for every
  sentence scored. (The write's return comes too late: the writing thread is
  often put aside as soon as the write wakes the program.)
  Report (one line; null where no sentence was scored):
  {"epochs": N, "hdt_received": N, "hdt_invalid": N,
   "heading_error_deg": {"mean": x, "max": x},
   "latency_ms": {"p50": x, "p99": x, "max": x},
   "hdt_unpaired": N, "hdt_paired": N, "epochs_faulted": N, "epochs_lost": N,
   "hdt_missing_clean": N, "sentences_dropped": N, "sentences_garbled": N,
   "sentences_bad_field": N, "sentences_abandoned": N, "ths_valid": N,
   "ths_invalid": N, "sentences_mispaired": N, "sentences_per_epoch_max": N,
   "rot_valid": N, "rot_invalid": N,
   "rot_error_deg_per_min": {"mean": x, "max": x},
   "port3_latency_ms": {"p50": x, "p99": x, "max": x}}
  hdt_paired counts the epochs that got their HDT; hdt_missing_clean the
  epochs that no fault hit and that lack one of the --sentences;
  sentences_per_epoch_max the most sentences of one kind that one epoch got
  (1 when every epoch was answered once); port3_latency_ms the latency of the
  sentences scored on port 3, the same as latency_ms unless --listen-tcp or
  --listen-udp is given.

Exit status: 0 after a run, 1 when a device or the program cannot be set up,
2 for a bad option.
)";
}

}  // namespace bivane::sim
