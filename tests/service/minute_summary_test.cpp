#include "service/minute_summary.h"

#include <gtest/gtest.h>

namespace bivane {
namespace {

TEST(MinuteSummary, CountsCompletedEpochsAndStartsAgainAfterEachLine) {
    MinuteSummary summary;
    EXPECT_EQ(summary.takeLine().toStdString(),
              "last minute: 0 epochs, 0 headings (THS valid 0, not valid 0), no heading");
    const auto report = [](CycleOutcome outcome, bool valid, float heading) {
        return CycleReport{.outcome = outcome,
                           .timeDiffSeconds = -0.05,
                           .instantMs = ((12 * 60 + 34) * 60 + 56) * 1000 + 780,
                           .heading = heading,
                           .headingValid = valid};
    };
    for (const CycleReport& r :
         {report(CycleOutcome::NotReady, false, 0), report(CycleOutcome::Heading, true, 123.45f),
          report(CycleOutcome::Waiting, false, 0), report(CycleOutcome::Heading, false, 10.0f),
          report(CycleOutcome::Stale, false, 0), report(CycleOutcome::Heading, true, 359.94f)}) {
        summary.count(r);
    }
    EXPECT_EQ(summary.takeLine().toStdString(),
              "last minute: 4 epochs, 3 headings (THS valid 2, not valid 2), last heading 359.9° "
              "at 12:34:56.78 UTC, time difference -0.05 s");
    EXPECT_EQ(summary.epochs(), 0);
}

}  // namespace
}  // namespace bivane
