#pragma once

// What the dialog tests share: prompts that record and answer, and checks
// of where a control stands and whether it shows whole.

#include <gtest/gtest.h>

#include <QDialog>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "app/main_window_layout.h"
#include "app/user_prompts.h"
#include "heading/compass_state.h"
#include "heading/main_window_text.h"

// Failure messages show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace bivane::test {

// Records every message box and input prompt; answers every input prompt
// with `answer` (nothing: Cancel).
class RecordingPrompts final : public UserPrompts {
  public:
    struct Shown {
        QString title;
        QString text;     // the message, or the prompt's question
        QString initial;  // the prompt's text field at the start
    };
    std::vector<Shown> messages;
    std::vector<Shown> inputs;
    std::optional<QString> answer;

    void message(const QString& title, const QString& text) override {
        messages.push_back({title, text, {}});
    }
    std::optional<QString> input(const QString& title, const QString& prompt,
                                 const QString& initial) override {
        inputs.push_back({title, prompt, initial});
        return answer;
    }
    std::optional<QString> saveFile(const QString& title, const QString& suggested) override {
        return input(title, {}, suggested);
    }
};

// What a dialog is handed: the compass state, the main window's texts, the
// prompts, and the window it stands over.
struct DialogSurroundings {
    CompassState state;
    MainWindowText text;
    RecordingPrompts prompts;
    QWidget owner;
};

// The child of `dialog` named `name`, failing the test when there is none.
template <typename Widget = QWidget>
Widget* Child(const QWidget& dialog, const char* name) {
    auto* child = dialog.findChild<Widget*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Where a control should stand: its object name, the object name of the
// widget it stands in, and its place there in twips.
struct DesignedPlace {
    const char* name;
    const char* container;
    TwipRect rect;
};

// Checks each control's container and geometry against the design. A
// control may be wider than designed, to show its text whole (LayoutFaults
// tells whether it then runs into another).
void ExpectDesignedPlaces(const QWidget& dialog, const std::vector<DesignedPlace>& places);

// Texts a control cannot show whole in its size, and controls that overlap a
// sibling (frames may share their one-pixel border), in words.
QStringList LayoutFaults(const QWidget& dialog);

// Shows `dialog` as the active window, so that focus and keys reach it.
void ShowActive(QDialog& dialog);

// Clicks OK on `dialog` (through its cmdOK_Click) and checks whether it
// was accepted, that a refusal said why in one message, and the settings
// the dialog then holds.
template <typename Dialog, typename Settings>
void ExpectOkOutcome(Dialog& dialog, const RecordingPrompts& prompts, bool accepted,
                     const Settings& settings) {
    dialog.cmdOK_Click();
    EXPECT_EQ(dialog.result() == QDialog::Accepted, accepted);
    EXPECT_EQ(prompts.messages.size(), accepted ? 0u : 1u);
    EXPECT_EQ(dialog.settings(), settings);
}

// Makes a dialog and shows it as the active window.
template <typename Dialog, typename... Arguments>
std::unique_ptr<Dialog> ShowDialog(Arguments&&... arguments) {
    auto dialog = std::make_unique<Dialog>(std::forward<Arguments>(arguments)...);
    ShowActive(*dialog);
    return dialog;
}

}  // namespace bivane::test
