#include <benchmark/benchmark.h>

#include "bench/bench_pairs.h"
#include "nmea/gga.h"

namespace bivane::bench {
namespace {

void BM_ExtractGGA(benchmark::State& state) {
    const std::vector<std::string>& lines = GgaLines();
    DiscardedMessages messages;
    GgaRecord record;
    std::size_t i = 0;
    for (auto _ : state) {
        ExtractGGA(lines[i], record, messages);
        benchmark::DoNotOptimize(record);
        i = (i + 1) % lines.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExtractGGA);

}  // namespace
}  // namespace bivane::bench
