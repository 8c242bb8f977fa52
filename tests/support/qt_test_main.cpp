#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

// The main of every Qt test program: the offscreen platform, and a per-user
// settings store of the tests' own. XDG_CONFIG_HOME must point at it before
// the first QSettings is made, so nothing reads or touches the user's own
// settings.
int main(int argc, char** argv) {
    // Also when CTest lists the tests, which it does without their environment.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir configHome;
    if (!configHome.isValid() ||
        ::setenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()).constData(), 1) != 0) {
        std::fputs("no temporary folder for the per-user settings\n", stderr);
        return EXIT_FAILURE;
    }
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
