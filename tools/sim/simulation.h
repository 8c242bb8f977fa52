#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "tools/sim/epoch_ledger.h"
#include "tools/sim/epoch_time.h"
#include "tools/sim/fault_injector.h"
#include "tools/sim/gga_composer.h"
#include "tools/sim/options.h"
#include "tools/sim/transmitter.h"
#include "tools/sim/vessel_model.h"

namespace bivane::sim {

struct SentenceCounts {
    std::int64_t dropped = 0;
    std::int64_t garbled = 0;
    std::int64_t badField = 0;
    std::int64_t abandoned = 0;
};

// The two receivers: every epoch takes the vessel's truth, composes each
// receiver's sentences, applies the faults and hands them to the transmitter,
// the first receiver's GGA first and the second's once the first is out.
class Simulation : private TransmitObserver {
  public:
    Simulation(const SimOptions& options, std::array<int, 2> gpsDevices, EpochLedger& ledger);
    ~Simulation() override;
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // Streams, epoch 0 at `start`, until the epochs of --duration are out (all
    // of them written or given up) or Stop() is called. Runs on the calling
    // thread.
    void Run(SteadyTime start, UtcCentiseconds startUtc);

    // Makes Run() return soon; from any thread.
    void Stop();

    // Valid after Run() returned.
    SentenceCounts Counts() const;

  private:
    void sendEpoch(std::int64_t epoch, SteadyTime due);
    // `ggaIntact`: the GGA goes out and passes the program's checksum test.
    std::vector<OutgoingSentence> receiverSentences(std::int64_t epoch, int receiver,
                                                    const Fix& fix, double heading, bool counted,
                                                    bool& ggaIntact);
    void enqueue(int receiver, std::vector<OutgoingSentence> sentences, SteadyTime at);
    bool moreEpochs(std::int64_t epoch) const;
    SteadyTime dueTime(std::int64_t epoch) const;

    void LastByteWriting(const OutgoingSentence& sentence, SteadyTime at) override;
    void SentenceDone(const OutgoingSentence& sentence, bool written, SteadyTime at) override;

    SimOptions m_options;
    EpochLedger& m_ledger;
    Transmitter m_transmitter;
    VesselModel m_vessel;
    ReceiverStatus m_status;
    FaultInjector m_faults;
    std::mt19937_64 m_noise;
    int m_wake;
    SteadyTime m_start{};
    UtcCentiseconds m_startUtc = 0;
    // The time of each receiver's latest GGA that went out intact.
    std::optional<UtcCentiseconds> m_lastGgaTime[2];
    // The second receiver's sentences of an epoch, waiting for the first
    // receiver's GGA to be out.
    std::map<std::int64_t, std::vector<OutgoingSentence>> m_waiting;
    SentenceCounts m_counts;
};

}  // namespace bivane::sim
