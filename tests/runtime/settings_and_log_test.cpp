// What a start, a close and the logging do on disk: the settings file read
// (and kept as ".bad" when it cannot be read whole) and saved, the program
// folder made, the log file, and the output settings in the per-user store.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <fstream>

#include "runtime/data_logger.h"
#include "runtime/network_settings.h"
#include "runtime/output_settings.h"
#include "runtime/settings_at_start.h"
#include "runtime/settings_file_io.h"

namespace bivane {
namespace {

std::string contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("(none)");
}

// A file read whole is the window's start in the window life cycle test.
TEST(SettingsAtStart, AFileReadInPartIsReportedAndKeptAsBadAndItsFirstItemsUsed) {
    struct Row {
        const char* file;
        const char* problem;  // in the report
        std::int16_t port2;   // read before the problem, or built in
    } const rows[] = {
        {"4,\"4800,n,8,1\"\r\n5,\"4800,n,8,1\"\r\n", "past line 3: the file ends before", 5},
        {"4,\"4800,n,8,1\"\r\n0,\"4800,n,8,1\"\r\n", "past line 2: the port number of port 2", 2},
        {"4,\"fast\"\r\n", "line 1: the settings text of port 1, \"\"fast\"\", cannot be used", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Bivane.ini"));
        std::ofstream(path.toStdString(), std::ios::binary) << row.file;
        const SettingsAtStart start = ReadSettingsAtStart(path);
        EXPECT_TRUE(start.exists && start.usable && !start.whole);
        EXPECT_EQ(start.items.port(1).number, 4);
        EXPECT_EQ(start.items.port(2).number, row.port2);
        ASSERT_TRUE(start.report);
        EXPECT_TRUE(start.report->contains(QLatin1String(row.problem)))
            << start.report->toStdString();
        EXPECT_TRUE(
            start.report->contains(QStringLiteral("The file is kept as \"%1.bad\"").arg(path)));
        EXPECT_EQ(contents(path + QStringLiteral(".bad")), row.file);
    }
}

// No file at all is the window's first start in the window life cycle test,
// and the text saved is checked in the window tests (first start, OK in a
// dialog).
TEST(SettingsFile, AFolderInTheWayIsReportedAndASaveIsWholeOrTheFailureIsNamed) {
    QTemporaryDir dir;
    const QString folderPath = dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(folderPath));
    const SettingsAtStart folder = ReadSettingsAtStart(folderPath);
    EXPECT_TRUE(folder.exists && !folder.usable);
    ASSERT_TRUE(folder.report);
    EXPECT_EQ(*folder.report, QStringLiteral("The settings file \"%1\" cannot be read: it is a "
                                             "folder. The built-in settings are used.")
                                  .arg(folderPath));

    const QString path = dir.filePath(QStringLiteral("Bivane.ini"));
    std::ofstream(path.toStdString(), std::ios::binary) << "old";
    SettingsItems items;
    EXPECT_EQ(SaveSettingsFile(path, items), std::nullopt);
    EXPECT_EQ(contents(path).substr(0, 2), "1,");
    EXPECT_NE(SaveSettingsFile(dir.filePath(QStringLiteral("missing/Bivane.ini")), items),
              std::nullopt);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Bivane.ini")})
        << "no temporary file left behind";
}

// The log folder and file name, and each heading in the file at once, are
// the window's logging test.
TEST(DataLogger, AppendsToItsFileAndNamesEachFailure) {
    QTemporaryDir dir;
    const std::string folder = LogFolder(dir.path().toStdString() + "/");
    const std::string name = "Bivane.log";
    DataLogger logger;
    EXPECT_FALSE(logger.write("x").ok()) << "no file open";
    ASSERT_EQ(logger.start(folder, name), std::nullopt);
    EXPECT_TRUE(logger.write("$GPHDT,1.0,T\r\n").ok());
    EXPECT_EQ(logger.stop(), std::nullopt);
    ASSERT_EQ(logger.start(folder, name), std::nullopt);  // a restart in the same second
    EXPECT_TRUE(logger.write("$GPHDT,2.0,T\r\n").ok());
    EXPECT_EQ(logger.stop(), std::nullopt);
    EXPECT_EQ(contents(QString::fromStdString(folder + name)), "$GPHDT,1.0,T\r\n$GPHDT,2.0,T\r\n");

    const std::string taken = folder + "taken.log";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(taken)));
    const auto folderInTheWay = logger.start(folder, "taken.log");
    ASSERT_TRUE(folderInTheWay);
    EXPECT_TRUE(folderInTheWay->starts_with("The log file \"" + taken + "\" cannot be opened: "))
        << *folderInTheWay;
    EXPECT_FALSE(logger.isOpen());

    // A "file" that takes every line but cannot be synced to disk.
    if (!QFile::link(QStringLiteral("/dev/null"), QString::fromStdString(folder + "null.log"))) {
        GTEST_SKIP() << "no symbolic link to /dev/null";
    }
    ASSERT_EQ(logger.start(folder, "null.log"), std::nullopt);
    EXPECT_TRUE(logger.write("x\r\n").ok());
    const auto unsynced = logger.stop();
    ASSERT_TRUE(unsynced);
    EXPECT_NE(unsynced->find("\" cannot be saved to disk: "), std::string::npos) << *unsynced;
    EXPECT_FALSE(logger.isOpen());
}

TEST(PerUserStore, KeepsTheOutputAndNetworkSettingsAndWhatCannotBeReadIsNotUsed) {
    using enum HeadingSentence;
    QTemporaryDir folder;
    QSettings store(folder.filePath(QStringLiteral("user.ini")), QSettings::IniFormat);
    EXPECT_EQ(ReadOutputSettings(store), OutputSettings{}) << "HDT alone, 1 degree";

    const OutputSettings chosen{{Ths, Hdt, Rot}, 0.35, 0};
    WriteOutputSettings(store, chosen);
    EXPECT_EQ(ReadOutputSettings(store), chosen);

    store.setValue(QStringLiteral("Output/Sentences"), QStringLiteral("HDT,RMC"));
    store.setValue(QStringLiteral("Output/BaselineLimit"), QStringLiteral("-2"));
    store.setValue(QStringLiteral("Output/RotTimeConstant"), QStringLiteral("x"));
    EXPECT_EQ(ReadOutputSettings(store), OutputSettings{});

    EXPECT_EQ(ReadNetworkSettings(store), NetworkSettings{}) << "defaults";
    for (const bool tcpOn : {true, false}) {
        const NetworkSettings changed{tcpOn,
                                      {QStringLiteral("192.168.1.20"), 2000},
                                      !tcpOn,
                                      {QStringLiteral("192.168.1.255"), 2001}};
        WriteNetworkSettings(store, changed);
        EXPECT_EQ(ReadNetworkSettings(store), changed);
    }
}

}  // namespace
}  // namespace bivane
