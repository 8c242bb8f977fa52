#include "tools/sim/run_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <string_view>
#include <utility>

namespace bivane::sim {
namespace {

// Fixed notation with `decimals` decimals; to_chars never uses the locale.
std::string number(double value, int decimals) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

std::string statistic(const std::vector<double>& values, double value, int decimals) {
    return values.empty() ? "null" : number(value, decimals);
}

double maximum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

std::string meanAndMaximum(const std::vector<double>& values, int decimals) {
    const double mean = values.empty() ? 0
                                       : std::accumulate(values.begin(), values.end(), 0.0) /
                                             static_cast<double>(values.size());
    return "{\"mean\": " + statistic(values, mean, decimals) +
           ", \"max\": " + statistic(values, maximum(values), decimals) + "}";
}

std::string latencies(const std::vector<double>& values) {
    return "{\"p50\": " + statistic(values, Percentile(values, 0.5), 3) +
           ", \"p99\": " + statistic(values, Percentile(values, 0.99), 3) +
           ", \"max\": " + statistic(values, maximum(values), 3) + "}";
}

}  // namespace

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(fraction * static_cast<double>(values.size()));
    const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    return values[std::min(index, values.size() - 1)];
}

std::string ReportJson(const RunSummary& s) {
    const std::pair<std::string_view, std::string> members[] = {
        {"epochs", std::to_string(s.epochs)},
        {"hdt_received", std::to_string(s.hdtReceived)},
        {"hdt_invalid", std::to_string(s.hdtInvalid)},
        {"heading_error_deg", meanAndMaximum(s.headingErrors, 6)},
        {"latency_ms", latencies(s.latenciesMs)},
        {"hdt_unpaired", std::to_string(s.hdtUnpaired)},
        {"hdt_paired", std::to_string(s.hdtPaired)},
        {"epochs_faulted", std::to_string(s.epochsFaulted)},
        {"epochs_lost", std::to_string(s.epochsLost)},
        {"hdt_missing_clean", std::to_string(s.hdtMissingClean)},
        {"sentences_dropped", std::to_string(s.sentencesDropped)},
        {"sentences_garbled", std::to_string(s.sentencesGarbled)},
        {"sentences_bad_field", std::to_string(s.sentencesBadField)},
        {"sentences_abandoned", std::to_string(s.sentencesAbandoned)},
        {"ths_valid", std::to_string(s.thsValid)},
        {"ths_invalid", std::to_string(s.thsInvalid)},
        {"sentences_mispaired", std::to_string(s.sentencesMispaired)},
        {"sentences_per_epoch_max", std::to_string(s.sentencesPerEpochMax)},
        {"rot_valid", std::to_string(s.rotValid)},
        {"rot_invalid", std::to_string(s.rotInvalid)},
        {"rot_error_deg_per_min", meanAndMaximum(s.rateErrors, 3)},
        {"port3_latency_ms", latencies(s.port3LatenciesMs)},
    };
    std::string json = "{";
    for (const auto& [key, value] : members) {
        json += (json.size() > 1 ? ", \"" : "\"") + std::string(key) + "\": " + value;
    }
    return json + "}\n";
}

}  // namespace bivane::sim
