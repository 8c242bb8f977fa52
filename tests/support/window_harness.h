#pragma once

// The main window in process on the offscreen platform, in a program folder
// of its own (per-user settings emptied), with a fixed clock and prompts the
// test answers. Its ports are in memory, or on pseudo-terminals: then GPS 1,
// GPS 2 and the heading output are system ports 11, 12 and 13, and GPS 1 and
// the heading output are reached through links of their own, as a USB device
// is through /dev/serial/by-id/, so that a test can unplug one and plug
// another device in under the same name. An unplugged line's name goes with
// it: the window, which looks for a lost port's device once a second, never
// finds a pseudo-terminal another test has made since under the same number.

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/frm_bivane.h"
#include "app/frm_setup.h"
#include "app/user_prompts.h"
#include "reception/memory_port.h"
#include "runtime/port_factory.h"
#include "runtime/threaded_input.h"
#include "serial/com_port_map.h"
#include "tests/serial_qt/pseudo_terminal.h"
#include "tests/support/engine_fakes.h"

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace bivane::test {

// Records every message box and input prompt; answers input prompts and file
// questions from `answers` (Cancel for nothing, and once they run out).
class ScriptedPrompts final : public UserPrompts {
  public:
    struct Shown {
        QString title;
        QString text;     // the message, or the prompt's question
        QString initial;  // the prompt's text field at the start
    };
    std::vector<Shown> messages;
    std::vector<Shown> inputs;
    std::deque<std::optional<QString>> answers;

    void message(const QString& title, const QString& text) override {
        messages.push_back({title, text, {}});
    }
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& initial) override;
    std::optional<QString> saveFile(const QString& title, const QString& suggested) override {
        return input(title, {}, suggested);
    }
    QStringList texts() const;
};

// Ports in memory; `configure` sets each up before the window gets it.
PortFactory MemoryPorts(std::function<void(int index, MemoryPort&)> configure = {});

// The settings file that a first start writes when it is closed at once.
inline constexpr const char* kFirstStartFile =
    "1,\"4800,n,8,1\"\r\n2,\"4800,n,8,1\"\r\n3,\"4800,n,8,1\"\r\n0,0\r\n0,0\r\n#FALSE#\r\n";

// The settings file of the window on pseudo-terminals: ports 11, 12 and 13
// at 4800 baud, GPS 2 five metres ahead of GPS 1, heading output on.
inline constexpr const char* kLinesSettings =
    "11,\"4800,n,8,1\"\r\n12,\"4800,n,8,1\"\r\n13,\"4800,n,8,1\"\r\n0,0\r\n0,5\r\n#TRUE#\r\n";

class WindowHarness {
  public:
    WindowHarness();
    ~WindowHarness();

    QString programFolder() const;            // without trailing separator
    QString path(const QString& name) const;  // a file in the program folder
    void writeFile(const QString& name, std::string_view text) const;
    std::string readFile(const QString& name) const;

    // Makes the window and runs its start-up.
    Frm_Bivane& start(const PortFactory& ports = MemoryPorts(), const QString& folder = {});
    Frm_Bivane& window() { return *m_window; }
    CompassState& state() { return m_window->state(); }
    std::string label(const char* name, int index = -1);

    // ---- Memory ports
    MemoryPort& port(int index);
    // GGA lines of both receivers at 12:35:`second`: GPS 2 stands 4.98 m
    // from GPS 1, bearing 026.7; `gps2Second` differs for a pair out of step.
    static std::pair<std::string, std::string> FixPair(int second, int gps2Second = -1);
    // The pair arriving on memory ports 1 and 2; the labels show it.
    void receivePair(int second, int gps2Second = -1);
    // The event loop is about to wait: the window shows what the ports
    // brought, at once or once it no longer waits for the other fix.
    void settle();

    // ---- Pseudo-terminals (EpochPair's vessel, turning a degree an epoch)
    // Writes kLinesSettings unless a settings file is there, and starts.
    Frm_Bivane& startOnLines();
    // The program's ports on `lines`, the receivers read on the input thread.
    PortFactory linePorts();
    // Points the link of line 1 (GPS 1) or 3 (the heading output) at
    // `device` (a device plugged in); an empty device removes the link.
    void pointLinkAt(int line, const QString& device);
    // Line 1 or 3 unplugged: its far end goes, and its link with it.
    void unplug(int line);
    // Both receivers send epoch `n`; true once the window shows both.
    bool sendEpoch(int n);
    // What the heading output sends within `limit`: up to a line end.
    std::string output(std::chrono::milliseconds limit = std::chrono::seconds(2));
    // Each of epochs `first` to `last` is shown and its heading, the one the
    // window shows, goes out on the heading output.
    ::testing::AssertionResult headingsFollow(int first, int last);
    // The window's open ports: "1 2 3", with "-" for a closed one.
    std::string openPorts();

    ComPortMap lines;  // the system ports' devices
    std::unique_ptr<test_support::PseudoTerminal> gps1;
    std::unique_ptr<test_support::PseudoTerminal> gps2;
    std::unique_ptr<test_support::PseudoTerminal> heading;

    FixedClock clock;
    ScriptedPrompts prompts;

  private:
    QString linkPath(int line) const;

    QTemporaryDir m_dir;
    std::unique_ptr<ThreadedInput> m_input;  // outlives the window's ports
    std::unique_ptr<Frm_Bivane> m_window;
};

// Runs `act` on the dialog of type Dialog once it stands (a menu command
// opens it after this call); a failure when none does.
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<Dialog*>(widget); dialog && dialog->isVisible()) {
                act(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no dialog was shown";
    });
}

std::string ReadWholeFile(const QString& path);
void WriteWholeFile(const QString& path, std::string_view text);
// The per-user settings store.
QString UserSetting(const QString& key);
void SetUserSetting(const QString& key, const QString& value);

}  // namespace bivane::test
