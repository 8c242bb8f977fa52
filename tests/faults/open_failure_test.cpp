// A receiver's port that cannot be opened at start-up: it does not exist,
// another program holds it, or this user may not use it. The window says so
// and goes on with the other ports; once the cause is gone, the comm setup's
// OK opens the port and headings follow.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <fstream>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>

#include "tests/faults/window_on_lines.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::ProcessEventsUntil;
using test_support::PseudoTerminal;

constexpr uid_t kNobody = 65534;

// Qt's serial port takes a lock file per device in the system's lock
// folder. One left by a process killed earlier (pseudo-terminal numbers are
// reused) is root's, and a user may not remove it from that shared folder:
// the device would look taken. Root clears them before acting as the user.
void ClearStaleLockFiles(const QString& device) {
    QString name = device;
    name.remove(QStringLiteral("/dev/")).replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char* folder : {"/run/lock/", "/var/lock/"}) {
        QFile::remove(QLatin1String(folder) + QStringLiteral("LCK..") + name);
    }
}

class OpenFailure;

struct Cause {
    const char* name;
    // `bring` makes the cause before the start, `end` takes it away before
    // the comm setup's OK.
    void (OpenFailure::*bring)();
    void (OpenFailure::*end)();
    // The window does everything with its ports as a user without rights to
    // the device (root may open any device).
    bool unprivileged;
};

void PrintTo(const Cause& cause, std::ostream* out) {
    *out << cause.name;
}

// True when process `pid` holds the exclusive lock that the program takes on
// each port it opens. Read from the kernel's lock table: trying the lock here
// would hold it for a moment and could make that very open fail.
bool lockedBy(qint64 pid, const QString& device) {
    struct stat status {};
    if (::stat(QFile::encodeName(device).constData(), &status) != 0) {
        return false;
    }
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        // "1: FLOCK  ADVISORY  WRITE 4711 00:18:5 0 EOF"
        std::istringstream fields(line);
        std::string number, kind, mode, access, holder, file;
        fields >> number >> kind >> mode >> access >> holder >> file;
        const auto inode = file.substr(file.rfind(':') + 1);
        if (kind == "FLOCK" && access == "WRITE" && holder == std::to_string(pid) &&
            inode == std::to_string(status.st_ino)) {
            return true;
        }
    }
    return false;
}

class OpenFailure : public WindowOnLines, public ::testing::WithParamInterface<Cause> {
  public:
    // Nothing stands under GPS 1's name: the receiver is not plugged in.
    void unplug() { pointGps1LinkAt({}); }
    void plugIn() { pointGps1LinkAt(gps1->devicePath()); }

    // The program itself, started a second time, holds GPS 1's device.
    void openElsewhere() {
        ASSERT_TRUE(m_otherFolder.isValid());
        WriteWholeFile(m_otherFolder.filePath(QStringLiteral("Bivane.ini")),
                       "11,\"4800,n,8,1\"\r\n14,\"4800,n,8,1\"\r\n15,\"4800,n,8,1\"\r\n"
                       "0,0\r\n0,0\r\n#FALSE#\r\n");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_otherFolder.path());
        m_other.setProcessEnvironment(environment);
        m_other.setProcessChannelMode(QProcess::ForwardedChannels);
        m_other.start(QStringLiteral(NMEA_BIVANE_PROGRAM),
                      {QStringLiteral("--program-folder"), m_otherFolder.path(),
                       QStringLiteral("--com"), QStringLiteral("11=") + gps1Link(),
                       QStringLiteral("--com"), QStringLiteral("14=") + m_spare.devicePath()});
        ASSERT_TRUE(m_other.waitForStarted(5000));
        ASSERT_TRUE(ProcessEventsUntil(
            [&] { return lockedBy(m_other.processId(), gps1->devicePath()); }, 20s));
    }
    void endElsewhere() {
        m_other.terminate();
        ASSERT_TRUE(m_other.waitForFinished(10000));
        EXPECT_EQ(m_other.exitCode(), 0);
    }

    // GPS 1's device may be used by nobody but its owner (root).
    void forbid() {
        for (const PseudoTerminal* line : {gps1.get(), &gps2, &heading}) {
            ClearStaleLockFiles(line->devicePath());
        }
        ASSERT_EQ(::fchmod(gps1->slaveDescriptor(), 0), 0);
        // Everything else the window needs stays within the user's reach.
        for (const int device : {gps2.slaveDescriptor(), heading.slaveDescriptor()}) {
            ASSERT_EQ(::fchmod(device, 0666), 0);
        }
        for (const QString& folder :
             {QFileInfo(harness.programFolder()).path(), QFileInfo(gps1Link()).path()}) {
            ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0711), 0);
        }
    }
    void permit() { ASSERT_EQ(::fchmod(gps1->slaveDescriptor(), 0666), 0); }

  protected:
    void TearDown() override {
        actAsRoot();
        if (m_other.state() != QProcess::NotRunning) {
            m_other.kill();
            m_other.waitForFinished();
        }
    }

    // Root may open any device: the window then acts as nobody instead.
    bool actAsUser() {
        if (!GetParam().unprivileged || ::getuid() != 0) {
            return true;
        }
        return ::seteuid(kNobody) == 0;
    }
    void actAsRoot() {
        if (::getuid() == 0 && ::geteuid() != 0) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }

  private:
    QTemporaryDir m_otherFolder;
    PseudoTerminal m_spare;
    QProcess m_other;
};

TEST_P(OpenFailure, IsReportedAtStartUpAndTheCommSetupOpensThePortOnceTheCauseIsGone) {
    const Cause& cause = GetParam();
    (this->*cause.bring)();
    if (HasFatalFailure()) {
        return;
    }
    if (!actAsUser()) {
        GTEST_SKIP() << "running as root and unable to act as another user";
    }
    start();
    actAsRoot();
    ASSERT_EQ(harness.prompts.texts(),
              QStringList{QStringLiteral("Com port  11 not available. Try another !")});
    EXPECT_EQ(openPorts(), "- 2 3");
    EXPECT_TRUE(gps2GoesOnAlone(0));

    (this->*cause.end)();
    const bool accepted = runCommSetup([&](Frm_Setup& dialog) {
        ASSERT_TRUE(actAsUser());
        dialog.cmdOK()->click();
        actAsRoot();
    });
    ASSERT_TRUE(accepted) << harness.prompts.texts().join(u'|').toStdString();
    EXPECT_EQ(harness.prompts.messages.size(), 1u);
    EXPECT_EQ(openPorts(), "1 2 3");
    EXPECT_TRUE(headingsFollow(1, 3));
}

INSTANTIATE_TEST_SUITE_P(
    Causes, OpenFailure,
    ::testing::Values(Cause{"NoDevice", &OpenFailure::unplug, &OpenFailure::plugIn, false},
                      Cause{"InUseElsewhere", &OpenFailure::openElsewhere,
                            &OpenFailure::endElsewhere, false},
                      Cause{"NoPermission", &OpenFailure::forbid, &OpenFailure::permit, true}),
    [](const ::testing::TestParamInfo<Cause>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace bivane::test
