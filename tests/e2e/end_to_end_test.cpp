// The window and the simulator together for about 20 seconds at 5 Hz: the
// simulator scores every HDT sentence of the heading output against the
// vessel's true heading; the test watches the window's texts meanwhile.

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <optional>

#include "tests/e2e/window_with_simulator.h"
#include "tests/sim/sim_process.h"

namespace bivane::e2e {
namespace {

using namespace std::chrono_literals;
using sim::test::ReportValue;

// 0.05 degrees is the sentence's own rounding to a tenth.
constexpr double kHeadingLimit = 0.06;

// Antennas 3 m apart and askew to the keel, so the heading correction is
// part of every heading.
const sim::AntennaOffsets kOffsets{{0.4, -0.3}, {-1.5, 1.4}};

std::vector<std::string> turningVessel(std::vector<std::string> more) {
    std::vector<std::string> arguments{"--rate",      "5",    "--duration", "20", "--decimals", "7",
                                       "--turn-rate", "1.93", "--speed",    "6"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

double seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

// What every run must show, whatever its faults.
void expectCleanOutput(const WindowRun& run) {
    ASSERT_EQ(run.status, 0) << run.report;
    ASSERT_FALSE(run.report.empty());
    std::cout << "[ report   ] " << run.report;
    EXPECT_TRUE(run.messages.empty()) << run.messages.join(u'|').toStdString();
    EXPECT_EQ(ReportValue(run.report, "hdt_invalid"), 0) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_unpaired"), 0) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_missing_clean"), 0) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_received"), ReportValue(run.report, "hdt_paired"))
        << run.report;
    EXPECT_LE(ReportValue(run.report, "heading_error_deg.max"), kHeadingLimit) << run.report;
    EXPECT_EQ(ReportValue(run.report, "sentences_abandoned"), 0) << "the window kept reading";
}

TEST(EndToEnd, EveryEpochGivesOneHeadingWithinItsRoundingOfTheTruth) {
    // From 349.97 degrees through north to 28.2, off the tenths the sentence
    // can carry.
    const WindowRun run = RunWindowWithSimulator(turningVessel({"--heading", "349.97"}), kOffsets);
    expectCleanOutput(run);
    EXPECT_EQ(ReportValue(run.report, "epochs"), 100) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_received"), 100) << run.report;

    // The window all along: no "OLD" once headings come, both panels filled,
    // every check passed (black) at the end.
    const auto first = std::find_if(run.samples.begin(), run.samples.end(),
                                    [](const Sample& s) { return !s.hdt.empty(); });
    ASSERT_NE(first, run.samples.end());
    EXPECT_TRUE(
        std::none_of(first, run.samples.end(), [](const Sample& s) { return s.oldVisible; }));
    const MainWindowText& t = run.last;
    EXPECT_EQ(t.lblHDT.text.substr(0, 7), "$GPHDT,");
    EXPECT_EQ(t.lblHeading.text, t.lblHDT.text.substr(7, 5));
    for (int i = 1; i <= 2; ++i) {
        EXPECT_FALSE(t.lblLat[i].text.empty()) << i;
        EXPECT_EQ(t.lblQuality[i].text, "4") << i;
    }
    EXPECT_EQ(t.lblQuality[0].text, "equal");
    EXPECT_EQ(t.lblUTC[0].text, "0.00 sec");
    for (const LabelText* check : {&t.lblHeading, &t.lblSvs[0], &t.lblHdop[0], &t.lblQuality[0],
                                   &t.lblStnID[0], &t.lblAge[0], &t.lblUTC[0]}) {
        EXPECT_EQ(check->color, kBlack) << check->text;
    }
    EXPECT_EQ(t.lblBaseline.text, t.lblCalculated.text);
}

TEST(EndToEnd, OldShowsWithinTwoSecondsOfASilentReceiverAndGoesWhenItSpeaksAgain) {
    const WindowRun run = RunWindowWithSimulator(
        turningVessel({"--silent", "2", "--silent-after", "8", "--silent-until", "14"}), kOffsets);
    expectCleanOutput(run);
    // 30 of the 100 epochs have no GPS 2 fix; the others one HDT each.
    EXPECT_EQ(ReportValue(run.report, "epochs"), 70) << run.report;
    EXPECT_EQ(ReportValue(run.report, "hdt_received"), 70) << run.report;

    // The silence: the longest wait for a new GPS 2 line.
    const std::vector<Clock::time_point> gps2 = NewLineTimes(run.samples, 2);
    ASSERT_GE(gps2.size(), 3u);
    std::size_t gap = 1;
    for (std::size_t i = 2; i < gps2.size(); ++i) {
        gap = gps2[i] - gps2[i - 1] > gps2[gap] - gps2[gap - 1] ? i : gap;
    }
    const Clock::time_point lastBefore = gps2[gap - 1];
    const Clock::time_point speaksAgain = gps2[gap];
    // Its last fix at 7.8 s, its next at 14 s.
    EXPECT_NEAR(seconds(speaksAgain - lastBefore), 6.2, 0.3);
    // The first epoch without GPS 2 was due one period after its last line.
    const Clock::time_point silentFrom = lastBefore + 200ms;

    std::optional<Clock::time_point> oldShown;
    std::optional<Clock::time_point> oldGone;
    bool headings = false;
    for (const Sample& sample : run.samples) {
        headings = headings || !sample.hdt.empty();
        if (!headings) {
            continue;
        }
        if (sample.at < silentFrom) {
            EXPECT_FALSE(sample.oldVisible) << seconds(silentFrom - sample.at) << " s before";
        } else if (sample.at < speaksAgain) {
            if (sample.oldVisible && !oldShown) {
                oldShown = sample.at;
            }
            if (oldShown) {
                EXPECT_TRUE(sample.oldVisible) << "flickers off in the silence";
            }
        } else {
            // The GGA that ends the silence makes a heading at once.
            if (!sample.oldVisible && !oldGone) {
                oldGone = sample.at;
            }
            EXPECT_FALSE(sample.oldVisible) << seconds(sample.at - speaksAgain) << " s after";
        }
    }
    ASSERT_TRUE(oldShown) << "no \"OLD\" in the silence";
    std::cout << "[ figures  ] OLD after " << seconds(*oldShown - silentFrom)
              << " s of silence, gone " << (oldGone ? seconds(*oldGone - speaksAgain) : -1)
              << " s after GPS 2 spoke again\n";
    EXPECT_LE(seconds(*oldShown - silentFrom), 2.0);
    EXPECT_TRUE(oldGone);
}

TEST(EndToEnd, GarbageAndDroppedSentencesLoseOnlyTheEpochsTheyHit) {
    const WindowRun run = RunWindowWithSimulator(
        turningVessel({"--garbage-rate", "0.05", "--drop-rate", "0.05", "--seed", "11", "--extra",
                       "RMC,GSA", "--noise", "0"}),
        kOffsets);
    expectCleanOutput(run);
    const std::string& report = run.report;
    EXPECT_EQ(ReportValue(report, "epochs"), 100) << report;
    EXPECT_GT(ReportValue(report, "epochs_lost"), 0) << "the seed hits GGAs";
    EXPECT_GT(ReportValue(report, "sentences_garbled"), 0) << report;
    EXPECT_GT(ReportValue(report, "sentences_dropped"), 0) << report;
    EXPECT_EQ(ReportValue(report, "hdt_paired"),
              ReportValue(report, "epochs") - ReportValue(report, "epochs_lost"))
        << report;
}

// The quality field of a GGA line, or -1.
int qualityOf(const std::string& gga) {
    std::size_t at = 0;
    for (int comma = 0; comma < 6; ++comma) {
        at = gga.find(',', at);
        if (at == std::string::npos) {
            return -1;
        }
        ++at;
    }
    return gga.size() > at && gga[at] >= '0' && gga[at] <= '9' ? gga[at] - '0' : -1;
}

TEST(EndToEnd, ThsSaysNoHeadingWhileAReceiverHasAFloatSolution) {
    // GPS 2 floats from 6 s to 12 s: quality 5 and 0.3 m further from GPS 1,
    // so the observed baseline fails the check by far more than 1 degree.
    // THS first, so that the window's sentence label shows it.
    const WindowRun run = RunWindowWithSimulator(
        turningVessel({"--sentences", "THS,HDT", "--float-receiver", "2", "--float-after", "6",
                       "--float-until", "12"}),
        kOffsets);
    ASSERT_EQ(run.status, 0) << run.report;
    std::cout << "[ report   ] " << run.report;
    const std::string& report = run.report;
    EXPECT_EQ(ReportValue(report, "epochs"), 100) << report;
    EXPECT_EQ(ReportValue(report, "epochs_faulted"), 30) << report;
    EXPECT_EQ(ReportValue(report, "ths_invalid"), 30) << report;
    EXPECT_EQ(ReportValue(report, "ths_valid"), 70) << report;
    EXPECT_EQ(ReportValue(report, "hdt_paired"), 100) << report;
    EXPECT_EQ(ReportValue(report, "hdt_missing_clean"), 0) << report;
    EXPECT_EQ(ReportValue(report, "sentences_mispaired"), 0) << report;
    EXPECT_EQ(ReportValue(report, "sentences_per_epoch_max"), 1) << report;
    // Along the baseline the jump leaves the azimuth as it was.
    EXPECT_LE(ReportValue(report, "heading_error_deg.max"), kHeadingLimit) << report;

    // On the window, sample by sample: V while GPS 2's latest fix is a float
    // one, A otherwise, give or take one epoch where the quality changes.
    std::vector<Clock::time_point> changes;
    for (std::size_t i = 1; i < run.samples.size(); ++i) {
        if (qualityOf(run.samples[i].gga[1]) != qualityOf(run.samples[i - 1].gga[1])) {
            changes.push_back(run.samples[i].at);
        }
    }
    int valid = 0;
    int invalid = 0;
    for (const Sample& sample : run.samples) {
        const int quality = qualityOf(sample.gga[1]);
        if (!sample.hdt.starts_with("$GPTHS,") || quality < 0 ||
            std::any_of(changes.begin(), changes.end(), [&](Clock::time_point change) {
                return sample.at > change - 200ms && sample.at < change + 200ms;
            })) {
            continue;
        }
        const bool saysValid = sample.hdt.find(",A*") != std::string::npos;
        EXPECT_EQ(saysValid, quality != 5) << sample.hdt << " with quality " << quality;
        ++(saysValid ? valid : invalid);
    }
    EXPECT_GT(valid, 100);
    EXPECT_GT(invalid, 100);
    EXPECT_EQ(changes.size(), 3u) << "the first fix, into and out of the float solution";
}

}  // namespace
}  // namespace bivane::e2e
