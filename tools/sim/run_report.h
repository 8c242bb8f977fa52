#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bivane::sim {

// The counts and measurements of one run.
struct RunSummary {
    std::int64_t epochs = 0;
    std::int64_t hdtReceived = 0;
    std::int64_t hdtInvalid = 0;
    std::vector<double> headingErrors;  // degrees, absolute
    std::vector<double> latenciesMs;
    std::int64_t hdtUnpaired = 0;
    std::int64_t hdtPaired = 0;
    std::int64_t epochsFaulted = 0;
    std::int64_t epochsLost = 0;
    std::int64_t hdtMissingClean = 0;
    std::int64_t sentencesDropped = 0;
    std::int64_t sentencesGarbled = 0;
    std::int64_t sentencesBadField = 0;
    std::int64_t sentencesAbandoned = 0;
    std::int64_t thsValid = 0;
    std::int64_t thsInvalid = 0;
    std::int64_t sentencesMispaired = 0;
    std::int64_t sentencesPerEpochMax = 0;
    std::int64_t rotValid = 0;
    std::int64_t rotInvalid = 0;
    std::vector<double> rateErrors;  // degrees per minute, absolute
    std::vector<double> port3LatenciesMs;
};

// The value below which `fraction` (0 to 1) of the values lie, by nearest
// rank: the smallest value with at least that share at or below it. Empty
// values give 0.
double Percentile(std::vector<double> values, double fraction);

// The report: one JSON object on one line, keys in a fixed order, numbers
// with "." as decimal point, null for the statistics of no values.
std::string ReportJson(const RunSummary& summary);

}  // namespace bivane::sim
