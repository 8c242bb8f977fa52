#include "app/frm_setup.h"

#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <string>

#include "tests/dialogs/dialog_test_support.h"
#include "tests/dialogs/ports_on_lines.h"
#include "tests/serial_qt/line_settings.h"

namespace bivane {
namespace {

using test::Child;

// The three ports of the window on pseudo-terminals; system port 9 names a
// device that does not exist.
class FrmSetupTest : public ::testing::Test, protected test::DialogSurroundings {
  protected:
    FrmSetupTest() {
        lines.devices.mapForThisRun(9, QStringLiteral("/dev/no-such-bivane-port"));
        state.HeadingOutput = true;
    }

    test_support::PseudoTerminal& line(int number) { return lines.line(number); }
    QtSerialPort& port(int index) { return lines.port(index); }

    std::unique_ptr<Frm_Setup> openDialog(const ComPortMap* names) {
        return test::ShowDialog<Frm_Setup>(&owner, lines.all(), state, text, prompts, names);
    }
    std::unique_ptr<Frm_Setup> openDialog() { return openDialog(&lines.devices); }

    // Opens all three ports at their own numbers and settings.
    void openPorts() {
        for (int index = 1; index <= 3; ++index) {
            ASSERT_TRUE(port(index).open().ok()) << index;
        }
    }

    // The speed and stop bits that the driver of system port `number` holds.
    std::string held(int number) {
        return test_support::HeldSpeedAndStopBits(line(number).slaveDescriptor());
    }

    test::PortsOnLines lines;
};

TEST_F(FrmSetupTest, StandsAsDesignedAndOffersOnlyItsListEntries) {
    const auto dialog = openDialog();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Bivane Setup"));
    const std::vector<test::DesignedPlace> designed = {
        {"Frm_Setup(1)", "Frm_Setup", {0, 240, 1575, 1695}},
        {"Frm_Setup(2)", "Frm_Setup", {1560, 240, 1575, 1695}},
        {"Frm_Setup(3)", "Frm_Setup", {3120, 240, 1575, 1695}},
        {"chkHeadingOutput", "Frm_Setup(3)", {120, 240, 1215, 375}},
        {"cmbComport(2)", "Frm_Setup(2)", {120, 720, 1335, 315}},
        {"cmbBaudRate(3)", "Frm_Setup(3)", {120, 1200, 1335, 315}},
        {"cmdOK", "Frm_Setup", {1800, 2280, 1215, 495}},
        {"cmdCancel", "Frm_Setup", {3120, 2280, 1215, 495}},
    };
    test::ExpectDesignedPlaces(*dialog, designed);
    EXPECT_EQ(test::LayoutFaults(*dialog), QStringList());
    EXPECT_EQ(Child(*dialog, "Frm_Setup(1)")->property("title"),
              QStringLiteral("GPS 1 (Aft ant.)"));
    EXPECT_EQ(dialog->chkHeadingOutput()->text(), QStringLiteral("Enabled"));

    for (int index = 1; index <= 3; ++index) {
        QStringList ports;
        QStringList settings;
        for (int entry = 0; entry < dialog->cmbComport(index)->count(); ++entry) {
            ports << dialog->cmbComport(index)->itemText(entry);
            EXPECT_EQ(dialog->cmbComport(index)->itemData(entry, Qt::ToolTipRole).toString(),
                      lines.devices.deviceFor(entry + 1));
        }
        for (int entry = 0; entry < dialog->cmbBaudRate(index)->count(); ++entry) {
            settings << dialog->cmbBaudRate(index)->itemText(entry);
        }
        EXPECT_EQ(ports.join(QLatin1Char(' ')),
                  QStringLiteral("COM 1 COM 2 COM 3 COM 4 COM 5 COM 6 COM 7 COM 8 COM 9 COM 10 "
                                 "COM 11 COM 12 COM 13 COM 14 COM 15 COM 16"));
        EXPECT_EQ(settings.join(QLatin1Char(' ')),
                  QStringLiteral("4800,n,8,1 9600,n,8,1 19200,n,8,1 38400,n,8,1 57600,n,8,1 "
                                 "115200,n,8,1 230400,n,8,1 460800,n,8,1 921600,n,8,1"));
        EXPECT_FALSE(dialog->cmbComport(index)->isEditable() ||
                     dialog->cmbBaudRate(index)->isEditable());
    }
    EXPECT_EQ(dialog->cmbComport(1)->itemData(0, Qt::ToolTipRole).toString(), line(1).devicePath());
    EXPECT_EQ(dialog->cmbComport(1)->toolTip(), line(1).devicePath()) << "the closed list";

    const auto withoutNames = openDialog(nullptr);
    EXPECT_FALSE(withoutNames->cmbComport(1)->itemData(0, Qt::ToolTipRole).isValid());
}

TEST_F(FrmSetupTest, PreselectsEachPortsNumberAndSettingsText) {
    struct Row {
        const char* legend;
        int number;
        const char* settings;
        int portEntry;  // -1: none selected
        int settingsEntry;
    };
    const Row rows[] = {
        {"the built-in port", 1, "4800,n,8,1", 0, 0},
        {"the last entries", 16, "921600,n,8,1", 15, 8},
        {"a port number beyond the list", 17, "9600,n,8,1", -1, 1},
        {"port number 0", 0, "19200,n,8,1", -1, 2},
        {"a capital N", 5, "4800,N,8,1", 4, -1},
        {"a blank at the end", 5, "4800,n,8,1 ", 4, -1},
        {"other framing", 5, "4800,e,7,1", 4, -1},
    };
    for (const Row& row : rows) {
        port(2).setPortNumber(static_cast<std::int16_t>(row.number));
        port(2).setSettings(row.settings);
        const auto dialog = openDialog();
        EXPECT_EQ(dialog->cmbComport(2)->currentIndex(), row.portEntry) << row.legend;
        EXPECT_EQ(dialog->cmbBaudRate(2)->currentIndex(), row.settingsEntry) << row.legend;
    }
}

TEST_F(FrmSetupTest, TheCheckBoxEnablesAndGreysThePortThreeLists) {
    for (const bool output : {false, true}) {
        state.HeadingOutput = output;
        const auto dialog = openDialog();
        const auto portThreeEnabled = [&] {
            EXPECT_EQ(dialog->cmbComport(3)->isEnabled(), dialog->cmbBaudRate(3)->isEnabled());
            return dialog->cmbComport(3)->isEnabled();
        };
        EXPECT_EQ(dialog->chkHeadingOutput()->isChecked(), output);
        EXPECT_EQ(portThreeEnabled(), output) << "as loaded";
        dialog->chkHeadingOutput()->click();
        EXPECT_EQ(portThreeEnabled(), !output);
        dialog->chkHeadingOutput()->click();
        EXPECT_EQ(portThreeEnabled(), output);
        EXPECT_TRUE(dialog->cmbComport(1)->isEnabled() && dialog->cmbBaudRate(2)->isEnabled());
        EXPECT_EQ(dialog->cmbComport(3)->currentText(), QStringLiteral("COM 3"))
            << "filled and preselected also when greyed";
    }
}

TEST_F(FrmSetupTest, OkReopensThePortsWithTheNewNumbersSettingsAndOutputSwitch) {
    state.HeadingOutput = false;
    ASSERT_TRUE(port(1).open().ok());
    ASSERT_TRUE(port(2).open().ok());
    const auto dialog = openDialog();
    dialog->cmbComport(1)->setCurrentIndex(3);   // COM 4
    dialog->cmbBaudRate(1)->setCurrentIndex(1);  // 9600
    dialog->cmbBaudRate(2)->setCurrentIndex(5);  // 115200
    dialog->chkHeadingOutput()->click();
    dialog->cmbBaudRate(3)->setCurrentIndex(8);  // 921600
    dialog->cmdOK()->click();

    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(state.HeadingOutput);
    const struct {
        int number;
        const char* settings;
        const char* held;
    } expected[] = {{4, "9600,n,8,1", "9600,1"},
                    {2, "115200,n,8,1", "115200,1"},
                    {3, "921600,n,8,1", "921600,1"}};
    for (int index = 1; index <= 3; ++index) {
        const auto& want = expected[index - 1];
        EXPECT_TRUE(port(index).isOpen()) << index;
        EXPECT_EQ(port(index).portNumber(), want.number) << index;
        EXPECT_EQ(port(index).settings(), want.settings) << index;
        EXPECT_EQ(held(want.number), want.held) << index;
    }
    QtSerialPort other(1, lines.devices);
    EXPECT_TRUE(other.open().ok()) << "GPS 1's old device is free again";

    // Heading output switched off again: port 3 closes.
    text.lblHDT.text = "$GPHDT,123.4,T*31";
    const auto again = openDialog();
    again->chkHeadingOutput()->click();
    again->cmdOK()->click();
    EXPECT_FALSE(again->isVisible());
    EXPECT_FALSE(state.HeadingOutput);
    EXPECT_EQ(text.lblHDT.text, "n/a");
    EXPECT_TRUE(port(1).isOpen() && port(2).isOpen());
    EXPECT_FALSE(port(3).isOpen());
}

TEST_F(FrmSetupTest, APortThatCannotBeOpenedIsReportedAndTheDialogStaysOpen) {
    struct Row {
        const char* legend;
        int gps2Entry;  // the entry chosen for GPS 2
        const char* message;
    } const rows[] = {
        {"no such device", 8, "Com port  9 not available. Try another !"},
        {"GPS 1's port", 0, "Com port  1 not available. Try another !"},
    };
    for (const Row& row : rows) {
        openPorts();
        prompts.messages.clear();
        const auto dialog = openDialog();
        dialog->cmbBaudRate(1)->setCurrentIndex(2);  // 19200
        dialog->cmbComport(2)->setCurrentIndex(row.gps2Entry);
        dialog->cmdOK()->click();

        ASSERT_EQ(prompts.messages.size(), 1u) << row.legend;
        EXPECT_EQ(prompts.messages[0].title, QStringLiteral("NMEA Bivane"));
        EXPECT_EQ(prompts.messages[0].text, QLatin1String(row.message)) << row.legend;
        EXPECT_TRUE(dialog->isVisible()) << row.legend;
        EXPECT_TRUE(port(1).isOpen()) << row.legend;
        EXPECT_EQ(held(1), "19200,1") << row.legend;
        EXPECT_FALSE(port(2).isOpen() || port(3).isOpen()) << row.legend;
        EXPECT_TRUE(state.HeadingOutput);

        // Another choice and OK again: the whole sequence runs anew.
        dialog->cmbComport(2)->setCurrentIndex(1);
        dialog->cmdOK()->click();
        EXPECT_EQ(prompts.messages.size(), 1u) << row.legend;
        EXPECT_FALSE(dialog->isVisible()) << row.legend;
        EXPECT_TRUE(port(1).isOpen() && port(2).isOpen() && port(3).isOpen()) << row.legend;
    }
}

TEST_F(FrmSetupTest, ListsWithoutASelectionKeepThePortsOwnValues) {
    lines.devices.mapForThisRun(20, line(4).devicePath());
    port(1).setPortNumber(20);
    port(1).setSettings("9600,N,8,2");
    const auto dialog = openDialog();
    ASSERT_EQ(dialog->cmbComport(1)->currentIndex(), -1);
    ASSERT_EQ(dialog->cmbBaudRate(1)->currentIndex(), -1);
    dialog->cmdOK()->click();

    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(port(1).portNumber(), 20);
    EXPECT_EQ(port(1).settings(), "9600,N,8,2");
    EXPECT_TRUE(port(1).isOpen());
    EXPECT_EQ(held(4), "9600,2");
}

TEST_F(FrmSetupTest, CancelEscAndEnterInAListChangeNothing) {
    openPorts();
    const auto dialog = openDialog();
    dialog->cmbComport(1)->setCurrentIndex(3);
    dialog->cmbBaudRate(2)->setCurrentIndex(4);
    dialog->chkHeadingOutput()->click();
    dialog->cmbComport(1)->setFocus();
    QTest::keyClick(dialog->cmbComport(1), Qt::Key_Escape);
    QTest::keyClick(dialog->cmbComport(1), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()) << "neither a cancel nor a default button";
    dialog->cmdCancel()->setFocus();
    QTest::keyClick(dialog->cmdCancel(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible()) << "Enter presses the button that has the focus";
    EXPECT_EQ(dialog->result(), QDialog::Rejected);

    EXPECT_TRUE(state.HeadingOutput);
    for (int index = 1; index <= 3; ++index) {
        EXPECT_TRUE(port(index).isOpen()) << index;
        EXPECT_EQ(port(index).portNumber(), index);
        EXPECT_EQ(port(index).settings(), "4800,n,8,1");
    }
    EXPECT_EQ(text, MainWindowText());
}

}  // namespace
}  // namespace bivane
