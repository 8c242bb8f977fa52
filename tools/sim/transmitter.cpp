#include "tools/sim/transmitter.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace bivane::sim {

Transmitter::Transmitter(std::vector<int> devices, long paceBaud, TransmitObserver& observer)
    : m_characterTime(paceBaud > 0 ? 10.0 / static_cast<double>(paceBaud) : 0.0),
      m_observer(observer) {
    for (int fd : devices) {
        m_lines.emplace_back().fd = fd;
    }
}

void Transmitter::enqueue(std::size_t device, OutgoingSentence sentence) {
    m_lines.at(device).queue.push_back(std::move(sentence));
}

SteadyClock::duration Transmitter::charactersTime(std::size_t count) const {
    return std::chrono::duration_cast<SteadyClock::duration>(m_characterTime *
                                                             static_cast<double>(count));
}

void Transmitter::service(SteadyTime now) {
    // A finished sentence may release one on another line, so go round until
    // a pass writes nothing.
    bool progress = true;
    while (progress) {
        progress = false;
        for (Line& line : m_lines) {
            line.blocked = false;
            progress = serviceLine(line, now) || progress;
        }
    }
}

bool Transmitter::serviceLine(Line& line, SteadyTime now) {
    const bool paced = m_characterTime.count() > 0;
    bool progress = false;
    for (;;) {
        if (!line.terminator.empty()) {
            const ssize_t n = write(line.fd, line.terminator.data(), line.terminator.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                // Sentences that cannot start in time behind it are lost.
                while (!line.queue.empty() && now > line.queue.front().giveUp) {
                    abandon(line, now);
                    progress = true;
                }
                line.blocked = true;
                return progress;
            }
            line.terminator.erase(0, n > 0 ? static_cast<std::size_t>(n) : line.terminator.size());
            progress = true;
            continue;
        }
        if (line.queue.empty()) {
            return progress;
        }
        const OutgoingSentence& sentence = line.queue.front();
        if (line.written == 0) {
            const SteadyTime start = std::max(sentence.notBefore, line.free);
            if (start > now) {
                return progress;
            }
            if (now > sentence.giveUp) {
                abandon(line, now);
                progress = true;
                continue;
            }
            line.start = start;
        }
        const std::size_t size = sentence.bytes.size();
        std::size_t due = size;
        if (paced) {
            const std::chrono::duration<double> elapsed = now - line.start;
            due = std::min(size, static_cast<std::size_t>(elapsed / m_characterTime) + 1);
        }
        if (due <= line.written) {
            return progress;
        }
        const std::size_t count = due - line.written;
        if (due == size) {
            m_observer.lastByteWriting(sentence, SteadyClock::now());
        }
        const ssize_t n = write(line.fd, sentence.bytes.data() + line.written, count);
        const SteadyTime after = SteadyClock::now();
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            abandon(line, now);
            progress = true;
            continue;
        }
        if (n > 0) {
            line.written += static_cast<std::size_t>(n);
            progress = true;
        }
        if (line.written == size) {
            line.free = line.start + charactersTime(size);
            const OutgoingSentence done = std::move(line.queue.front());
            line.queue.pop_front();
            line.written = 0;
            m_observer.sentenceDone(done, true, after);
            continue;
        }
        if (n < 0 || static_cast<std::size_t>(n) < count) {
            // No room: the program is not reading.
            if (now > sentence.giveUp) {
                abandon(line, now);
                progress = true;
                continue;
            }
            line.blocked = true;
        }
        return progress;
    }
}

void Transmitter::abandon(Line& line, SteadyTime now) {
    const OutgoingSentence sentence = std::move(line.queue.front());
    line.queue.pop_front();
    if (line.written > 0) {
        // Close the half-written line so that it cannot pass for a good one:
        // with a "*" and no checksum it fails the check; when only its line
        // end is missing, the line end is all that is needed.
        const std::size_t star = sentence.bytes.find('*');
        line.terminator = star != std::string::npos && line.written >= star + 3
                              ? sentence.bytes.substr(line.written)
                              : std::string("*\r\n");
        line.free = now;
    }
    line.written = 0;
    ++m_abandoned;
    m_observer.sentenceDone(sentence, false, now);
}

std::optional<SteadyTime> Transmitter::nextWake() const {
    std::optional<SteadyTime> wake;
    const auto consider = [&wake](SteadyTime t) {
        if (!wake || t < *wake) {
            wake = t;
        }
    };
    for (const Line& line : m_lines) {
        if (line.queue.empty()) {
            continue;
        }
        const OutgoingSentence& front = line.queue.front();
        if (line.blocked || !line.terminator.empty()) {
            consider(front.giveUp);
        } else if (line.written == 0) {
            consider(std::max(front.notBefore, line.free));
        } else {
            consider(line.start + charactersTime(line.written));
        }
    }
    return wake;
}

std::vector<int> Transmitter::blockedDevices() const {
    std::vector<int> fds;
    for (const Line& line : m_lines) {
        if (line.blocked) {
            fds.push_back(line.fd);
        }
    }
    return fds;
}

bool Transmitter::idle() const {
    return std::all_of(m_lines.begin(), m_lines.end(),
                       [](const Line& line) { return line.queue.empty(); });
}

}  // namespace bivane::sim
