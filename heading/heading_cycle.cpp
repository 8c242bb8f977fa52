#include "heading/heading_cycle.h"

#include <cmath>
#include <cstdlib>

#include "heading/cycle_failure.h"
#include "heading/error_line.h"
#include "heading/fix_panels.h"
#include "heading/geodesy.h"
#include "heading/utc_time.h"
#include "nmea/angle_constants.h"
#include "nmea/hdt.h"
#include "nmea/number_format.h"

namespace bivane {
namespace {

constexpr std::int64_t kStaleLimitMs = 1500;

std::int64_t fixTime(const GgaRecord& fix, const char* receiver) {
    if (auto ms = UtcMilliseconds(fix.UtcTime)) {
        return *ms;
    }
    throw CycleFailure(std::string("The UTC time \"") + fix.UtcTime.substr(0, 8) + "\" of " +
                       receiver + " is no valid time of day");
}

void markOld(MainWindowText& window) {
    window.lblOld.visible = true;
    window.lblUTC[0].color = kLightRed;
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

void HeadingCycle::MainLoop() {
    CycleReport report;
    try {
        report = runCycle();
    } catch (const CycleFailure& failure) {
        report.outcome = CycleOutcome::Failed;
        ShowErrorLine(m_window, m_clock, std::string(failure.what()) + " Error in Main Loop");
    }
    if (m_observer) {
        m_observer(report);
    }
}

CycleReport HeadingCycle::runCycle() {
    CycleReport report;
    const GgaRecord& gps1 = m_state.GpsFix[1];
    const GgaRecord& gps2 = m_state.GpsFix[2];
    if (gps1.UtcTime.empty() || gps2.UtcTime.empty()) {
        return report;
    }

    // The fixes' times to the millisecond, the short way round midnight; the
    // tolerance is taken to the nearest millisecond too.
    const std::int64_t timeDiffMs =
        TimeDifferenceMs(fixTime(gps1, "GPS 1"), fixTime(gps2, "GPS 2"));
    const auto distance = static_cast<double>(std::llabs(timeDiffMs));
    const double toleranceMs = std::round(static_cast<double>(m_state.TimeTolerance) * 1000);
    report.timeDiffSeconds = static_cast<double>(timeDiffMs) / 1000;

    bool cycleOk = false;
    if (distance < toleranceMs) {
        if (gps1.Quality == 0 || gps2.Quality == 0) {
            report.outcome = CycleOutcome::NoFix;
            markOld(m_window);
        } else {
            cycleOk = true;
            computeHeading(report);
        }
    } else if (distance < kStaleLimitMs) {
        report.outcome = CycleOutcome::Waiting;
        return report;
    } else {
        report.outcome = CycleOutcome::Stale;
        markOld(m_window);
    }

    RefreshFixPanels(m_state, m_window, report.timeDiffSeconds, cycleOk, m_separator);
    report.checksPassed = cycleOk;
    return report;
}

void HeadingCycle::computeHeading(CycleReport& report) {
    const GgaRecord& gps1 = m_state.GpsFix[1];
    const GgaRecord& gps2 = m_state.GpsFix[2];

    // The series is in units of the semi-minor axis: with it the observed
    // baseline is the true geodesic length.
    double observed = 0;
    double azimuth = 0;
    InverseGeodesic(gps1.Latitude, gps1.Longitude, gps2.Latitude, gps2.Longitude,
                    static_cast<std::int16_t>(GeodesicMode::DistanceAndAzimuth),
                    kWgs84SemiMinorAxis, kWgs84Flattening, observed, azimuth);
    const double headingDegrees = WrapAngle(azimuth, m_state.HeadingCorrection) * kRadToDeg;
    if (!std::isfinite(observed) || !std::isfinite(headingDegrees)) {
        throw CycleFailure("The positions of the two fixes give no finite baseline");
    }
    const auto heading = static_cast<float>(headingDegrees);
    m_state.HdtData.Heading = heading;
    report.outcome = CycleOutcome::Heading;
    report.heading = heading;
    report.observedBaseline = observed;

    m_sentence = BuildHdtSentence(m_state.HdtData.TalkerID, heading, 1, false);
    m_window.lblHDT.text = m_sentence;
    m_sentence += "\r\n";
    if (m_state.HeadingOutput) {
        if (auto failure = m_headingPort.write(m_sentence)) {
            throw CycleFailure(*failure);
        }
    }
    if (m_state.Logging) {
        if (auto failure = m_logFile.write(m_sentence)) {
            throw CycleFailure(*failure);
        }
    }

    m_window.lblUTC[0].color = kBlack;
    m_window.lblHeading.text = FormatNumber(heading, "000.0", m_separator);
    const double calculated = m_state.CalculatedBaseline;
    m_window.lblBaseline.text = FormatNumber(observed, "0.00", m_separator) + " m";
    m_window.lblC_O.text = FormatNumber(calculated - observed, "0.00", m_separator) + " m";
    if (calculated > 0) {
        const double across = ArcSin((calculated - observed) / calculated) * kRadToDeg;
        m_window.lblCorrespond.text = FormatNumber(across, "0.00", m_separator) + "\xC2\xB0";
    }
    m_window.lblOld.visible = false;
}

}  // namespace bivane
