#include "runtime/program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace bivane {
namespace {

std::optional<std::string> createFolder(const std::string& folder, bool withParents) {
    std::error_code error;
    const std::filesystem::path path(folder);
    if (std::filesystem::is_directory(path, error)) {
        return std::nullopt;
    }
    if (withParents) {
        std::filesystem::create_directories(path, error);
    } else {
        std::filesystem::create_directory(path, error);
    }
    if (error) {
        return "The folder \"" + folder + "\" cannot be created: " + error.message();
    }
    return std::nullopt;
}

std::string withSeparator(const QString& folder) {
    return QDir::toNativeSeparators(QDir::cleanPath(folder) + QLatin1Char('/')).toStdString();
}

}  // namespace

ProgramFolderSetup PrepareProgramFolder(const QString& forThisRun) {
    ProgramFolderSetup setup;
    if (!forThisRun.isEmpty()) {
        setup.folder = withSeparator(QFileInfo(forThisRun).absoluteFilePath());
        setup.failure = createFolder(setup.folder, true);
        return setup;
    }
#ifdef Q_OS_WIN
    const QString helmwork = QStringLiteral("C:/Helmwork");
#else
    const QString helmwork = QDir::homePath() + QStringLiteral("/Helmwork");
#endif
    const QString programFolder = helmwork + QStringLiteral("/NMEA_Bivane");
    setup.failure = createFolder(withSeparator(helmwork), false);
    if (!setup.failure) {
        setup.failure = createFolder(withSeparator(programFolder), false);
    }
    setup.folder = withSeparator(programFolder);
    return setup;
}

}  // namespace bivane
