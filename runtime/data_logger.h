#pragma once

#include <QFile>
#include <optional>
#include <string>
#include <string_view>

#include "heading/local_clock.h"
#include "heading/text_output.h"

namespace bivane {

// The log folder below the program folder (which ends in its separator).
std::string LogFolder(const std::string& programFolder);

// The name of a log started at `start`: "Bivane yyyymmdd-hhnnss.log".
std::string LogFileName(const LocalTime& start);

// The log file of computed headings. Every line reaches the file as it is
// written, and the file is synced to disk when logging stops and when the
// logger ends, so a program that is killed loses no line it has shown.
class DataLogger final : public TextOutput {
  public:
    DataLogger() = default;
    DataLogger(const DataLogger&) = delete;
    DataLogger& operator=(const DataLogger&) = delete;
    ~DataLogger() override;

    // Opens `folder` + `fileName` for appending, creating `folder` (one level
    // only) when it is missing: a file of that name (a restart within the
    // same second, or the hour repeated when the clock goes back) keeps its
    // lines and the new ones follow them. Nothing on success, else why not.
    std::optional<std::string> start(const std::string& folder, const std::string& fileName);

    // Syncs and closes the file. Nothing on success (or when no file is
    // open), else why the file may not hold every line.
    std::optional<std::string> stop();

    bool isOpen() const { return m_file.isOpen(); }

    // One text, as it stands, straight to the file.
    IoResult write(std::string_view text) override;

  private:
    QFile m_file;
};

}  // namespace bivane
