#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

// The per-user settings store of these tests lives in a folder of their own,
// so the user's own settings are never read or touched. It must be set before
// the first QSettings is made: Qt keeps the folder from then on.
int main(int argc, char** argv) {
    QTemporaryDir configHome;
    if (!configHome.isValid() ||
        ::setenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()).constData(), 1) != 0) {
        std::fputs("no temporary folder for the settings store\n", stderr);
        return EXIT_FAILURE;
    }
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
