#include "tools/sim/fault_injector.h"

#include <gtest/gtest.h>

#include <set>

#include "nmea/hdt.h"
#include "tests/sim/decoded_fix.h"
#include "tools/sim/gga_composer.h"
#include "tools/sim/sentence_text.h"

namespace bivane::sim {
namespace {

std::string sampleGga() {
    return ComposeGga({(20'793LL * 86'400 + 45'319) * 100, {53.5, 8.25}}, ReceiverStatus{}, 7);
}

TEST(Garble, BreaksTheChecksumButKeepsTheLineAndItsFrame) {
    const std::string original = sampleGga();
    const std::size_t star = original.find('*');
    std::mt19937_64 random(11);
    for (int trial = 0; trial < 2000; ++trial) {
        const std::string line = Garble(original, random);
        ASSERT_EQ(line.size(), original.size());
        EXPECT_FALSE(NmeaChecksumMatches(line)) << line;
        EXPECT_EQ(line.front(), '$');
        EXPECT_EQ(line.find('*'), star) << line;
        EXPECT_EQ(line.substr(star), original.substr(star)) << "checksum and line end untouched";
        EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2) << "still one line: " << line;
        EXPECT_EQ(line.find('$', 1), std::string::npos) << line;
        int changed = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            changed += line[i] != original[i] ? 1 : 0;
        }
        EXPECT_GE(changed, 1);
        EXPECT_LE(changed, 3);
    }
}

TEST(WithBadField, OneFieldTheDecoderCannotStoreWithAGoodChecksum) {
    const std::string original = sampleGga();
    const auto truth = test::DecodeGga(original);
    std::mt19937_64 random(5);
    std::set<std::string> failedFields;
    for (int trial = 0; trial < 200; ++trial) {
        const std::string line = WithBadField(original, random);
        EXPECT_TRUE(NmeaChecksumMatches(line)) << line;
        const auto fix = test::DecodeGga(line);
        ASSERT_EQ(fix.failures.size(), 1u) << line;
        failedFields.insert(fix.failures[0].substr(0, fix.failures[0].find(" value")));
        // The position, the time and the quality still make a heading.
        EXPECT_EQ(fix.latitude, truth.latitude);
        EXPECT_EQ(fix.longitude, truth.longitude);
        EXPECT_EQ(fix.record.UtcTime, truth.record.UtcTime);
        EXPECT_EQ(fix.record.Quality, truth.record.Quality);
    }
    EXPECT_EQ(failedFields.size(), 5u) << "satellites, HDOP, altitude, DGPS age, station";
}

TEST(FaultInjector, HitsAboutTheRequestedShareAndRepeatsWithTheSeed) {
    struct Row {
        const char* legend;
        FaultRates rates;
        Fault kind;
        double share;
    };
    const Row rows[] = {
        {"no faults", {0, 0, 0}, Fault::None, 1.0},
        {"drops", {0.25, 0, 0}, Fault::Dropped, 0.25},
        {"garbage", {0, 0.1, 0}, Fault::Garbled, 0.1},
        {"bad fields", {0, 0, 0.4}, Fault::BadField, 0.4},
        {"everything dropped", {1, 1, 1}, Fault::Dropped, 1.0},
    };
    constexpr int kSentences = 10'000;
    const std::string gga = sampleGga();
    for (const Row& row : rows) {
        FaultInjector faults(row.rates, 99);
        FaultInjector again(row.rates, 99);
        int hits = 0;
        for (int i = 0; i < kSentences; ++i) {
            std::string line = gga;
            std::string same = line;
            const Fault fault = faults.apply(line, true);
            EXPECT_EQ(again.apply(same, true), fault) << row.legend;
            EXPECT_EQ(same, line) << row.legend;
            if (fault == row.kind) {
                ++hits;
            } else {
                EXPECT_EQ(fault, Fault::None) << row.legend;
            }
            EXPECT_EQ(NmeaChecksumMatches(line), fault != Fault::Garbled) << row.legend;
        }
        // Five standard deviations of a binomial count.
        const double expected = row.share * kSentences;
        const double sigma = std::sqrt(kSentences * row.share * (1 - row.share));
        EXPECT_NEAR(hits, expected, 5 * sigma + 0.5) << row.legend;
    }
}

TEST(FaultInjector, BadFieldsHitOnlyGgaSentences) {
    FaultInjector faults({0, 0, 1}, 3);
    std::string other = "$GPGSA,A,3,02,05,,,,,,,,,,,1.1,0.7,0.9*35\r\n";
    const std::string before = other;
    EXPECT_EQ(faults.apply(other, false), Fault::None);
    EXPECT_EQ(other, before);
}

}  // namespace
}  // namespace bivane::sim
