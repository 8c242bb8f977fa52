#include "runtime/data_logger.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "runtime/disk_sync.h"

namespace bivane {

std::string LogFolder(const std::string& programFolder) {
    return programFolder + "log/";
}

std::string LogFileName(const LocalTime& start) {
    char name[64];
    std::snprintf(name, sizeof name, "Bivane %04d%02d%02d-%02d%02d%02d.log", start.year % 10000,
                  start.month % 100, start.day % 100, start.hour % 100, start.minute % 100,
                  start.second % 100);
    return name;
}

DataLogger::~DataLogger() {
    stop();
}

std::optional<std::string> DataLogger::start(const std::string& folder,
                                             const std::string& fileName) {
    stop();
    const std::filesystem::path folderPath(folder);
    std::error_code error;
    if (!std::filesystem::is_directory(folderPath, error)) {
        // Only the log folder itself: a missing program folder is a failure.
        std::filesystem::create_directory(folderPath, error);
        if (error) {
            return "The log folder \"" + folder + "\" cannot be created: " + error.message();
        }
    }
    m_file.setFileName(QString::fromStdString(folder + fileName));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        return "The log file \"" + folder + fileName +
               "\" cannot be opened: " + m_file.errorString().toStdString();
    }
    return std::nullopt;
}

std::optional<std::string> DataLogger::stop() {
    if (!m_file.isOpen()) {
        return std::nullopt;
    }
    std::optional<std::string> failure;
    if (!m_file.flush() || !SyncFileToDisk(m_file.handle())) {
        failure = "The log file \"" + m_file.fileName().toStdString() +
                  "\" cannot be saved to disk: " + std::generic_category().message(errno);
    }
    m_file.close();
    return failure;
}

IoResult DataLogger::write(std::string_view text) {
    if (!m_file.isOpen()) {
        return IoResult::Failure("No log file is open");
    }
    const auto size = static_cast<qint64>(text.size());
    if (m_file.write(text.data(), size) != size) {
        return IoResult::Failure("The log file cannot be written: " +
                                 m_file.errorString().toStdString());
    }
    return {};
}

}  // namespace bivane
