#include "tools/sim/simulation.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "tools/sim/companion_sentences.h"

namespace bivane::sim {
namespace {

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;
// How long a sentence may wait for room on its device before it is given up.
constexpr auto kGiveUpAfter = std::chrono::seconds(1);

SteadyClock::duration seconds(double value) {
    return std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(value));
}

}  // namespace

Simulation::Simulation(const SimOptions& options, std::array<int, 2> gpsDevices,
                       EpochLedger& ledger)
    : m_options(options),
      m_ledger(ledger),
      m_transmitter({gpsDevices[0], gpsDevices[1]}, options.paceBaud, *this),
      m_vessel({options.latitude, options.longitude}, options.heading, options.turnRate,
               options.speed * kMetresPerSecondPerKnot, options.offsets),
      m_faults({options.dropRate, options.garbageRate, options.badFieldRate}, options.seed),
      m_noise(options.seed ^ 0x9E3779B97F4A7C15ULL),
      m_wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (m_wake < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
    m_status.quality = options.quality;
}

Simulation::~Simulation() {
    close(m_wake);
}

void Simulation::Stop() {
    const std::uint64_t one = 1;
    if (write(m_wake, &one, sizeof one) < 0) {
        std::abort();
    }
}

SentenceCounts Simulation::Counts() const {
    SentenceCounts counts = m_counts;
    counts.abandoned = m_transmitter.Abandoned();
    return counts;
}

bool Simulation::moreEpochs(std::int64_t epoch) const {
    return m_options.duration <= 0 ||
           static_cast<double>(epoch) / m_options.rate < m_options.duration - 1e-9;
}

SteadyTime Simulation::dueTime(std::int64_t epoch) const {
    return m_start + seconds(static_cast<double>(epoch) / m_options.rate);
}

void Simulation::Run(SteadyTime start, UtcCentiseconds startUtc) {
    m_start = start;
    m_startUtc = startUtc;
    std::int64_t next = 0;
    for (;;) {
        const SteadyTime now = SteadyClock::now();
        while (moreEpochs(next) && dueTime(next) <= now) {
            sendEpoch(next, dueTime(next));
            ++next;
        }
        m_transmitter.Service(SteadyClock::now());
        if (!moreEpochs(next) && m_transmitter.Idle() && m_waiting.empty()) {
            return;
        }
        std::optional<SteadyTime> wake = m_transmitter.NextWake();
        if (moreEpochs(next) && (!wake || dueTime(next) < *wake)) {
            wake = dueTime(next);
        }
        std::vector<pollfd> fds{{m_wake, POLLIN, 0}};
        for (int fd : m_transmitter.BlockedDevices()) {
            fds.push_back({fd, POLLOUT, 0});
        }
        timespec timeout{};
        if (wake) {
            const auto left = std::max(SteadyClock::duration::zero(), *wake - SteadyClock::now());
            const auto secondsLeft = std::chrono::duration_cast<std::chrono::seconds>(left);
            timeout.tv_sec = static_cast<time_t>(secondsLeft.count());
            timeout.tv_nsec = static_cast<long>(
                std::chrono::duration_cast<std::chrono::nanoseconds>(left - secondsLeft).count());
        }
        if (ppoll(fds.data(), fds.size(), wake ? &timeout : nullptr, nullptr) < 0 &&
            errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "ppoll");
        }
        if (fds[0].revents != 0) {
            return;
        }
    }
}

void Simulation::sendEpoch(std::int64_t epoch, SteadyTime due) {
    const EpochTruth truth = m_vessel.Truth();
    m_vessel.Advance(1 / m_options.rate);

    const double elapsed = static_cast<double>(epoch) / m_options.rate;
    const UtcCentiseconds time = EpochUtc(m_startUtc, epoch, m_options.rate);
    const UtcCentiseconds times[2] = {time, time + ToCentiseconds(m_options.skew)};
    const std::int64_t toleranceMs = ToleranceMilliseconds(m_options.timeTolerance);
    bool active[2] = {true, true};
    if (m_options.silentReceiver != 0 && elapsed >= m_options.silentAfter - 1e-9 &&
        (m_options.silentUntil <= 0 || elapsed < m_options.silentUntil - 1e-9)) {
        active[m_options.silentReceiver - 1] = false;
    }
    // The program makes a heading only from two fixes whose times, fractions
    // of the second included, are closer than its time tolerance.
    const bool counted =
        active[0] && active[1] && MillisecondsApart(times[0], times[1]) < toleranceMs;
    if (counted) {
        m_ledger.AddEpoch(epoch, truth.heading);
    }

    std::vector<OutgoingSentence> sentences[2];
    bool ggaIntact[2] = {false, false};
    for (int receiver = 0; receiver < 2; ++receiver) {
        if (!active[receiver]) {
            continue;
        }
        Fix fix{times[receiver], truth.antenna[receiver]};
        if (m_options.noise > 0) {
            std::normal_distribution<double> noise(0, m_options.noise);
            const double north = noise(m_noise);
            const double east = noise(m_noise);
            fix.position = Displace(fix.position, north, east);
        }
        sentences[receiver] =
            receiverSentences(epoch, receiver, fix, truth.heading, counted, ggaIntact[receiver]);
    }

    const int first = m_options.firstReceiver - 1;
    const int second = 1 - first;
    // The program compares each GGA with the other receiver's latest fix: the
    // epoch's first GGA within the tolerance of the other receiver's previous
    // one (rates above 1/tolerance) gives an answer of its own.
    if (counted && ggaIntact[first] && m_lastGgaTime[second] &&
        MillisecondsApart(times[first], *m_lastGgaTime[second]) < toleranceMs) {
        m_ledger.ExpectEarlyAnswer(epoch, first);
    }
    for (int receiver = 0; receiver < 2; ++receiver) {
        if (ggaIntact[receiver]) {
            m_lastGgaTime[receiver] = times[receiver];
        }
    }
    const bool firstGgaGoes = !sentences[first].empty() && sentences[first].front().isGga;
    enqueue(first, std::move(sentences[first]), due);
    if (firstGgaGoes) {
        m_waiting[epoch] = std::move(sentences[second]);
    } else {
        enqueue(second, std::move(sentences[second]), due);
    }
}

std::vector<OutgoingSentence> Simulation::receiverSentences(std::int64_t epoch, int receiver,
                                                            const Fix& fix, double heading,
                                                            bool counted, bool& ggaIntact) {
    std::vector<std::string> lines{ComposeGga(fix, m_status, m_options.decimals)};
    if (m_options.sendRmc) {
        lines.push_back(ComposeRmc(fix, m_status, m_options.decimals, m_options.speed, heading));
    }
    if (m_options.sendGsa) {
        lines.push_back(ComposeGsa(m_status));
    }
    std::vector<OutgoingSentence> sentences;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool isGga = i == 0;
        const Fault fault = m_faults.Apply(lines[i], isGga);
        m_counts.dropped += fault == Fault::Dropped ? 1 : 0;
        m_counts.garbled += fault == Fault::Garbled ? 1 : 0;
        m_counts.badField += fault == Fault::BadField ? 1 : 0;
        const bool intact = fault == Fault::None || fault == Fault::BadField;
        if (isGga) {
            ggaIntact = intact;
        }
        if (isGga && counted && fault != Fault::None) {
            m_ledger.MarkFault(epoch, !intact);
        }
        if (fault != Fault::Dropped) {
            sentences.push_back(OutgoingSentence{.bytes = std::move(lines[i]),
                                                 .epoch = epoch,
                                                 .receiver = receiver,
                                                 .isGga = isGga});
        }
    }
    return sentences;
}

void Simulation::enqueue(int receiver, std::vector<OutgoingSentence> sentences, SteadyTime at) {
    for (OutgoingSentence& sentence : sentences) {
        sentence.notBefore = at;
        sentence.giveUp = at + kGiveUpAfter;
        m_transmitter.Enqueue(static_cast<std::size_t>(receiver), std::move(sentence));
    }
}

void Simulation::LastByteWriting(const OutgoingSentence& sentence, SteadyTime at) {
    if (sentence.isGga) {
        m_ledger.LastByteWriting(sentence.epoch, sentence.receiver, at);
    }
}

void Simulation::SentenceDone(const OutgoingSentence& sentence, bool written, SteadyTime at) {
    if (!sentence.isGga) {
        return;
    }
    if (!written) {
        m_ledger.MarkFault(sentence.epoch, true);
    }
    if (sentence.receiver == m_options.firstReceiver - 1) {
        const auto waiting = m_waiting.find(sentence.epoch);
        if (waiting != m_waiting.end()) {
            enqueue(1 - sentence.receiver, std::move(waiting->second), at);
            m_waiting.erase(waiting);
        }
    }
}

}  // namespace bivane::sim
