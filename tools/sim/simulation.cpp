#include "tools/sim/simulation.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
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
                       std::vector<EpochLedger*> ledgers)
    : m_options(options),
      m_ledgers(std::move(ledgers)),
      m_transmitter({gpsDevices[0], gpsDevices[1]}, options.paceBaud, *this),
      m_vessel({options.latitude, options.longitude}, options.heading, options.turnRate,
               options.speed * kMetresPerSecondPerKnot, options.offsets),
      m_faults({options.dropRate, options.garbageRate, options.badFieldRate}, options.seed),
      m_noise(options.seed ^ 0x9E3779B97F4A7C15ULL),
      m_wake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      m_grid(options.rate, options.rate2 > 0 ? options.rate2 : options.rate, options.epochOffset),
      m_sent(ToleranceMilliseconds(options.timeTolerance)),
      m_received(ToleranceMilliseconds(options.timeTolerance)) {
    if (m_wake < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
    m_status.quality = options.quality;
}

Simulation::~Simulation() {
    close(m_wake);
}

void Simulation::stop() {
    const std::uint64_t one = 1;
    if (write(m_wake, &one, sizeof one) < 0) {
        std::abort();
    }
}

SentenceCounts Simulation::counts() const {
    SentenceCounts counts = m_counts;
    counts.abandoned = m_transmitter.abandoned();
    return counts;
}

MeasuringInstant MeasuringGrid::next() {
    MeasuringInstant instant;
    instant.index = m_index++;
    const double times[2] = {static_cast<double>(m_next[0]) / m_rate,
                             m_offset + static_cast<double>(m_next[1]) / m_rate2};
    instant.time = std::min(times[0], times[1]);
    for (int receiver = 0; receiver < 2; ++receiver) {
        // Grids that meet to within a microsecond measure together.
        if (times[receiver] - instant.time < 1e-6) {
            instant.measures[receiver] = true;
            instant.epoch[receiver] = m_next[receiver]++;
        }
    }
    return instant;
}

double MeasuringGrid::peek() const {
    return std::min(static_cast<double>(m_next[0]) / m_rate,
                    m_offset + static_cast<double>(m_next[1]) / m_rate2);
}

bool Simulation::more(double time) const {
    return m_options.duration <= 0 || time < m_options.duration - 1e-9;
}

SteadyTime Simulation::dueTime(double time) const {
    return m_start + seconds(time);
}

bool Simulation::floating(int receiver, double time) const {
    return m_options.floatReceiver == receiver + 1 && time >= m_options.floatAfter - 1e-9 &&
           (m_options.floatUntil <= 0 || time < m_options.floatUntil - 1e-9);
}

void Simulation::run(SteadyTime start, UtcCentiseconds startUtc) {
    m_start = start;
    m_startUtc = startUtc;
    for (;;) {
        const SteadyTime now = SteadyClock::now();
        while (more(m_grid.peek()) && dueTime(m_grid.peek()) <= now) {
            const MeasuringInstant instant = m_grid.next();
            sendInstant(instant, dueTime(instant.time));
        }
        m_transmitter.service(SteadyClock::now());
        const bool moreInstants = more(m_grid.peek());
        if (!moreInstants && m_transmitter.idle() && m_waiting.empty()) {
            return;
        }
        std::optional<SteadyTime> wake = m_transmitter.nextWake();
        if (moreInstants && (!wake || dueTime(m_grid.peek()) < *wake)) {
            wake = dueTime(m_grid.peek());
        }
        std::vector<pollfd> fds{{m_wake, POLLIN, 0}};
        for (int fd : m_transmitter.blockedDevices()) {
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

void Simulation::sendInstant(const MeasuringInstant& instant, SteadyTime due) {
    m_vessel.advance(instant.time - m_truthTime);
    m_truthTime = instant.time;
    const EpochTruth truth = m_vessel.truth();
    m_truths[instant.index] = TrueMotion{truth.heading, truth.turnRate * 60};

    const UtcCentiseconds times[2] = {
        EpochUtc(m_startUtc, instant.epoch[0], m_options.rate),
        m_startUtc + ToCentiseconds(m_options.epochOffset) +
            EpochUtc(0, instant.epoch[1], m_options.rate2 > 0 ? m_options.rate2 : m_options.rate) +
            ToCentiseconds(m_options.skew)};
    bool active[2] = {instant.measures[0], instant.measures[1]};
    if (m_options.silentReceiver != 0 && instant.time >= m_options.silentAfter - 1e-9 &&
        (m_options.silentUntil <= 0 || instant.time < m_options.silentUntil - 1e-9)) {
        active[m_options.silentReceiver - 1] = false;
    }

    std::vector<OutgoingSentence> sentences[2];
    std::array<GgaFate, 2>& fates = m_fates[instant.index];
    for (int receiver = 0; receiver < 2; ++receiver) {
        if (!active[receiver]) {
            continue;
        }
        Fix fix{times[receiver], truth.antenna[receiver]};
        ReceiverStatus status = m_status;
        if (floating(receiver, instant.time)) {
            // Away from the other antenna along the baseline: the distance of
            // the antennas grows by the jump.
            const double away = truth.heading + BaselineBearing(m_options.offsets) +
                                (receiver == 0 ? 180 : 0);
            fix.position = GeodesicDirect(fix.position, away, m_options.floatJump);
            status.quality = 5;
            fates[static_cast<std::size_t>(receiver)].faulted = true;
        }
        if (m_options.noise > 0) {
            std::normal_distribution<double> noise(0, m_options.noise);
            const double north = noise(m_noise);
            const double east = noise(m_noise);
            fix.position = Displace(fix.position, north, east);
        }
        sentences[receiver] = receiverSentences(instant.index, receiver, fix, status, truth.heading,
                                                fates[static_cast<std::size_t>(receiver)]);
    }

    const int first = active[0] && active[1] ? m_options.firstReceiver - 1 : (active[0] ? 0 : 1);
    const int second = 1 - first;
    for (const int receiver : {first, second}) {
        if (active[receiver]) {
            modelGga(GgaKey{instant.index, receiver}, times[receiver],
                     floating(receiver, instant.time) || m_status.quality != 0,
                     fates[static_cast<std::size_t>(receiver)]);
        }
    }
    // Forget what no pair can reach back to any more.
    while (m_truths.size() > 256) {
        m_truths.erase(m_truths.begin());
    }
    while (m_fates.size() > 256) {
        m_fates.erase(m_fates.begin());
    }

    const bool firstGgaGoes = !sentences[first].empty() && sentences[first].front().isGga;
    enqueue(first, std::move(sentences[first]), due);
    if (firstGgaGoes && active[second]) {
        m_waiting[instant.index] = std::move(sentences[second]);
    } else {
        enqueue(second, std::move(sentences[second]), due);
    }
}

void Simulation::modelGga(GgaKey key, UtcCentiseconds stamp, bool hasFix, const GgaFate& fate) {
    const std::int64_t stampMs = MillisecondOfDay(stamp);
    const auto truth = [this](std::int64_t instant) {
        const auto found = m_truths.find(instant);
        return found != m_truths.end() ? found->second : TrueMotion{};
    };
    if (const auto pair = m_sent.add(key, stampMs, hasFix)) {
        GgaFate partner{true, false};  // one that is forgotten counts as lost
        if (const auto found = m_fates.find(pair->partner.instant); found != m_fates.end()) {
            partner = found->second[static_cast<std::size_t>(pair->partner.receiver)];
        }
        for (EpochLedger* ledger : m_ledgers) {
            ledger->addEpoch(pair->instant, truth(pair->instant), key, pair->partner,
                             fate.faulted || partner.faulted, !fate.intact || !partner.intact);
        }
    }
    if (!fate.intact) {
        return;
    }
    if (const auto pair = m_received.add(key, stampMs, hasFix)) {
        for (EpochLedger* ledger : m_ledgers) {
            ledger->expectAnswer(pair->instant, truth(pair->instant), key, pair->partner);
        }
    }
}

std::vector<OutgoingSentence> Simulation::receiverSentences(std::int64_t instant, int receiver,
                                                            const Fix& fix,
                                                            const ReceiverStatus& status,
                                                            double heading, GgaFate& fate) {
    std::vector<std::string> lines{ComposeGga(fix, status, m_options.decimals)};
    if (m_options.sendRmc) {
        lines.push_back(ComposeRmc(fix, status, m_options.decimals, m_options.speed, heading));
    }
    if (m_options.sendGsa) {
        lines.push_back(ComposeGsa(status));
    }
    std::vector<OutgoingSentence> sentences;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool isGga = i == 0;
        const Fault fault = m_faults.apply(lines[i], isGga);
        m_counts.dropped += fault == Fault::Dropped ? 1 : 0;
        m_counts.garbled += fault == Fault::Garbled ? 1 : 0;
        m_counts.badField += fault == Fault::BadField ? 1 : 0;
        if (isGga && fault != Fault::None) {
            fate.faulted = true;
            fate.intact = fault == Fault::BadField;
        }
        if (fault != Fault::Dropped) {
            sentences.push_back(OutgoingSentence{.bytes = std::move(lines[i]),
                                                 .epoch = instant,
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
        m_transmitter.enqueue(static_cast<std::size_t>(receiver), std::move(sentence));
    }
}

void Simulation::lastByteWriting(const OutgoingSentence& sentence, SteadyTime at) {
    if (sentence.isGga) {
        for (EpochLedger* ledger : m_ledgers) {
            ledger->lastByteWriting(GgaKey{sentence.epoch, sentence.receiver}, at);
        }
    }
}

void Simulation::sentenceDone(const OutgoingSentence& sentence, bool written, SteadyTime at) {
    if (!sentence.isGga) {
        return;
    }
    if (!written) {
        for (EpochLedger* ledger : m_ledgers) {
            ledger->markGgaLost(GgaKey{sentence.epoch, sentence.receiver});
        }
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
