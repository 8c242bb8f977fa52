#include <gtest/gtest.h>
#include <GeographicLib/Geodesic.hpp>

#include "nmea/hdt.h"
#include "tests/sim/decoded_fix.h"
#include "tools/sim/companion_sentences.h"
#include "tools/sim/epoch_time.h"
#include "tools/sim/gga_composer.h"
#include "tools/sim/sentence_text.h"

namespace bivane::sim {
namespace {

using test::DecodeGga;

// 2026-12-06 12:35:19.00 UTC.
constexpr UtcCentiseconds kNoon = (20'793LL * 86'400 + 12 * 3600 + 35 * 60 + 19) * 100;

TEST(GgaComposer, DecodesWithTheProgramsDecoderToTheTruePosition) {
    struct Row {
        const char* legend;
        double latitude, longitude;
    };
    const Row rows[] = {
        {"north-east", 53.512345678, 8.123456789},
        {"south-west", -33.9249, -18.4241},
        {"equator and prime meridian", 0.0, 0.0},
        {"just south and west of zero", -0.000001, -0.000001},
        {"east of the antimeridian", 12.5, 179.9999999},
        {"west of the antimeridian", -12.5, -179.9999999},
        {"far north", 84.99999, 45.0},
        {"far south", -80.123, 100.987},
    };
    ReceiverStatus status;
    for (const Row& row : rows) {
        const std::string line = ComposeGga({kNoon, {row.latitude, row.longitude}}, status, 7);
        EXPECT_TRUE(NmeaChecksumMatches(line)) << row.legend << ": " << line;
        EXPECT_TRUE(line.ends_with("\r\n")) << row.legend;
        EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2) << row.legend;
        const auto fix = DecodeGga(line);
        EXPECT_TRUE(fix.failures.empty()) << row.legend;
        double distance = 0, azimuth1 = 0, azimuth2 = 0;
        GeographicLib::Geodesic::WGS84().Inverse(row.latitude, row.longitude, fix.latitude,
                                                 fix.longitude, distance, azimuth1, azimuth2);
        EXPECT_LT(distance, 0.003) << row.legend << ": " << line;
        EXPECT_EQ(fix.record.UtcTime, "12:35:19.00") << row.legend;
        EXPECT_EQ(fix.record.Quality, 4) << row.legend;
    }
}

TEST(GgaComposer, WritesDegreesAndMinutesRoundedWithCarry) {
    struct Row {
        double degrees;
        int decimals;
        const char* latitude;
        const char* longitude;
    };
    const Row rows[] = {
        {48.1173, 3, "4807.038,N", "04807.038,E"},
        {-33.5, 4, "3330.0000,S", "03330.0000,W"},
        {10.999999999999, 7, "1100.0000000,N", "01100.0000000,E"},
        {-0.00000000001, 7, "0000.0000000,N", "00000.0000000,E"},
        {7.25, 0, "0715,N", "00715,E"},
        {-179.99999999999, 7, "18000.0000000,S", "18000.0000000,W"},
        {1.0 / 60 / 1e9, 9, "0000.000000001,N", "00000.000000001,E"},
    };
    for (const Row& row : rows) {
        if (std::fabs(row.degrees) <= 90) {
            EXPECT_EQ(LatitudeFields(row.degrees, row.decimals), row.latitude) << row.degrees;
        }
        EXPECT_EQ(LongitudeFields(row.degrees, row.decimals), row.longitude) << row.degrees;
    }
}

TEST(GgaComposer, BothReceiversAgreeOnEverythingButThePosition) {
    ReceiverStatus status;
    const auto one = SentenceFields(ComposeGga({kNoon, {53.5, 8}}, status, 7));
    const auto two = SentenceFields(ComposeGga({kNoon, {53.50002, 8.00001}}, status, 7));
    ASSERT_EQ(one.size(), 15u);
    ASSERT_EQ(two.size(), 15u);
    for (std::size_t i : {0u, 1u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u}) {
        EXPECT_EQ(one[i], two[i]) << "field " << i;
    }
    EXPECT_NE(one[2], two[2]);
    EXPECT_EQ(one[0], "GPGGA");
    EXPECT_EQ(one[13], "1.0");   // differential age with an RTK fix
    EXPECT_EQ(one[14], "0042");  // and its station

    status.quality = 1;
    const auto autonomous = SentenceFields(ComposeGga({kNoon, {53.5, 8}}, status, 7));
    EXPECT_EQ(autonomous[6], "1");
    EXPECT_EQ(autonomous[13], "");
    EXPECT_EQ(autonomous[14], "");
}

TEST(EpochTime, TimeFieldsAndEpochSpacing) {
    struct Row {
        UtcCentiseconds time;
        const char* field;
        const char* date;
    };
    const Row rows[] = {
        {kNoon, "123519.00", "061226"},
        {kNoon + 99, "123519.99", "061226"},
        {0, "000000.00", "010170"},
        {kCentisecondsPerDay - 1, "235959.99", "010170"},
        {-1, "235959.99", "311269"},
        {kNoon - 45319 * 100 + kCentisecondsPerDay, "000000.00", "071226"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TimeField(row.time), row.field) << row.time;
        EXPECT_EQ(DateField(row.time), row.date) << row.time;
    }
    // A third of a second apart: rounded to the hundredth, never drifting.
    EXPECT_EQ(EpochUtc(kNoon, 1, 3), kNoon + 33);
    EXPECT_EQ(EpochUtc(kNoon, 2, 3), kNoon + 67);
    EXPECT_EQ(EpochUtc(kNoon, 3000, 3), kNoon + 100'000);
    EXPECT_EQ(EpochUtc(kNoon, 7, 0.5), kNoon + 1400);
    EXPECT_EQ(ToCentiseconds(-0.5), -50);
}

TEST(EpochTime, FixesAreApartByTheirTimesOfDayTheShortWayRoundMidnight) {
    constexpr UtcCentiseconds kMidnight = kNoon - 45319 * 100 + kCentisecondsPerDay;
    struct Row {
        const char* legend;
        UtcCentiseconds first, second;
        std::int64_t ms;
    };
    const Row rows[] = {
        {"same time", kNoon, kNoon, 0},
        {"fractions count within one second", kNoon + 10, kNoon + 95, 850},
        {"across a whole second", kNoon + 99, kNoon + 100, 10},
        {"either order", kNoon + 100, kNoon + 99, 10},
        {"across midnight", kMidnight - 5, kMidnight + 10, 150},
        {"a day apart is the same time of day", kNoon, kNoon + kCentisecondsPerDay + 20, 200},
        {"twelve hours is the farthest", kNoon, kNoon + kCentisecondsPerDay / 2, 43'200'000},
        {"just over twelve hours goes the other way", kNoon, kNoon + kCentisecondsPerDay / 2 + 1,
         43'199'990},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(MillisecondsApart(row.first, row.second), row.ms) << row.legend;
    }
    // The tolerance as the program holds it, single precision to the millisecond.
    EXPECT_EQ(ToleranceMilliseconds(0.2), 200);
    EXPECT_EQ(ToleranceMilliseconds(0.0005), 1) << "half a millisecond rounds up";
    EXPECT_EQ(ToleranceMilliseconds(0.0004), 0);
    EXPECT_EQ(ToleranceMilliseconds(86400), 86'400'000);
}

TEST(CompanionSentences, RmcAndGsaMatchTheGgaOfTheSameFix) {
    ReceiverStatus status;
    const Fix fix{kNoon, {-33.9249, 151.2}};
    const auto gga = SentenceFields(ComposeGga(fix, status, 7));
    const std::string rmcLine = ComposeRmc(fix, status, 7, 6.5, -10);
    const std::string gsaLine = ComposeGsa(status);
    EXPECT_TRUE(NmeaChecksumMatches(rmcLine)) << rmcLine;
    EXPECT_TRUE(NmeaChecksumMatches(gsaLine)) << gsaLine;
    const auto rmc = SentenceFields(rmcLine);
    ASSERT_EQ(rmc.size(), 13u) << rmcLine;
    EXPECT_EQ(rmc[0], "GPRMC");
    EXPECT_EQ(rmc[1], gga[1]);
    EXPECT_EQ(rmc[2], "A");
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(rmc[3 + i], gga[2 + i]) << "position field " << i;
    }
    EXPECT_EQ(rmc[7], "6.50");
    EXPECT_EQ(rmc[8], "350.0");
    EXPECT_EQ(rmc[9], "061226");
    EXPECT_EQ(rmc[12], "D");
    const auto gsa = SentenceFields(gsaLine);
    ASSERT_EQ(gsa.size(), 18u) << gsaLine;
    EXPECT_EQ(gsa[0], "GPGSA");
    EXPECT_EQ(gsa[2], "3");
    EXPECT_EQ(gsa[16], gga[8]) << "HDOP of GSA and GGA";
}

TEST(SentenceText, ChecksumAndFieldReplacement) {
    EXPECT_EQ(FinishSentence("$GPHDT,123.4,T"), "$GPHDT,123.4,T*31\r\n");
    EXPECT_EQ(ReplaceField("$GPHDT,000.0,T*35\r\n", 1, "123.4"), "$GPHDT,123.4,T*31\r\n");
    const std::vector<std::string> fields{"GPGGA", "", "x", ""};
    EXPECT_EQ(SentenceFields("$GPGGA,,x,*00\r\n"), fields);
}

}  // namespace
}  // namespace bivane::sim
