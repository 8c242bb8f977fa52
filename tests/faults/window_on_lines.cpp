#include "tests/faults/window_on_lines.h"

#include <QFile>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "tests/support/gga_lines.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;
using test_support::ProcessEventsUntil;

}  // namespace

WindowOnLines::WindowOnLines() : gps1(std::make_unique<test_support::PseudoTerminal>()) {}

void WindowOnLines::SetUp() {
    ASSERT_TRUE(m_links.isValid());
    pointGps1LinkAt(gps1->devicePath());
    ports.mapForThisRun(11, gps1Link());
    ports.mapForThisRun(12, gps2.devicePath());
    ports.mapForThisRun(13, heading.devicePath());
    harness.writeFile(QStringLiteral("Bivane.ini"), kLinesSettings);
}

Frm_Bivane& WindowOnLines::start() {
    Frm_Bivane& started = harness.start(QtPortFactory(ports));
    started.setDeviceNames(&ports);
    return started;
}

std::string WindowOnLines::label(const char* name, int index) {
    return window().label(name, index)->text().toStdString();
}

QString WindowOnLines::gps1Link() const {
    return m_links.filePath(QStringLiteral("gps1"));
}

void WindowOnLines::pointGps1LinkAt(const QString& device) {
    // A new link replaces the old one in one step, as udev does.
    const QString fresh = m_links.filePath(QStringLiteral("gps1.new"));
    QFile::remove(fresh);
    if (device.isEmpty()) {
        QFile::remove(gps1Link());
        return;
    }
    if (!QFile::link(device, fresh) ||
        std::rename(QFile::encodeName(fresh).constData(),
                    QFile::encodeName(gps1Link()).constData()) != 0) {
        throw std::runtime_error("cannot link " + gps1Link().toStdString());
    }
}

bool WindowOnLines::sendEpoch(int n) {
    const auto [first, second] = EpochPair(n);
    gps1->send(first);
    gps2.send(second);
    return ProcessEventsUntil(
        [&] {
            return label("lblGGA", 1) + "\r\n" == first && label("lblGGA", 2) + "\r\n" == second;
        },
        5s);
}

std::string WindowOnLines::output(std::chrono::milliseconds limit) {
    std::string sent;
    ProcessEventsUntil(
        [&] {
            sent += heading.receive(std::chrono::milliseconds(0));
            return !sent.empty() && sent.back() == '\n';
        },
        limit);
    return sent;
}

::testing::AssertionResult WindowOnLines::headingsFollow(int first, int last) {
    for (int n = first; n <= last; ++n) {
        if (!sendEpoch(n)) {
            return ::testing::AssertionFailure() << "epoch " << n << " was not shown";
        }
        const std::string sent = output();
        if (sent != label("lblHDT") + "\r\n") {
            return ::testing::AssertionFailure()
                   << "epoch " << n << " sent \"" << sent << "\", showing " << label("lblHDT");
        }
    }
    return ::testing::AssertionSuccess();
}

bool WindowOnLines::gps2GoesOnAlone(int n) {
    const std::string line = EpochPair(n).second;
    gps2.send(line);
    const bool shown = ProcessEventsUntil([&] { return label("lblGGA", 2) + "\r\n" == line; }, 5s);
    heading.receive(200ms);
    return shown;
}

std::string WindowOnLines::openPorts() {
    std::string open;
    for (int index = 1; index <= 3; ++index) {
        open += (index > 1 ? " " : "") +
                (window().MSComm1(index).isOpen() ? std::to_string(index) : std::string("-"));
    }
    return open;
}

std::chrono::microseconds WindowOnLines::idleCpu(std::chrono::milliseconds span) {
    const auto before = test_support::ProcessCpuTime();
    test_support::ProcessEventsFor(span);
    return test_support::ProcessCpuTime() - before;
}

bool WindowOnLines::runCommSetup(const std::function<void(Frm_Setup&)>& whileOpen) {
    bool shown = false;
    bool accepted = false;
    QTimer::singleShot(0, &window(), [&] {
        auto* dialog = window().findChild<Frm_Setup*>();
        if (dialog == nullptr) {
            return;
        }
        shown = true;
        whileOpen(*dialog);
        accepted = !dialog->isVisible() && dialog->result() == QDialog::Accepted;
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    window().mnuSetupComm_Click();
    EXPECT_TRUE(shown) << "the comm setup dialog did not show";
    return accepted;
}

}  // namespace bivane::test
