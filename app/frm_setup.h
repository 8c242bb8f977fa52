#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <array>

#include "app/user_prompts.h"
#include "heading/compass_state.h"
#include "heading/main_window_text.h"
#include "reception/serial_port.h"
#include "serial/com_port_map.h"

namespace bivane {

// The comm setup dialog: for each of the three ports (1 = GPS 1 (aft),
// 2 = GPS 2 (forward), 3 = heading output) the system port and the settings
// text, and the heading output switch. OK closes the ports, reconfigures them
// and opens them again at once; the window writes the settings file
// after an OK that changed them.
//
// Made by the menu command and run modally over `owner`, centred on it:
// `Frm_Setup dialog(...); dialog.exec();`. Port events go on while it is open.
class Frm_Setup final : public QDialog {
    Q_OBJECT
  public:
    // `ports`: the window's ports of index 1, 2, 3 as elements 0, 1, 2.
    // `deviceNames`: what each "COM n" entry stands for, shown as the entry's
    // tool tip; nullptr for no tool tips. Everything must outlive the dialog.
    Frm_Setup(QWidget* owner, std::array<SerialPort*, 3> ports, CompassState& state,
              MainWindowText& window, UserPrompts& prompts, const ComPortMap* deviceNames);

    // The controls, by the index of their port (1 to 3).
    QGroupBox* frame(int index) const;
    QComboBox* cmbComport(int index) const;
    QComboBox* cmbBaudRate(int index) const;
    QCheckBox* chkHeadingOutput() const { return m_chkHeadingOutput; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdCancel() const { return m_cmdCancel; }

  public Q_SLOTS:
    // The heading output switch enables or greys the lists of port 3.
    void chkHeadingOutput_Click();
    // Applies the choice; on a port that cannot be opened, says so and stays
    // open with the earlier ports open and the failed and later ones closed.
    void cmdOK_Click();
    void cmdCancel_Click();

  protected:
    // Neither button is a default or cancel button: Esc does not close the
    // dialog, and Enter presses only a button that has the focus.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // One frame's controls, index 1 to 3 as element 0 to 2.
    struct PortControls {
        QGroupBox* frame = nullptr;
        QComboBox* comport = nullptr;
        QComboBox* baudRate = nullptr;
    };

    void createControls(const ComPortMap* deviceNames);
    void Form_Load();
    SerialPort& MSComm1(int index) const;
    const PortControls& controls(int index) const;

    std::array<SerialPort*, 3> m_ports;
    CompassState& m_state;
    MainWindowText& m_window;
    UserPrompts& m_prompts;
    std::array<PortControls, 3> m_controls;
    QCheckBox* m_chkHeadingOutput = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

}  // namespace bivane
