#include "runtime/input_recorder.h"

#include "runtime/version.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "reception/capture.h"
#include "runtime/qt_text.h"

namespace bivane {
namespace {

// The shortest text that reads back as `value`.
template <typename Number>
std::string shortest(Number value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

}  // namespace

std::int64_t SystemUtcMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

std::string ReplayOptionsText(const CompassState& state) {
    std::string text =
        "--offsets " + shortest(state.OffsetX[0]) + ',' + shortest(state.OffsetY[0]) + ',' +
        shortest(state.OffsetX[1]) + ',' + shortest(state.OffsetY[1]) + " --tolerance " +
        shortest(state.TimeTolerance) + " --baseline-limit " + shortest(state.BaselineLimit);
    // The replay sends no ROT; HDT and THS keep their order.
    SentenceChoice replayed;
    std::copy_if(state.Sentences.begin(), state.Sentences.end(), std::back_inserter(replayed),
                 [](HeadingSentence sentence) { return sentence != HeadingSentence::Rot; });
    if (!replayed.empty()) {
        text += " --sentences " + SentenceChoiceText(replayed);
    }
    return text;
}

InputRecorder::InputRecorder(Clock clock) : m_clock(std::move(clock)) {}

std::optional<QString> InputRecorder::start(const QString& path, std::int64_t maxBytes,
                                            std::string program, std::vector<std::string> more) {
    stop();
    m_file.setFileName(path);
    m_maxBytes = maxBytes;
    m_program = std::move(program);
    m_header = std::move(more);
    if (auto failure = openFile(m_clock())) {
        return QStringLiteral("Cannot record to %1: %2").arg(path, *failure);
    }
    return std::nullopt;
}

void InputRecorder::stop() {
    m_file.close();
}

std::optional<QString> InputRecorder::openFile(std::int64_t startUs) {
    // Unbuffered: every event is one write, in the file at once.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        return m_file.errorString();
    }
    std::string header =
        "; " + m_program + ": what ports 1 and 2 received, from " + ArrivalTimeText(startUs) + '\n';
    for (const std::string& line : m_header) {
        header += "; " + line + '\n';
    }
    m_size = m_headerSize = static_cast<std::int64_t>(header.size());
    if (m_file.write(header.data(), m_size) != m_size) {
        const QString reason = m_file.errorString();
        m_file.close();
        return reason;
    }
    return std::nullopt;
}

void InputRecorder::received(int port, std::string_view characters) {
    record(port, true, characters, 0);
}

void InputRecorder::lineCondition(int port, int code) {
    record(port, false, {}, code);
}

void InputRecorder::record(int port, bool receive, std::string_view characters, int code) {
    if (!m_file.isOpen()) {
        return;
    }
    PortEvent event{.port = port,
                    .receive = receive,
                    .characters = std::string(characters),
                    .code = code,
                    .arrivalUs = m_clock()};
    const std::string line = CaptureLine(event);
    const auto size = static_cast<std::int64_t>(line.size());
    if (m_maxBytes > 0 && m_size > m_headerSize && m_size + size > m_maxBytes &&
        !startNewFile(*event.arrivalUs)) {
        return;
    }
    if (m_file.write(line.data(), size) != size) {
        fail(m_file.errorString());
        return;
    }
    m_size += size;
}

bool InputRecorder::startNewFile(std::int64_t startUs) {
    const QString path = m_file.fileName();
    m_file.close();
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(path).toStdString(),
                            QFile::encodeName(path + QStringLiteral(".1")).toStdString(), error);
    if (error) {
        fail(QStringLiteral("cannot rename it to %1.1: %2").arg(path, FromStd(error.message())));
        return false;
    }
    if (auto failure = openFile(startUs)) {
        fail(*failure);
        return false;
    }
    return true;
}

void InputRecorder::changeHeader(std::vector<std::string> more) {
    if (!m_file.isOpen() || more == m_header) {
        return;
    }
    m_header = std::move(more);
    startNewFile(m_clock());
}

void InputRecorder::fail(const QString& reason) {
    m_file.close();
    if (m_stopped) {
        m_stopped(QStringLiteral("Recording to %1 stopped: %2").arg(m_file.fileName(), reason));
    }
}

void KeepRecordingReplayable(InputRecorder& recorder, const CompassState& state) {
    recorder.changeHeader({"replay-options: " + ReplayOptionsText(state)});
}

std::optional<QString> StartRecording(InputRecorder& recorder, const QString& path, int maxMb,
                                      const CompassState& state) {
    return recorder.start(path, std::int64_t{maxMb} * kRecordingBytesPerMb,
                          std::string(kProgramTitle) + ' ' + std::string(VersionText),
                          {"replay-options: " + ReplayOptionsText(state)});
}

}  // namespace bivane
