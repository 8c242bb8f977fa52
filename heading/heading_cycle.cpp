#include "heading/heading_cycle.h"

#include <cmath>
#include <cstdlib>

#include "heading/cycle_failure.h"
#include "heading/error_line.h"
#include "heading/fix_panels.h"
#include "heading/geodesy.h"
#include "nmea/angle_constants.h"
#include "nmea/hdt.h"
#include "nmea/number_format.h"
#include "nmea/rot.h"
#include "nmea/ths.h"
#include "nmea/utc_time.h"

namespace bivane {
namespace {

constexpr std::int64_t kStaleLimitMs = 1500;
// Receivers too far apart to pair for longer than this are reported.
constexpr std::int64_t kUnpairedLimitMs = 3000;
// The smallest heading that reads 360.0 with one decimal (the formatter
// rounds the float's shortest form, "359.95", half away from zero). Such a
// heading is sent and shown as 000.0: listeners expect 0 to 359.9.
constexpr float kFullCircleShown = 359.95f;
constexpr NumberPattern kHeadingShown = ReadNumberPattern("000.0");
constexpr NumberPattern kHundredthsOfMetres = ReadNumberPattern("0.00 m");
constexpr NumberPattern kHundredthsOfDegrees = ReadNumberPattern("0.00\xC2\xB0");

std::int64_t fixTime(const GgaRecord& fix, int receiver) {
    if (fix.TimeOfDayMs) {
        return *fix.TimeOfDayMs;
    }
    throw CycleFailure("The UTC time \"" + fix.UtcTime.substr(0, 8) + "\" of GPS " +
                       std::to_string(receiver) + " is no valid time of day");
}

double seconds(std::int64_t milliseconds) {
    return static_cast<double>(milliseconds) / 1000;
}

}  // namespace

HeadingCycle::HeadingCycle(CompassState& state, MainWindowText& window, TextOutput& headingPort,
                           TextOutput& logFile, const LocalClock& clock, char decimalSeparator)
    : m_state(state),
      m_window(window),
      m_headingPort(headingPort),
      m_logFile(logFile),
      m_clock(clock),
      m_separator(decimalSeparator) {}

void HeadingCycle::MainLoop(int receiver) {
    CycleReport report;
    m_outputFailure.clear();
    std::string failure;
    try {
        report = runCycle(receiver);
    } catch (const CycleFailure& cycleFailure) {
        report.outcome = CycleOutcome::Failed;
        failure = cycleFailure.what();
    }
    // An output that failed did not stop the display; the error line says
    // what did not go out, together with anything else that failed.
    if (!m_outputFailure.empty()) {
        failure = failure.empty() ? m_outputFailure : failure + "; " + m_outputFailure;
    }
    if (!failure.empty()) {
        ShowErrorLine(m_window, m_clock, failure + " Error in Main Loop");
    }
    m_lastOutcome = report.outcome;
    if (m_observer) {
        m_observer(report);
    }
}

CycleReport HeadingCycle::runCycle(int receiver) {
    CycleReport report;
    const GgaRecord& gps1 = m_state.GpsFix[1];
    const GgaRecord& gps2 = m_state.GpsFix[2];
    const GgaRecord& fix = m_state.GpsFix[static_cast<std::size_t>(receiver)];
    const auto toleranceMs =
        static_cast<std::int64_t>(std::round(static_cast<double>(m_state.TimeTolerance) * 1000));
    if (gps1.UtcTime.empty() || gps2.UtcTime.empty()) {
        if (fix.TimeOfDayMs) {
            m_pairing.add(receiver, fix, toleranceMs);
        }
        return report;
    }
    fixTime(fix, receiver);  // a new fix without a valid time fails the cycle
    const auto pair = m_pairing.add(receiver, fix, toleranceMs);
    const std::int64_t time1 = fixTime(gps1, 1);
    const std::int64_t time2 = fixTime(gps2, 2);
    const std::int64_t timeDiffMs = TimeDifferenceMs(time1, time2);
    const std::int64_t apart = std::llabs(timeDiffMs);
    report.timeDiffSeconds = seconds(timeDiffMs);

    if (pair) {
        m_unpairedSinceMs.reset();
        const GgaRecord& fix1 = *pair->fix[0];
        const GgaRecord& fix2 = *pair->fix[1];
        report.timeDiffSeconds = seconds(TimeDifferenceMs(*fix1.TimeOfDayMs, *fix2.TimeOfDayMs));
        report.instantMs = pair->instantMs;
        if (fix1.Quality == 0 || fix2.Quality == 0) {
            report.outcome = CycleOutcome::NoFix;
            showNoHeading(fix1, fix2, report.timeDiffSeconds);
        } else {
            computeHeading(*pair, report);
        }
        return report;
    }
    if (apart >= kStaleLimitMs && apart >= toleranceMs) {
        m_unpairedSinceMs.reset();
        report.outcome = CycleOutcome::Stale;
        showNoHeading(gps1, gps2, report.timeDiffSeconds);
        return report;
    }
    report.outcome = CycleOutcome::Waiting;
    if (apart < toleranceMs) {
        m_unpairedSinceMs.reset();
        return report;
    }
    // Too far apart to pair: normally the partner of the new epoch is on its
    // way, but receivers whose epochs lie further apart than the tolerance
    // never pair, and that must not pass in silence.
    const std::int64_t newest = timeDiffMs > 0 ? time1 : time2;
    if (!m_unpairedSinceMs) {
        m_unpairedSinceMs = newest;
        m_unpairedShown = false;
    }
    if (TimeDifferenceMs(newest, *m_unpairedSinceMs) <= kUnpairedLimitMs) {
        return report;
    }
    report.outcome = CycleOutcome::Unpaired;
    if (!m_unpairedShown) {
        m_unpairedShown = true;
        const std::string gap = FormatNumber(seconds(apart), "0.00", m_separator);
        ShowErrorLine(m_window, m_clock,
                      "The fixes of GPS 1 and GPS 2 are " + gap +
                          " s apart: raise the time tolerance above " + gap + " s");
    }
    showNoHeading(gps1, gps2, report.timeDiffSeconds);
    return report;
}

void HeadingCycle::computeHeading(const FixPair& pair, CycleReport& report) {
    // The series is in units of the semi-minor axis: with it the observed
    // baseline is the true geodesic length.
    double observed = 0;
    double azimuth = 0;
    InverseGeodesic(pair.latitude[0], pair.longitude[0], pair.latitude[1], pair.longitude[1],
                    GeodesicMode::DistanceAndAzimuth, kWgs84SemiMinorAxis, kWgs84Flattening,
                    observed, azimuth);
    const double headingDegrees = WrapAngle(azimuth, m_state.HeadingCorrection) * kRadToDeg;
    if (!std::isfinite(observed) || !std::isfinite(headingDegrees)) {
        throw CycleFailure("The positions of the two fixes give no finite baseline");
    }
    auto heading = static_cast<float>(headingDegrees);
    if (heading >= kFullCircleShown) {
        heading = 0;
    }
    m_state.HdtData.Heading = heading;
    report.outcome = CycleOutcome::Heading;
    report.heading = heading;
    report.observedBaseline = observed;

    // The sentences leave before any label is touched.
    const double calculated = m_state.CalculatedBaseline;
    const double mismatch = calculated > 0 ? (calculated - observed) / calculated : 0;
    const bool across = calculated > 0 && ArcSinDefined(mismatch);
    const double acrossDegrees = across ? ArcSin(mismatch) * kRadToDeg : 0;
    report.headingValid =
        calculated <= 0 || (across && std::fabs(acrossDegrees) <= m_state.BaselineLimit);
    std::string shown = sendSentences(heading, report.headingValid, report.instantMs);

    if (!shown.empty()) {
        m_window.lblHDT.text = std::move(shown);
    }
    m_window.lblUTC[0].color = kBlack;
    m_window.lblHeading.text = FormatNumber(heading, kHeadingShown, m_separator);
    m_window.lblBaseline.text = FormatNumber(observed, kHundredthsOfMetres, m_separator);
    m_window.lblC_O.text = FormatNumber(calculated - observed, kHundredthsOfMetres, m_separator);
    if (calculated > 0) {
        // Beyond the arcsine's range the mismatch amounts to no angle at all:
        // a number there would read as agreement.
        m_window.lblCorrespond.text =
            across ? FormatNumber(acrossDegrees, kHundredthsOfDegrees, m_separator) : "n/a";
        m_window.lblCorrespond.color = report.headingValid ? kBlack : kLightRed;
    }
    m_window.lblOld.visible = false;

    bool cycleOk = true;
    RefreshFixPanels(*pair.fix[0], *pair.fix[1], m_window, report.timeDiffSeconds, cycleOk,
                     m_separator);
    report.checksPassed = cycleOk;
}

void HeadingCycle::showNoHeading(const GgaRecord& gps1, const GgaRecord& gps2,
                                 double timeDiffSeconds) {
    sendSentences(std::nullopt, false);
    m_window.lblOld.visible = true;
    m_window.lblUTC[0].color = kLightRed;
    bool cycleOk = false;
    RefreshFixPanels(gps1, gps2, m_window, timeDiffSeconds, cycleOk, m_separator);
}

std::string HeadingCycle::sendSentences(std::optional<float> heading, bool valid,
                                        std::int64_t instantMs) {
    // The rate follows every valid heading, chosen or not, so that a choice
    // made while the vessel turns starts from the turn.
    m_rateOfTurn.setTimeConstant(m_state.RotTimeConstant);
    std::optional<double> rate;
    if (heading && valid) {
        rate = m_rateOfTurn.add(instantMs, *heading);
    }
    m_sentences.clear();
    std::string first;
    for (HeadingSentence kind : m_state.Sentences) {
        std::string sentence;
        if (kind == HeadingSentence::Hdt) {
            if (!heading) {
                continue;  // HDT has no way to say "no heading"
            }
            sentence = BuildHdtSentence(m_state.HdtData.TalkerID, *heading, 1);
        } else if (kind == HeadingSentence::Ths) {
            sentence = BuildThsSentence(m_state.HdtData.TalkerID,
                                        valid ? heading : std::optional<float>());
        } else {
            sentence = BuildRotSentence(m_state.HdtData.TalkerID, rate);
        }
        m_sentences += sentence;
        m_sentences += "\r\n";
        if (first.empty()) {
            first = std::move(sentence);
        }
    }
    if (m_sentences.empty()) {
        return first;
    }
    if (m_state.HeadingOutput) {
        noteOutputFailure(m_headingPort.write(m_sentences), "not sent");
    }
    for (TextOutput* output : m_outputs) {
        noteOutputFailure(output->write(m_sentences), "not sent");
    }
    if (m_state.Logging) {
        noteOutputFailure(m_logFile.write(m_sentences), "not logged");
    }
    return first;
}

void HeadingCycle::noteOutputFailure(const IoResult& result, const char* consequence) {
    if (result.ok()) {
        return;
    }
    if (!m_outputFailure.empty()) {
        m_outputFailure += "; ";
    }
    m_outputFailure += result.failure();
    m_outputFailure += ": heading ";
    m_outputFailure += consequence;
}

}  // namespace bivane
