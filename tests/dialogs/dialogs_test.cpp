// The dialogs on the offscreen platform, each with what it is handed: the
// compass state, the window's texts, the prompts, the ports in memory. And
// the window on pseudo-terminals, whose headings go on while a dialog stands.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/frm_network.h"
#include "app/frm_offset.h"
#include "app/frm_output.h"
#include "app/frm_setup.h"
#include "app/time_tolerance_prompt.h"
#include "tests/support/turning_epochs.h"
#include "tests/support/window_harness.h"

namespace bivane::test {
namespace {

using namespace std::chrono_literals;

class Dialogs : public ::testing::Test {
  protected:
    template <typename Dialog, typename... Arguments>
    std::unique_ptr<Dialog> show(Arguments&&... arguments) {
        auto dialog = std::make_unique<Dialog>(&owner, std::forward<Arguments>(arguments)...);
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }
    std::unique_ptr<Frm_Setup> setup() {
        return show<Frm_Setup>(std::array<SerialPort*, 3>{&ports[0], &ports[1], &ports[2]}, state,
                               text, prompts, nullptr);
    }
    std::unique_ptr<Frm_Offset> offsets(char separator = '.') {
        return show<Frm_Offset>(state, text, prompts, separator);
    }
    std::string open() {
        std::string open;
        for (const MemoryPort& port : ports) {
            open += port.isOpen() ? std::to_string(port.portNumber()) + " " : "- ";
        }
        return open;
    }

    // OK, through cmdOK_Click: whether the dialog took it, a refusal said
    // why in one message, and the settings the dialog then holds.
    template <typename Dialog, typename Settings>
    void expectOk(Dialog& dialog, bool accepted, const Settings& settings) {
        dialog.cmdOK_Click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, accepted);
        EXPECT_EQ(prompts.messages.size(), accepted ? 0u : 1u);
        EXPECT_EQ(dialog.settings(), settings);
    }

    QWidget owner;
    CompassState state;
    MainWindowText text;
    ScriptedPrompts prompts;
    std::array<MemoryPort, 3> ports{MemoryPort(1), MemoryPort(2), MemoryPort(3)};
};

TEST_F(Dialogs, SetupsOkReopensThePortsAndReportsOneThatCannotOpenUntilOkSucceeds) {
    ASSERT_TRUE(ports[0].open().ok() && ports[1].open().ok());
    ports[2].setSettings("9600,N,8,2");
    ports[2].setPortNumber(20);  // no list entry: the port's own values stay
    auto dialog = setup();
    dialog->cmbComport(1)->setCurrentIndex(3);   // COM 4
    dialog->cmbBaudRate(1)->setCurrentIndex(1);  // 9600
    dialog->cmbBaudRate(2)->setCurrentIndex(5);  // 115200
    dialog->chkHeadingOutput()->click();
    dialog->cmdOK()->click();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(state.HeadingOutput);
    EXPECT_EQ(open(), "4 2 20 ");
    EXPECT_EQ(ports[0].settings(), "9600,n,8,1");
    EXPECT_EQ(ports[1].settings(), "115200,n,8,1");
    EXPECT_EQ(ports[2].settings(), "9600,N,8,2");

    // Heading output switched off again and GPS 2 moved to a port that
    // cannot open: the dialog says so and stands until OK succeeds; then
    // port 3 is closed and its label says so.
    text.lblHDT.text = "$GPHDT,123.4,T*31";
    ports[1].failOpens("no such device");
    dialog = setup();
    dialog->cmbComport(2)->setCurrentIndex(8);
    dialog->chkHeadingOutput()->click();
    dialog->cmdOK()->click();
    EXPECT_EQ(prompts.texts(),
              QStringList{QStringLiteral("Com port  9 not available. Try another !")});
    EXPECT_TRUE(dialog->isVisible());
    ports[1].failOpens({});
    dialog->cmdOK()->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(state.HeadingOutput);
    EXPECT_EQ(text.lblHDT.text, "n/a");
    EXPECT_EQ(open(), "4 9 - ");
}

// A box left as it was shown, or changed and changed back, keeps its offset
// exactly; the others take what the user typed, a point under a comma too.
TEST_F(Dialogs, OffsetsShowInMetresWithTheUsersSeparatorAndOkRecomputesTheBaseline) {
    state.OffsetX = {1.5, -0.004};
    state.OffsetY = {-1.2345, 0.25};
    const auto shown = offsets(',');
    EXPECT_EQ(shown->txtX(0)->text(), QStringLiteral("1,50 m"));
    EXPECT_EQ(shown->txtX(1)->text(), QStringLiteral("0,00 m"));
    shown->txtX(0)->setText(QStringLiteral("2.5"));
    shown->txtY(0)->setText(QStringLiteral("1"));
    shown->txtY(0)->setText(QStringLiteral("-1,23 m"));
    shown->txtY(1)->setText(QStringLiteral("abc"));
    shown->cmdOK()->click();
    EXPECT_FALSE(shown->isVisible());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(state.OffsetX, (std::array<double, 2>{2.5, -0.004}));
    EXPECT_EQ(state.OffsetY, (std::array<double, 2>{-1.2345, 0}));
    // GPS 2 stands 2.79 m forward and to port of GPS 1, bearing 296.24
    // degrees from the bow: the correction is 63.76 degrees.
    EXPECT_NEAR(state.CalculatedBaseline, 2.79177, 1e-5);
    EXPECT_NEAR(state.HeadingCorrection, 1.112755, 1e-6);
    EXPECT_EQ(text.lblCalculated.text, "2,79 m");
}

TEST_F(Dialogs, OffsetsTooLargeToComputeWithAreRefusedAndNothingIsStored) {
    const struct {
        std::array<const char*, 4> texts;  // X1, Y1, X2, Y2
        const char* named;                 // in the message
    } rows[] = {
        {{"1", "2", "1e400", "3"}, "\"1e400\" (GPS 2 (forward), X)"},
        {{"-1e154", "0", "1e154", "0"}, "baseline overflows"},
    };
    for (const auto& row : rows) {
        prompts.messages.clear();
        const auto dialog = offsets();
        const std::array boxes{dialog->txtX(0), dialog->txtY(0), dialog->txtX(1), dialog->txtY(1)};
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            boxes[i]->setText(QLatin1String(row.texts[i]));
        }
        dialog->cmdOK()->click();
        ASSERT_EQ(prompts.messages.size(), 1u) << row.named;
        EXPECT_TRUE(prompts.messages[0].text.contains(QLatin1String(row.named)))
            << prompts.messages[0].text.toStdString();
        EXPECT_TRUE(dialog->isVisible()) << row.named;
        EXPECT_EQ(state.OffsetX, (std::array<double, 2>{0, 0})) << row.named;
        EXPECT_EQ(state.OffsetY, (std::array<double, 2>{0, 0})) << row.named;
        EXPECT_EQ(text, MainWindowText()) << row.named;
    }
}

TEST_F(Dialogs, HeadingSentencesKeepWhatTheUserDidNotChangeAndRefuseWhatCannotBe) {
    using enum HeadingSentence;
    const struct {
        bool hdt, ths, rot;
        const char* limit;         // typed into the box; nullptr: left alone
        const char* timeConstant;  // the same
        bool accepted;
        OutputSettings result;
    } rows[] = {
        {true, true, false, nullptr, nullptr, true, {{Ths, Hdt}, 0.123456789}},
        {true, true, false, "0,5", nullptr, true, {{Ths, Hdt}, 0.5}},
        {true, true, true, nullptr, "0", true, {{Ths, Hdt, Rot}, 0.123456789, 0}},
        {false, false, false, nullptr, nullptr, false, {{Ths, Hdt}, 0.123456789}},
        {true, true, false, "-1", nullptr, false, {{Ths, Hdt}, 0.123456789}},
        {true, true, true, nullptr, "-3", false, {{Ths, Hdt}, 0.123456789}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        prompts.messages.clear();
        const auto dialog = show<Frm_Output>(OutputSettings{{Ths, Hdt}, 0.123456789}, prompts, ',');
        EXPECT_EQ(dialog->txtBaselineLimit()->text(), QStringLiteral("0,123456789"));
        dialog->chkSentence(Hdt)->setChecked(row.hdt);
        dialog->chkSentence(Ths)->setChecked(row.ths);
        dialog->chkSentence(Rot)->setChecked(row.rot);
        for (const auto& [box, typed] :
             {std::pair{dialog->txtBaselineLimit(), row.limit},
              std::pair{dialog->txtRotTimeConstant(), row.timeConstant}}) {
            if (typed != nullptr) {
                box->selectAll();
                QTest::keyClicks(box, QLatin1String(typed));
            }
        }
        expectOk(*dialog, row.accepted, row.result);
    }
}

// The endpoints' texts themselves are read as tests/runtime shows.
TEST_F(Dialogs, NetworkJoinsAddressAndPortAndRefusesWhatCannotBeWithOneMessage) {
    const NetworkSettings current{false, {}, true, {QStringLiteral("192.168.1.255"), 10110}};
    const struct {
        const char* tcpAddress;
        const char* tcpPort;
        const char* udpAddress;
        bool accepted;
        NetworkSettings result;
    } rows[] = {
        {"::1",
         "2000",
         "192.168.1.255",
         true,
         {true, {QStringLiteral("::1"), 2000}, true, current.udp}},
        {"", "70000", "192.168.1.255", false, current},
        {"", "10110", "", false, current},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        prompts.messages.clear();
        const auto dialog =
            show<Frm_Network>(current, prompts, [] { return QStringLiteral("TCP: off"); });
        EXPECT_EQ(dialog->lblStatus()->text(), QStringLiteral("TCP: off"));
        dialog->chkTcp()->setChecked(row.result.tcpOn);
        dialog->txtTcpAddress()->setText(QLatin1String(row.tcpAddress));
        dialog->txtTcpPort()->setText(QLatin1String(row.tcpPort));
        dialog->txtUdpAddress()->setText(QLatin1String(row.udpAddress));
        expectOk(*dialog, row.accepted, row.result);
    }
}

TEST(TimeTolerancePrompt, AsksWithTheCurrentValueAndStoresTheAnswer) {
    const struct {
        float before;
        char separator;
        std::optional<const char*> answer;  // nothing: Cancel
        const char* offered;                // the prompt's text at the start
        float after;
        const char* refusal;  // part of the message, nullptr for none
    } rows[] = {
        {0.2f, '.', std::nullopt, "0.2", 0.2f, nullptr},
        {0.2f, ',', "1.25 sec", "0,2", 1.25f, nullptr},
        {0.2f, '.', "x", "0.2", 0.0f, nullptr},
        {1e-5f, '.', std::nullopt, "1e-05", 1e-5f, nullptr},
        {0.2f, '\'', "0'2", "0'2", 0.2f, nullptr},
        {0.3f, '.', "1e39", "0.3", 0.3f, "\"1e39\" is too large"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        ScriptedPrompts prompts;
        if (row.answer) {
            prompts.answers.emplace_back(QLatin1String(*row.answer));
        }
        CompassState state;
        state.TimeTolerance = row.before;
        AskTimeTolerance(prompts, state, row.separator);
        ASSERT_EQ(prompts.inputs.size(), 1u);
        EXPECT_EQ(prompts.inputs[0].text,
                  QStringLiteral("Select accepted time difference between the two GPS "
                                 "(By default = 0.2 sec)"));
        EXPECT_EQ(prompts.inputs[0].initial, QLatin1String(row.offered));
        EXPECT_EQ(state.TimeTolerance, row.after);
        ASSERT_EQ(prompts.messages.size(), row.refusal != nullptr ? 1u : 0u);
        if (row.refusal != nullptr) {
            EXPECT_TRUE(prompts.messages[0].text.contains(QLatin1String(row.refusal)));
        }
    }
}

TEST(DialogsAndWindow, HeadingsGoOutWhileEachDialogStands) {
    WindowHarness harness;
    Frm_Bivane& window = harness.startOnLines();
    const std::pair<const char*, void (Frm_Bivane::*)()> commands[] = {
        {"comm setup", &Frm_Bivane::mnuSetupComm_Click},
        {"antenna offsets", &Frm_Bivane::mnuSetupOffset_Click},
        {"heading sentences", &Frm_Bivane::mnuSetupOutput_Click},
        {"network output", &Frm_Bivane::mnuSetupNetwork_Click},
        {"about box", &Frm_Bivane::mnuAbout_Click},
    };
    int epoch = 0;
    for (const auto& [legend, command] : commands) {
        // While the dialog stands an epoch comes every 20 ms; once two HDT
        // sentences went out it is closed, as Esc or Cancel would.
        std::string sent;
        QTimer feed;
        QObject::connect(&feed, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                return;
            }
            sent += harness.heading->receive(0ms);
            if (std::ranges::count(sent, '\n') >= 2 || epoch > 1000) {
                dialog->reject();
                return;
            }
            const auto [gps1, gps2] = EpochPair(epoch++);
            harness.gps1->send(gps1);
            harness.gps2->send(gps2);
        });
        feed.start(20);
        (window.*command)();
        EXPECT_GE(std::ranges::count(sent, '\n'), 2) << legend << ": " << sent;
        EXPECT_TRUE(sent.starts_with("$GPHDT,")) << legend << ": " << sent;
        EXPECT_EQ(harness.openPorts(), "1 2 3") << legend;
    }
}

}  // namespace
}  // namespace bivane::test
