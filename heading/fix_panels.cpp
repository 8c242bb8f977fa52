#include "heading/fix_panels.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "heading/cycle_failure.h"
#include "heading/geodesy.h"
#include "nmea/angle_constants.h"
#include "nmea/number_format.h"
#include "nmea/position_text.h"

namespace bivane {
namespace {

constexpr float kAgeLimitSeconds = 5;
constexpr std::string_view kScreenForm = "Form";
constexpr NumberPattern kTenths = ReadNumberPattern("0.0");
constexpr NumberPattern kTenthsOfMetres = ReadNumberPattern("0.0 m");
constexpr NumberPattern kSeconds = ReadNumberPattern("0.00 sec");

// A difference as the 16-bit integer the panel shows, or a cycle failure.
std::int16_t shortDifference(std::int64_t difference, const char* what) {
    if (difference < std::numeric_limits<std::int16_t>::min() ||
        difference > std::numeric_limits<std::int16_t>::max()) {
        throw CycleFailure(std::string(what) + " difference " + std::to_string(difference) +
                           " is outside the range -32768 to 32767");
    }
    return static_cast<std::int16_t>(difference);
}

// A difference of two single-precision measurements, or a cycle failure when
// it overflows.
float singleDifference(float minuend, float subtrahend, const char* what) {
    const float difference = minuend - subtrahend;
    if (!std::isfinite(difference)) {
        throw CycleFailure(std::string(what) + " difference overflows the single-precision range");
    }
    return difference;
}

void setCheck(LabelText& label, bool passed, bool& cycleOk) {
    label.color = passed ? kBlack : kLightRed;
    if (!passed) {
        cycleOk = false;
    }
}

class PanelWriter {
  public:
    PanelWriter(MainWindowText& window, char separator)
        : m_window(window), m_separator(separator) {}

    void receiver(int i, const GgaRecord& fix) {
        m_window.lblLat[i].text = position(fix.Latitude, "LAT");
        m_window.lblLon[i].text = position(fix.Longitude, "LON");
        m_window.lblHgt[i].text = number(fix.Altitude, kTenthsOfMetres);
        m_window.lblSvs[i].text = std::to_string(fix.Satellites);
        m_window.lblHdop[i].text = number(fix.Hdop, kTenths);
        m_window.lblQuality[i].text = std::to_string(fix.Quality);
        if (fix.Quality <= 1) {
            m_window.lblStnID[i].text = "n/a";
            m_window.lblAge[i].text = "n/a";
        } else {
            m_window.lblStnID[i].text = std::to_string(fix.StationId);
            m_window.lblAge[i].text = number(fix.DgpsAge, kTenths);
        }
        m_window.lblUTC[i].text = fix.UtcTime;
    }

    std::string position(double radians, std::string_view kind) const {
        return PositionText(radians * kRadToDeg, kind, kScreenForm, 3, m_separator);
    }
    template <typename Real>
    std::string number(Real value, const NumberPattern& pattern) const {
        return FormatNumber(value, pattern, m_separator);
    }

  private:
    MainWindowText& m_window;
    char m_separator;
};

}  // namespace

void RefreshFixPanels(const GgaRecord& gps1, const GgaRecord& gps2, MainWindowText& window,
                      double timeDiffSeconds, bool& cycleOk, char decimalSeparator) {
    PanelWriter panels(window, decimalSeparator);
    panels.receiver(1, gps1);
    panels.receiver(2, gps2);

    // The difference panel, every difference GPS 2 minus GPS 1.
    const double dLat = gps2.Latitude - gps1.Latitude;
    const double dLon = gps2.Longitude - gps1.Longitude;
    float north = 0;
    float east = 0;
    NorthEastMetres(gps1.Latitude, gps1.Longitude, gps2.Latitude, gps2.Longitude, north, east);
    window.lblLat[0].text = panels.position(dLat, "LAT");
    window.lblLon[0].text = panels.position(dLon, "LON");
    window.lblLat[3].text = panels.number(north, kTenthsOfMetres);
    window.lblLon[3].text = panels.number(east, kTenthsOfMetres);
    const float dAlt = singleDifference(gps2.Altitude, gps1.Altitude, "Altitude");
    window.lblHgt[0].text = panels.number(dAlt, kTenthsOfMetres);

    const std::int16_t dSvs = shortDifference(gps2.Satellites - gps1.Satellites, "Satellite");
    setCheck(window.lblSvs[0], dSvs == 0, cycleOk);
    window.lblSvs[0].text = std::to_string(dSvs);

    const float dHdop = singleDifference(gps2.Hdop, gps1.Hdop, "HDOP");
    setCheck(window.lblHdop[0], dHdop == 0, cycleOk);
    window.lblHdop[0].text = panels.number(dHdop, kTenths);

    const bool sameQuality = shortDifference(gps2.Quality - gps1.Quality, "Quality") == 0;
    setCheck(window.lblQuality[0], sameQuality, cycleOk);
    window.lblQuality[0].text = sameQuality ? "equal" : "NOT EQUAL";

    if (gps1.Quality <= 1 || gps2.Quality <= 1) {
        window.lblStnID[0] = {"n/a", kBlack, window.lblStnID[0].visible};
        window.lblAge[0] = {"n/a", kBlack, window.lblAge[0].visible};
    } else {
        const std::int64_t stationDifference =
            static_cast<std::int64_t>(gps2.StationId) - gps1.StationId;
        if (stationDifference < std::numeric_limits<std::int32_t>::min() ||
            stationDifference > std::numeric_limits<std::int32_t>::max()) {
            throw CycleFailure("Station difference " + std::to_string(stationDifference) +
                               " is outside the 32-bit integer range");
        }
        const bool sameStation = shortDifference(stationDifference, "Station") == 0;
        setCheck(window.lblStnID[0], sameStation, cycleOk);
        window.lblStnID[0].text = sameStation ? "equal" : "NOT EQUAL";

        const float dAge = singleDifference(gps2.DgpsAge, gps1.DgpsAge, "Age");
        window.lblAge[0].color = std::fabs(dAge) >= kAgeLimitSeconds ? kLightRed : kBlack;
        window.lblAge[0].text = panels.number(dAge, kTenths);
    }

    window.lblUTC[0].text = panels.number(timeDiffSeconds, kSeconds);
    window.lblHeading.color = cycleOk ? kBlack : kLightRed;
}

}  // namespace bivane
