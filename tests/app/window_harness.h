#pragma once

// A main window on the offscreen platform, in a program folder of its own,
// with a fixed clock and prompts that the test answers.

#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/frm_bivane.h"
#include "app/user_prompts.h"
#include "heading/compass_state.h"
#include "reception/memory_port.h"
#include "runtime/port_factory.h"
#include "tests/support/engine_fakes.h"

namespace bivane::test {

// Records every message box; answers input prompts and file questions from a
// queue (Cancel when it is empty). `onMessage` runs while a box "stands".
class ScriptedPrompts final : public UserPrompts {
  public:
    struct Message {
        QString title;
        QString text;
    };
    std::vector<Message> messages;
    std::deque<std::optional<QString>> answers;
    std::function<void(const Message&)> onMessage;

    void message(const QString& title, const QString& text) override;
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& initial) override;
    std::optional<QString> saveFile(const QString& title, const QString& suggested) override {
        return input(title, {}, suggested);
    }

    QStringList texts() const;
};

// Ports in memory; `configure` sets each up before the window gets it.
PortFactory MemoryPorts(std::function<void(int index, MemoryPort&)> configure = {});

class WindowHarness {
  public:
    WindowHarness();  // also empties the per-user settings store
    ~WindowHarness();

    QString programFolder() const;            // without trailing separator
    QString path(const QString& name) const;  // a file in the program folder
    void writeFile(const QString& name, std::string_view text) const;
    std::string readFile(const QString& name) const;

    // Makes the window and runs its start-up.
    Frm_Bivane& start(const PortFactory& ports = MemoryPorts(), const QString& folder = {});
    Frm_Bivane& window() { return *m_window; }
    MemoryPort& port(int index);

    // GGA lines of both receivers at 12:35:`second`: GPS 2 stands about
    // 5 m from GPS 1 (4.98 m), bearing 026.7. `gps2Second` differs for a pair out of
    // step.
    static std::pair<std::string, std::string> FixPair(int second, int gps2Second = -1);
    // The pair arriving on the memory ports 1 and 2; the labels show it.
    void receivePair(int second, int gps2Second = -1);
    // The event loop is about to wait: the window shows what the ports
    // brought (memory ports raise their events outside the loop), at once or
    // once it no longer waits for the other receiver's fix.
    void settle();

    // The window's compass state; only once it has started.
    CompassState& state() { return m_window->state(); }
    FixedClock clock;
    ScriptedPrompts prompts;

  private:
    QTemporaryDir m_dir;
    std::unique_ptr<Frm_Bivane> m_window;
};

std::string ReadWholeFile(const QString& path);
void WriteWholeFile(const QString& path, std::string_view text);

// The per-user settings store.
QString UserSetting(const QString& key);
void SetUserSetting(const QString& key, const QString& value);

}  // namespace bivane::test
