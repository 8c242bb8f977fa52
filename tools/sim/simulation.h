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
#include "tools/sim/pairing_model.h"
#include "tools/sim/transmitter.h"
#include "tools/sim/vessel_model.h"

namespace bivane::sim {

struct SentenceCounts {
    std::int64_t dropped = 0;
    std::int64_t garbled = 0;
    std::int64_t badField = 0;
    std::int64_t abandoned = 0;
};

// One instant at which a receiver measures: GPS 1 at i / rate, GPS 2 at
// offset + j / rate2; both when their grids meet.
struct MeasuringInstant {
    std::int64_t index = 0;            // running count of the instants
    double time = 0;                   // seconds after the first
    bool measures[2] = {false, false};
    std::int64_t epoch[2] = {0, 0};    // each receiver's own epoch count (i, j)
};

// The instants of both receivers in time order.
class MeasuringGrid {
  public:
    MeasuringGrid(double rate, double rate2, double offset)
        : m_rate(rate), m_rate2(rate2), m_offset(offset) {}
    // The next instant; the first call gives instant 0.
    MeasuringInstant next();
    // The time of the instant next() gives next.
    double peek() const;

  private:
    double m_rate;
    double m_rate2;
    double m_offset;
    std::int64_t m_next[2] = {0, 0};
    std::int64_t m_index = 0;
};

// The two receivers: every instant takes the vessel's truth, composes the
// measuring receivers' sentences, applies the faults and hands them to the
// transmitter; when both measure, the first receiver's GGA goes first and the
// second's once the first is out. It tells the ledgers (one for each place the
// program's sentences are heard) which epochs the program should answer, with
// which GGA, and which faults hit them.
class Simulation : private TransmitObserver {
  public:
    Simulation(const SimOptions& options, std::array<int, 2> gpsDevices,
               std::vector<EpochLedger*> ledgers);
    ~Simulation() override;
    Simulation(const Simulation&) = delete;
    Simulation& operator=(const Simulation&) = delete;

    // Streams, epoch 0 at `start`, until the epochs of --duration are out (all
    // of them written or given up) or stop() is called. Runs on the calling
    // thread.
    void run(SteadyTime start, UtcCentiseconds startUtc);

    // Makes run() return soon; from any thread.
    void stop();

    // Valid after run() returned.
    SentenceCounts counts() const;

  private:
    // What became of one GGA on its way out.
    struct GgaFate {
        bool faulted = false;  // a line fault or a float solution
        bool intact = true;    // it reaches the program with a good checksum
    };

    void sendInstant(const MeasuringInstant& instant, SteadyTime due);
    std::vector<OutgoingSentence> receiverSentences(std::int64_t instant, int receiver,
                                                    const Fix& fix, const ReceiverStatus& status,
                                                    double heading, GgaFate& fate);
    // Tells the models about a GGA of `key` and the ledger about the epochs
    // that it completes.
    void modelGga(GgaKey key, UtcCentiseconds stamp, bool hasFix, const GgaFate& fate);
    void enqueue(int receiver, std::vector<OutgoingSentence> sentences, SteadyTime at);
    bool more(double time) const;
    SteadyTime dueTime(double time) const;
    bool floating(int receiver, double time) const;

    void lastByteWriting(const OutgoingSentence& sentence, SteadyTime at) override;
    void sentenceDone(const OutgoingSentence& sentence, bool written, SteadyTime at) override;

    SimOptions m_options;
    std::vector<EpochLedger*> m_ledgers;
    Transmitter m_transmitter;
    VesselModel m_vessel;
    ReceiverStatus m_status;
    FaultInjector m_faults;
    std::mt19937_64 m_noise;
    int m_wake;
    SteadyTime m_start{};
    UtcCentiseconds m_startUtc = 0;
    MeasuringGrid m_grid;
    double m_truthTime = 0;  // the vessel model's time, seconds
    // What the program should pair: from every GGA the receivers send, and
    // from those that reach it intact.
    PairingModel m_sent;
    PairingModel m_received;
    // The recent instants' truth and GGA fates, for pairs that reach back.
    std::map<std::int64_t, TrueMotion> m_truths;
    std::map<std::int64_t, std::array<GgaFate, 2>> m_fates;
    // The second receiver's sentences of an instant, waiting for the first
    // receiver's GGA to be out.
    std::map<std::int64_t, std::vector<OutgoingSentence>> m_waiting;
    SentenceCounts m_counts;
};

}  // namespace bivane::sim
