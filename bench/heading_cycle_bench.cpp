#include <benchmark/benchmark.h>

#include "bench/bench_pairs.h"
#include "tools/replay/replay_engine.h"

namespace bivane::bench {
namespace {

// One whole epoch without a window: two GGA lines through reception (line
// cutting, checksum, decoding), the heading cycle with the fix panels, the
// HDT sentence to port 3 in memory.
void BM_HeadingCycle(benchmark::State& state) {
    const std::vector<Epoch> epochs = Epochs(1000);
    DiscardedMessages messages;
    std::size_t sent = 0;
    ReplayEngine engine(
        {{0, 0, 0, 2}, 0.2f}, [&](std::string_view bytes) { sent += bytes.size(); }, messages);
    std::size_t i = 0;
    for (auto _ : state) {
        engine.receive(1, epochs[i].gps1);
        engine.receive(2, epochs[i].gps2);
        i = (i + 1) % epochs.size();
    }
    if (sent == 0) {
        state.SkipWithError("no heading was computed");
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HeadingCycle);

// The replay tool's engine on a long two-receiver capture: epochs a second.
void BM_ReplayThroughput(benchmark::State& state) {
    const std::vector<Epoch> epochs = Epochs(3600);
    DiscardedMessages messages;
    for (auto _ : state) {
        std::size_t sentences = 0;
        ReplayEngine engine(
            {{0, 0, 0, 2}, 0.2f}, [&](std::string_view) { ++sentences; }, messages);
        for (const Epoch& epoch : epochs) {
            engine.receive(1, epoch.gps1);
            engine.receive(2, epoch.gps2);
        }
        if (sentences != epochs.size()) {
            state.SkipWithError("an epoch gave no heading");
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(epochs.size()));
}
BENCHMARK(BM_ReplayThroughput)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bivane::bench
