#include "heading/fix_panels.h"

#include <gtest/gtest.h>

#include <string>

#include "heading/compass_state.h"

namespace bivane {
namespace {

GgaRecord fix(int quality, int satellites, float hdop, int station, float age) {
    GgaRecord record;
    record.Quality = static_cast<std::int16_t>(quality);
    record.Satellites = static_cast<std::int16_t>(satellites);
    record.Hdop = hdop;
    record.StationId = station;
    record.DgpsAge = age;
    return record;
}

TEST(RefreshFixPanels, RunsTheConsistencyChecks) {
    const struct {
        const char* legend;
        GgaRecord gps1;
        GgaRecord gps2;
        // The difference panel's svs, HDOP, quality, station and age texts,
        // then which of them turned light red ('R') and the heading's colour.
        const char* texts;
        const char* red;
    } rows[] = {
        {"one satellite more on GPS 2", fix(1, 8, 0.9f, 0, 0), fix(1, 9, 0.9f, 0, 0),
         "1 0.0 equal n/a n/a", "R----R"},
        {"HDOP differs in the second decimal", fix(1, 8, 0.9f, 0, 0), fix(1, 8, 0.91f, 0, 0),
         "0 0.0 equal n/a n/a", "-R---R"},
        {"same station, ages 6 s apart: age red, heading still black", fix(2, 8, 0.9f, 31, 2),
         fix(2, 8, 0.9f, 31, 8), "0 0.0 equal equal 6.0", "----R-"},
        {"ages just under 5 s apart", fix(2, 8, 0.9f, 31, 2), fix(2, 8, 0.9f, 31, 6.9f),
         "0 0.0 equal equal 4.9", "------"},
        {"quality 1 and 2", fix(1, 8, 0.9f, 31, 2), fix(2, 8, 0.9f, 31, 2),
         "0 0.0 NOT EQUAL n/a n/a", "--R--R"},
        {"quality 2 and 1", fix(2, 8, 0.9f, 31, 2), fix(1, 8, 0.9f, 31, 2),
         "0 0.0 NOT EQUAL n/a n/a", "--R--R"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        MainWindowText window;
        bool cycleOk = true;
        RefreshFixPanels(row.gps1, row.gps2, window, 0, cycleOk, '.');
        const std::string texts = window.lblSvs[0].text + " " + window.lblHdop[0].text + " " +
                                  window.lblQuality[0].text + " " + window.lblStnID[0].text + " " +
                                  window.lblAge[0].text;
        std::string red;
        for (const LabelText* label :
             {&window.lblSvs[0], &window.lblHdop[0], &window.lblQuality[0], &window.lblStnID[0],
              &window.lblAge[0], &window.lblHeading}) {
            red += label->color == kLightRed ? 'R' : '-';
        }
        EXPECT_EQ(texts, row.texts);
        EXPECT_EQ(red, row.red);
        EXPECT_EQ(cycleOk, row.red[5] == '-');
    }
}

TEST(RefreshFixPanels, ADifferenceBeyondItsIntegerFailsAfterTheEarlierLabels) {
    MainWindowText window;
    const MainWindowText initial;
    bool cycleOk = true;
    EXPECT_THROW(RefreshFixPanels(fix(1, static_cast<int>(MissingValue), 0.9f, 0, 0),
                                  fix(1, 32767, 0.9f, 0, 0), window, 0, cycleOk, '.'),
                 std::exception);
    EXPECT_EQ(window.lblSvs[2].text, "32767") << "the receiver panels came first";
    EXPECT_EQ(window.lblSvs[0], initial.lblSvs[0]) << "the failing label keeps its state";
    EXPECT_EQ(window.lblHeading, initial.lblHeading) << "and so does the heading colour";
    EXPECT_THROW(RefreshFixPanels(fix(2, 8, 0.9f, 2147483647, 0),
                                  fix(2, 8, 0.9f, 2147483647 - 40000, 0), window, 0, cycleOk, '.'),
                 std::exception)
        << "a station difference beyond 16 bits";
}

}  // namespace
}  // namespace bivane
