#pragma once

#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "heading/compass_state.h"
#include "reception/input_tap.h"

namespace bivane {

// A megabyte of a recording's size limit.
inline constexpr std::int64_t kRecordingBytesPerMb = 1000 * 1000;

// Microseconds since 1970-01-01 00:00 UTC, by the system's clock.
std::int64_t SystemUtcMicroseconds();

// The options that make nmea-bivane-replay send what a program in `state`
// sends (offsets, time tolerance, HDT and THS, baseline limit), as one
// command-line text.
std::string ReplayOptionsText(const CompassState& state);

// Records what ports 1 and 2 bring, as it arrives, in nmea-bivane-replay's
// capture format: a header of ";" lines, then one line per event with its
// arrival time (UTC, from the clock handed in). Each event is one write to
// the file, never synced: the heading does not wait for a disk.
//
// With a size limit, a file that would grow past it is renamed FILE.1
// (replacing an older FILE.1) and a new FILE starts with its header, so the
// recording never takes more than twice the limit. A write or rename that
// fails stops the recording and is reported once to the stop handler.
class InputRecorder final : public InputTap {
  public:
    using Clock = std::function<std::int64_t()>;  // microseconds since 1970, UTC

    explicit InputRecorder(Clock clock = SystemUtcMicroseconds);
    InputRecorder(const InputRecorder&) = delete;
    InputRecorder& operator=(const InputRecorder&) = delete;

    // Starts recording into `path`, replacing what it held. `maxBytes` 0: no
    // limit. The header names `program` (name and version) and the start
    // time, then holds the lines `more` ("; " put before each). Nothing on
    // success, else why not ("Cannot record to FILE: ..."), and nothing is
    // recorded.
    std::optional<QString> start(const QString& path, std::int64_t maxBytes, std::string program,
                                 std::vector<std::string> more = {});
    // The header's further lines change (the program's settings did): when
    // they differ from the file's, the file becomes FILE.1 and a new FILE
    // starts with them, so each file replays as it was recorded.
    void changeHeader(std::vector<std::string> more);
    // Ends the recording (the file closed as it stands).
    void stop();
    bool isRecording() const { return m_file.isOpen(); }
    QString path() const { return m_file.fileName(); }

    // Called once when a failure stops the recording, with a text such as
    // "Recording to FILE stopped: No space left on device".
    void setStopHandler(std::function<void(const QString&)> handler) {
        m_stopped = std::move(handler);
    }

    void received(int port, std::string_view characters) override;
    void lineCondition(int port, int code) override;

  private:
    // Opens the file afresh and writes its header, which says it starts at
    // `startUs`; the reason on failure.
    std::optional<QString> openFile(std::int64_t startUs);
    void record(int port, bool receive, std::string_view characters, int code);
    void fail(const QString& reason);
    // FILE becomes FILE.1 and a new FILE starts at `startUs`; false (and the
    // recording stopped) when that fails.
    bool startNewFile(std::int64_t startUs);

    Clock m_clock;
    QFile m_file;
    std::int64_t m_maxBytes = 0;
    std::int64_t m_size = 0;        // bytes in the file now
    std::int64_t m_headerSize = 0;  // of which the header's
    std::string m_program;
    std::vector<std::string> m_header;
    std::function<void(const QString&)> m_stopped;
};

// Starts `recorder` on `path` for one of the programs, `maxMb` megabytes a
// file (0: no limit), its header naming the program and the replay options
// of `state`. Nothing on success, else why not.
// After a change of `state`'s settings: a recording in progress goes on in a
// new file when the replay options differ from its file's.
void KeepRecordingReplayable(InputRecorder& recorder, const CompassState& state);

std::optional<QString> StartRecording(InputRecorder& recorder, const QString& path, int maxMb,
                                      const CompassState& state);

}  // namespace bivane
