#include <gtest/gtest.h>

#include "tools/sim/hdt_listener.h"
#include "tools/sim/run_report.h"
#include "tools/sim/settings_file.h"

namespace bivane::sim {
namespace {

TEST(ReportPercentile, NearestRank) {
    struct Row {
        std::vector<double> values;
        double fraction;
        double expected;
    };
    const Row rows[] = {
        {{}, 0.5, 0},
        {{7}, 0.99, 7},
        {{3, 1, 2}, 0.5, 2},
        {{4, 1, 3, 2}, 0.5, 2},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0.99, 10},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0.9, 9},
        {{5, 1}, 0, 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Percentile(row.values, row.fraction), row.expected)
            << row.values.size() << " values at " << row.fraction;
    }
}

TEST(ReportJson, KeysInTheirOrderAndNumbersWithAPoint) {
    RunSummary summary;
    summary.epochs = 10;
    summary.hdtReceived = 11;
    summary.hdtInvalid = 1;
    summary.headingErrors = {0.05, 0.0, 0.04, 0.03};
    summary.latenciesMs = {2.5, 1.25, 3.0, 40.0};
    summary.hdtUnpaired = 2;
    summary.hdtPaired = 4;
    summary.epochsFaulted = 3;
    summary.epochsLost = 2;
    summary.hdtMissingClean = 1;
    summary.sentencesDropped = 5;
    summary.sentencesGarbled = 6;
    summary.sentencesBadField = 7;
    summary.sentencesAbandoned = 8;
    summary.thsValid = 9;
    summary.thsInvalid = 10;
    summary.sentencesMispaired = 11;
    summary.sentencesPerEpochMax = 2;
    summary.rotValid = 12;
    summary.rotInvalid = 13;
    summary.rateErrors = {0.5, 1.5};
    summary.port3LatenciesMs = {0.5};
    EXPECT_EQ(ReportJson(summary),
              "{\"epochs\": 10, \"hdt_received\": 11, \"hdt_invalid\": 1, "
              "\"heading_error_deg\": {\"mean\": 0.030000, \"max\": 0.050000}, "
              "\"latency_ms\": {\"p50\": 2.500, \"p99\": 40.000, \"max\": 40.000}, "
              "\"hdt_unpaired\": 2, \"hdt_paired\": 4, \"epochs_faulted\": 3, "
              "\"epochs_lost\": 2, \"hdt_missing_clean\": 1, \"sentences_dropped\": 5, "
              "\"sentences_garbled\": 6, \"sentences_bad_field\": 7, "
              "\"sentences_abandoned\": 8, \"ths_valid\": 9, \"ths_invalid\": 10, "
              "\"sentences_mispaired\": 11, \"sentences_per_epoch_max\": 2, "
              "\"rot_valid\": 12, \"rot_invalid\": 13, "
              "\"rot_error_deg_per_min\": {\"mean\": 1.000, \"max\": 1.500}, "
              "\"port3_latency_ms\": {\"p50\": 0.500, \"p99\": 0.500, \"max\": 0.500}}\n");
}

TEST(ReportJson, NoPairedHdtGivesNullStatistics) {
    RunSummary summary;
    summary.epochs = 3;
    const std::string json = ReportJson(summary);
    EXPECT_NE(json.find("\"heading_error_deg\": {\"mean\": null, \"max\": null}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"latency_ms\": {\"p50\": null, \"p99\": null, \"max\": null}"),
              std::string::npos)
        << json;
}

TEST(ParseHdtLine, AcceptsOnlyWellFormedSentencesWithTheirChecksum) {
    struct Row {
        const char* line;
        double heading;  // -1: refused
    };
    const Row rows[] = {
        {"$GPHDT,123.4,T*31\r\n", 123.4},
        {"$GPHDT,005.0,T*30\r\n", 5.0},
        {"$GPHDT,000.0,T*35\r\n", 0.0},
        {"$GPHDT,360.0,T*30\r\n", 360.0},
        {"$HEHDT,123.4,T*2B\r\n", 123.4},
        {"$GPHDT,123,T*2B\r\n", 123},
        {"$GPHDT,123.45,T*04\r\n", 123.45},
        {"$GPHDT,123.4,T*30\r\n", -1},    // checksum wrong
        {"$GPHDT,123.4,T\r\n", -1},       // no checksum
        {"$GPHDT,123.4,T*31\n", -1},      // no carriage return
        {"$GPHDT,123.4,T*31\r\r\n", -1},  // stray byte
        {"$GPHDT,,T*1B\r\n", -1},         // no heading
        {"$GPHDT,-12.0,T*2B\r\n", -1},    // negative
        {"$GPHDT,360.1,T*31\r\n", -1},    // beyond a turn
        {"$GPHDT,12a.4,T*63\r\n", -1},    // not a number
        {"$GPHDT,123.4,M*28\r\n", -1},    // not true
        {"$GPHDG,123.4,T*22\r\n", -1},    // another sentence
        {"x$GPHDT,123.4,T*31\r\n", -1},   // noise in front
        {"$gpHDT,123.4,T*31\r\n", -1},    // talker not upper case
        {"\r\n", -1},
    };
    for (const Row& row : rows) {
        const auto heading = ParseHdtLine(row.line);
        if (row.heading < 0) {
            EXPECT_FALSE(heading) << row.line;
        } else {
            ASSERT_TRUE(heading) << row.line;
            EXPECT_DOUBLE_EQ(*heading, row.heading) << row.line;
        }
    }
}

TEST(ParseThsLine, AHeadingWithModeAOrNoHeadingWithModeV) {
    struct Row {
        const char* line;
        double heading;  // -1: refused, -2: mode V
    };
    const Row rows[] = {
        {"$GPTHS,123.4,A*33\r\n", 123.4},
        {"$GPTHS,000.0,A*37\r\n", 0.0},
        {"$GPTHS,,V*0E\r\n", -2},
        {"$GPTHS,360.0,A*32\r\n", -1},  // a full turn is 000.0
        {"$GPTHS,123.4,A*34\r\n", -1},  // checksum wrong
        {"$GPTHS,123.4,V*24\r\n", -1},  // V carries no heading
        {"$GPTHS,,A*19\r\n", -1},       // A needs one
        {"$GPTHS,123.4,E*37\r\n", -1},  // estimated: not what the program sends
        {"$GPTHS,123.4*5E\r\n", -1},    // no mode
        {"$GPHDT,123.4,T*31\r\n", -1},  // another sentence
    };
    for (const Row& row : rows) {
        const auto ths = ParseThsLine(row.line);
        if (row.heading == -1) {
            EXPECT_FALSE(ths) << row.line;
            continue;
        }
        ASSERT_TRUE(ths) << row.line;
        if (row.heading == -2) {
            EXPECT_FALSE(ths->heading) << row.line;
        } else {
            ASSERT_TRUE(ths->heading) << row.line;
            EXPECT_DOUBLE_EQ(*ths->heading, row.heading) << row.line;
        }
    }
}

TEST(ParseRotLine, ASignedRateWithStatusAOrNoRateWithStatusV) {
    struct Row {
        const char* line;
        bool taken;
        std::optional<double> rate;
    };
    const Row rows[] = {
        {"$GPROT,180.0,A*38\r\n", true, 180.0},
        {"$TIROT,-3.5,A*10\r\n", true, -3.5},
        {"$GPROT,0.0,A*31\r\n", true, 0.0},
        {"$GPROT,,V*08\r\n", true, std::nullopt},
        {"$GPROT,12.0,V*15\r\n", false, std::nullopt},  // V carries no rate
        {"$GPROT,,A*1F\r\n", false, std::nullopt},      // A needs one
        {"$GPROT,--3.5,A*37\r\n", false, std::nullopt},
        {"$GPROT,+3.5,A*1C\r\n", false, std::nullopt},
        {"$GPROT,180.0,A*39\r\n", false, std::nullopt},  // checksum wrong
    };
    for (const Row& row : rows) {
        const auto rot = ParseRotLine(row.line);
        ASSERT_EQ(rot.has_value(), row.taken) << row.line;
        if (rot) {
            EXPECT_EQ(rot->rate, row.rate) << row.line;
        }
    }
}

TEST(SimSettingsFile, SixLinesEachEndedWithCarriageReturnAndLineFeed) {
    EXPECT_EQ(SettingsFileText(AntennaOffsets{}),
              "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n"
              "0,0\r\n0,2\r\n#TRUE#\r\n");
    EXPECT_EQ(SettingsFileText(AntennaOffsets{{0.5, -1.25}, {-2, 10.75}}),
              "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n"
              "0.5,-2\r\n-1.25,10.75\r\n#TRUE#\r\n");
}

}  // namespace
}  // namespace bivane::sim
