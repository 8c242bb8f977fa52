#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <string>

namespace bivane::test {

// What nmea-bivane-replay (`replay`) sends for `recording`, started with the
// options the recording's header names; empty when it names none or the
// replay does not end.
inline std::string Replayed(const QString& replay, const QString& recording) {
    QFile file(recording);
    const std::string text = file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
    const std::string key = "\n; replay-options: ";
    const std::size_t found = text.find(key);
    if (found == std::string::npos) {
        return {};
    }
    const std::size_t options = found + key.size();
    QStringList arguments = QProcess::splitCommand(
        QString::fromStdString(text.substr(options, text.find('\n', options) - options)));
    QProcess process;
    process.start(replay, arguments << recording);
    return process.waitForFinished(10000) ? process.readAllStandardOutput().toStdString() : "";
}

}  // namespace bivane::test
