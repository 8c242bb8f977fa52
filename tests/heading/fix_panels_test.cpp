#include "heading/fix_panels.h"

#include <gtest/gtest.h>

#include "heading/compass_state.h"
#include "nmea/angle_constants.h"

namespace bivane {
namespace {

GgaRecord fix(int quality, int satellites, float hdop, int station, float age) {
    GgaRecord record;
    record.UtcTime = "12:35:19.00";
    record.Latitude = 48.1173 * kDegToRad;
    record.Longitude = 11.516666666666667 * kDegToRad;
    record.Quality = static_cast<std::int16_t>(quality);
    record.Satellites = static_cast<std::int16_t>(satellites);
    record.Hdop = hdop;
    record.Altitude = 545.4f;
    record.StationId = station;
    record.DgpsAge = age;
    return record;
}

struct CheckRow {
    const char* legend;
    GgaRecord gps1;
    GgaRecord gps2;
    // Expected difference panel: texts, and whether each turned light red.
    const char* svs;
    bool svsRed;
    const char* hdop;
    bool hdopRed;
    const char* quality;
    bool qualityRed;
    const char* station;
    bool stationRed;
    const char* age;
    bool ageRed;
    bool headingBlack;
};

TEST(RefreshFixPanels, RunsTheConsistencyChecks) {
    const CheckRow rows[] = {
        {"all equal, no differential fix", fix(1, 8, 0.9f, 0, 0), fix(1, 8, 0.9f, 0, 0), "0", false,
         "0.0", false, "equal", false, "n/a", false, "n/a", false, true},
        {"one satellite more on GPS 2", fix(1, 8, 0.9f, 0, 0), fix(1, 9, 0.9f, 0, 0), "1", true,
         "0.0", false, "equal", false, "n/a", false, "n/a", false, false},
        {"HDOP differs in the second decimal", fix(1, 8, 0.9f, 0, 0), fix(1, 8, 0.91f, 0, 0), "0",
         false, "0.0", true, "equal", false, "n/a", false, "n/a", false, false},
        {"same station, ages 6 s apart: age red, heading still black", fix(2, 8, 0.9f, 31, 2),
         fix(2, 8, 0.9f, 31, 8), "0", false, "0.0", false, "equal", false, "equal", false, "6.0",
         true, true},
        {"ages just under 5 s apart", fix(2, 8, 0.9f, 31, 2), fix(2, 8, 0.9f, 31, 6.9f), "0", false,
         "0.0", false, "equal", false, "equal", false, "4.9", false, true},
        {"different stations", fix(2, 8, 0.9f, 31, 2), fix(2, 8, 0.9f, 44, 2), "0", false, "0.0",
         false, "equal", false, "NOT EQUAL", true, "0.0", false, false},
        {"quality 1 and 2", fix(1, 8, 0.9f, 31, 2), fix(2, 8, 0.9f, 31, 2), "0", false, "0.0",
         false, "NOT EQUAL", true, "n/a", false, "n/a", false, false},
        {"fewer satellites on GPS 2", fix(4, 12, 0.6f, 0, 1), fix(4, 10, 0.6f, 0, 1), "-2", true,
         "0.0", false, "equal", false, "equal", false, "0.0", false, false},
    };
    for (const CheckRow& row : rows) {
        SCOPED_TRACE(row.legend);
        CompassState state;
        state.GpsFix[1] = row.gps1;
        state.GpsFix[2] = row.gps2;
        MainWindowText window;
        bool cycleOk = true;
        RefreshFixPanels(state.GpsFix[1], state.GpsFix[2], window, 0, cycleOk, '.');
        const auto red = [](const LabelText& label) { return label.color == kLightRed; };
        EXPECT_EQ(window.lblSvs[0].text, row.svs);
        EXPECT_EQ(red(window.lblSvs[0]), row.svsRed);
        EXPECT_EQ(window.lblHdop[0].text, row.hdop);
        EXPECT_EQ(red(window.lblHdop[0]), row.hdopRed);
        EXPECT_EQ(window.lblQuality[0].text, row.quality);
        EXPECT_EQ(red(window.lblQuality[0]), row.qualityRed);
        EXPECT_EQ(window.lblStnID[0].text, row.station);
        EXPECT_EQ(red(window.lblStnID[0]), row.stationRed);
        EXPECT_EQ(window.lblAge[0].text, row.age);
        EXPECT_EQ(red(window.lblAge[0]), row.ageRed);
        EXPECT_EQ(cycleOk, row.headingBlack);
        EXPECT_EQ(window.lblHeading.color, row.headingBlack ? kBlack : kLightRed);
    }
}

TEST(RefreshFixPanels, FillsTheReceiverPanels) {
    CompassState state;
    state.GpsFix[1] = fix(1, 8, 0.9f, 31, 2);
    state.GpsFix[2] = fix(2, 8, 0.9f, 31, 2.5f);
    state.GpsFix[2].Latitude = -23.508333333333333 * kDegToRad;
    state.GpsFix[2].Longitude = -0.5 * kDegToRad;
    state.GpsFix[2].Hdop = static_cast<float>(MissingValue);
    state.GpsFix[2].UtcTime = "12:35:20.00";
    MainWindowText window;
    bool cycleOk = false;
    RefreshFixPanels(state.GpsFix[1], state.GpsFix[2], window, -1, cycleOk, ',');

    EXPECT_EQ(window.lblLat[1].text,
              "48\xC2\xB0"
              "07'02,280\"N");
    EXPECT_EQ(window.lblLon[2].text,
              "000\xC2\xB0"
              "30'00,000\"W");
    EXPECT_EQ(window.lblHgt[1].text, "545,4 m");
    EXPECT_EQ(window.lblHdop[2].text, "-9999,0") << "a missing HDOP shows as it is";
    EXPECT_EQ(window.lblStnID[1].text, "n/a");
    EXPECT_EQ(window.lblAge[1].text, "n/a");
    EXPECT_EQ(window.lblStnID[2].text, "31");
    EXPECT_EQ(window.lblAge[2].text, "2,5");
    EXPECT_EQ(window.lblUTC[2].text, "12:35:20.00");
    EXPECT_EQ(window.lblUTC[0].text, "-1,00 sec");
    EXPECT_EQ(window.lblHgt[0].text, "0,0 m");
    EXPECT_EQ(window.lblHeading.color, kLightRed) << "a cycle without heading";
}

TEST(RefreshFixPanels, ShowsTheDifferencePanelPositions) {
    CompassState state;
    state.GpsFix[1] = fix(1, 8, 0.9f, 0, 0);
    state.GpsFix[2] = state.GpsFix[1];
    MainWindowText window;
    bool cycleOk = true;
    // GPS 2 one arc-second south and about 10 m east.
    state.GpsFix[2].Latitude -= kDegToRad / 3600;
    state.GpsFix[2].Longitude += 10.0 / 4263000.0;
    RefreshFixPanels(state.GpsFix[1], state.GpsFix[2], window, 0.2, cycleOk, '.');
    EXPECT_EQ(window.lblUTC[0].text, "0.20 sec");
    EXPECT_EQ(window.lblLat[0].text,
              "00\xC2\xB0"
              "00'01.000\"S");
    EXPECT_EQ(window.lblLat[3].text, "-30.8 m");
    EXPECT_EQ(window.lblLon[3].text, "10.0 m");
}

TEST(RefreshFixPanels, ADifferenceBeyondItsIntegerFailsAfterTheEarlierLabels) {
    CompassState state;
    state.GpsFix[1] = fix(1, static_cast<int>(MissingValue), 0.9f, 0, 0);
    state.GpsFix[2] = fix(1, 32767, 0.9f, 0, 0);
    MainWindowText window;
    const MainWindowText initial;
    bool cycleOk = true;
    EXPECT_THROW(RefreshFixPanels(state.GpsFix[1], state.GpsFix[2], window, 0, cycleOk, '.'),
                 std::exception);
    EXPECT_EQ(window.lblSvs[2].text, "32767") << "the receiver panels came first";
    EXPECT_EQ(window.lblHgt[0].text, "0.0 m");
    EXPECT_EQ(window.lblSvs[0], initial.lblSvs[0]) << "the failing label keeps its state";
    EXPECT_EQ(window.lblHeading, initial.lblHeading) << "and so does the heading colour";

    state.GpsFix[1] = fix(2, 8, 0.9f, 2147483647, 0);
    state.GpsFix[2] = fix(2, 8, 0.9f, 2147483647 - 40000, 0);
    EXPECT_THROW(RefreshFixPanels(state.GpsFix[1], state.GpsFix[2], window, 0, cycleOk, '.'),
                 std::exception)
        << "a station difference beyond 16 bits";
}

}  // namespace
}  // namespace bivane
