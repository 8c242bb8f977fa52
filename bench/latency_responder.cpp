// The least a heading program can do: answers each epoch with one HDT
// sentence as soon as both receivers' GGA sentences of the same time are in,
// with no window, no decoding beyond the time field and no geodesy.
// scripts/bench-latency runs it under the simulator beside the program, so
// that the program's latency is measured against what the machine, the
// pseudo-terminals and the simulator cost by themselves.
//
// With --engine it hands every chunk to the program's heading engine instead
// (reception, decoding, the cycle, the text model, no window, no Qt), in the
// same loop: what the engine costs without the event loop and the window.
// It then takes the simulator's default mounting (GPS 2 two metres ahead of
// GPS 1).
//
// Usage (as the simulator starts a program): nmea-bivane-responder
//   [--engine] [--program-folder F] --com 1=DEVICE --com 2=DEVICE --com 3=DEVICE

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "nmea/hdt.h"
#include "nmea/message_sink.h"
#include "tools/replay/replay_engine.h"

namespace {

int openRaw(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) {
        std::fprintf(stderr, "nmea-bivane-responder: %s: %s\n", device.c_str(),
                     std::strerror(errno));
        return -1;
    }
    termios mode{};
    if (::tcgetattr(fd, &mode) == 0) {
        ::cfmakeraw(&mode);
        ::tcsetattr(fd, TCSANOW, &mode);
    }
    return fd;
}

// The time field of a GGA line, or nothing for any other line.
std::string_view ggaTime(std::string_view line) {
    if (line.size() < 7 || line[0] != '$' || line.substr(3, 4) != "GGA,") {
        return {};
    }
    const std::string_view rest = line.substr(7);
    return rest.substr(0, rest.find(','));
}

}  // namespace

int main(int argc, char** argv) {
    std::array<std::string, 3> devices;
    bool runEngine = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--engine") {
            runEngine = true;
            continue;
        }
        if (i + 1 == argc) {
            break;
        }
        const std::string_view value = argv[i + 1];
        if (option == "--com" && value.size() > 2 && value[1] == '=' && value[0] >= '1' &&
            value[0] <= '3') {
            devices[static_cast<std::size_t>(value[0] - '1')] = std::string(value.substr(2));
        }
    }
    std::array<int, 3> fds{};
    for (std::size_t i = 0; i < 3; ++i) {
        if (devices[i].empty() || (fds[i] = openRaw(devices[i])) < 0) {
            std::fprintf(stderr,
                         "usage: nmea-bivane-responder --com 1=DEV --com 2=DEV --com 3=DEV\n");
            return 2;
        }
    }
    const std::string sentence = bivane::BuildHdtSentence("GP", 0.0f, 1) + "\r\n";
    bool writeFailed = false;
    bivane::DiscardedMessages messages;
    std::optional<bivane::ReplayEngine> engine;
    if (runEngine) {
        engine.emplace(
            bivane::ReplayOptions{.offsets = {0, 0, 0, 2}},
            [&](std::string_view text) {
                writeFailed = writeFailed || ::write(fds[2], text.data(), text.size()) < 0;
            },
            messages);
    }

    std::array<std::string, 2> pending;
    std::array<std::string, 2> lastTime;
    std::string answered;
    std::array<pollfd, 2> watch{{{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}}};
    char chunk[4096];
    for (;;) {
        if (::poll(watch.data(), watch.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return 1;
        }
        for (std::size_t r = 0; r < 2; ++r) {
            if (watch[r].revents == 0) {
                continue;
            }
            const ssize_t n = ::read(fds[r], chunk, sizeof chunk);
            if (n <= 0) {
                return 0;  // the simulator has gone
            }
            if (engine) {
                engine->receive(static_cast<int>(r) + 1,
                                std::string_view(chunk, static_cast<std::size_t>(n)));
                if (writeFailed) {
                    return 1;
                }
                continue;
            }
            pending[r].append(chunk, static_cast<std::size_t>(n));
            std::size_t end;
            while ((end = pending[r].find('\n')) != std::string::npos) {
                const std::string_view time = ggaTime(std::string_view(pending[r]).substr(0, end));
                if (!time.empty()) {
                    lastTime[r] = time;
                    if (lastTime[1 - r] == lastTime[r] && answered != lastTime[r]) {
                        answered = lastTime[r];
                        if (::write(fds[2], sentence.data(), sentence.size()) < 0) {
                            return 1;
                        }
                    }
                }
                pending[r].erase(0, end + 1);
            }
        }
    }
}
