#include "app/frm_setup.h"

#include <QKeyEvent>
#include <algorithm>
#include <stdexcept>
#include <string>

#include "app/dialog_layout.h"
#include "runtime/qt_text.h"
#include "runtime/version.h"
#include "reception/port_text_output.h"

namespace bivane {
namespace {

constexpr int kPortEntries = 16;  // "COM 1" to "COM 16"
constexpr std::array kSettingsEntries = {
    "4800,n,8,1",   "9600,n,8,1",   "19200,n,8,1",  "38400,n,8,1",  "57600,n,8,1",
    "115200,n,8,1", "230400,n,8,1", "460800,n,8,1", "921600,n,8,1",
};
constexpr std::array kFrameCaptions = {"GPS 1 (Aft ant.)", "GPS 2 (Forward)", "Heading output"};

// The designed client area and the places of the controls, in twips; the
// lists and the check box stand inside their frame.
constexpr int kDialogWidth = 4680;
constexpr int kDialogHeight = 2985;
constexpr std::array kFrameRects = {
    TwipRect{0, 240, 1575, 1695},
    TwipRect{1560, 240, 1575, 1695},
    TwipRect{3120, 240, 1575, 1695},
};
constexpr TwipRect kChkHeadingOutputRect{120, 240, 1215, 375};
constexpr TwipRect kCmbComportRect{120, 720, 1335, 315};
constexpr TwipRect kCmbBaudRateRect{120, 1200, 1335, 315};
constexpr TwipRect kCmdOKRect{1800, 2280, 1215, 495};
constexpr TwipRect kCmdCancelRect{3120, 2280, 1215, 495};

QString controlName(std::string_view name, int index) {
    return FromStd(LabelKey(name, index));
}

}  // namespace

Frm_Setup::Frm_Setup(QWidget* owner, std::array<SerialPort*, 3> ports, CompassState& state,
                     MainWindowText& window, UserPrompts& prompts, const ComPortMap* deviceNames)
    : QDialog(owner, kSizableDialog),
      m_ports(ports),
      m_state(state),
      m_window(window),
      m_prompts(prompts) {
    for (SerialPort* port : m_ports) {
        if (port == nullptr) {
            throw std::invalid_argument("the comm setup needs all three ports");
        }
    }
    SetUpDialog(*this, "Frm_Setup", QStringLiteral("Bivane Setup"));
    createControls(deviceNames);
    Form_Load();
}

SerialPort& Frm_Setup::MSComm1(int index) const {
    return *m_ports.at(static_cast<std::size_t>(index - 1));
}

const Frm_Setup::PortControls& Frm_Setup::controls(int index) const {
    return m_controls.at(static_cast<std::size_t>(index - 1));
}

QGroupBox* Frm_Setup::frame(int index) const {
    return controls(index).frame;
}

QComboBox* Frm_Setup::cmbComport(int index) const {
    return controls(index).comport;
}

QComboBox* Frm_Setup::cmbBaudRate(int index) const {
    return controls(index).baudRate;
}

void Frm_Setup::createControls(const ComPortMap* deviceNames) {
    for (int index = 1; index <= 3; ++index) {
        const auto slot = static_cast<std::size_t>(index - 1);
        PortControls& c = m_controls[slot];
        c.frame = AddFrame(*this, controlName("Frm_Setup", index),
                           QLatin1String(kFrameCaptions[slot]), kFrameRects[slot]);

        // Only the list's own entries can be chosen: nothing typed can
        // stand for a port or a settings text.
        c.comport = new QComboBox(c.frame);
        c.comport->setObjectName(controlName("cmbComport", index));
        PlaceInTwips(*c.comport, kCmbComportRect);
        for (int number = 1; number <= kPortEntries; ++number) {
            c.comport->addItem(QStringLiteral("COM %1").arg(number));
            if (deviceNames != nullptr) {
                c.comport->setItemData(number - 1, deviceNames->deviceFor(number), Qt::ToolTipRole);
            }
        }
        // The closed list tells its device too.
        const auto showDevice = [list = c.comport] {
            list->setToolTip(list->currentData(Qt::ToolTipRole).toString());
        };
        connect(c.comport, &QComboBox::currentIndexChanged, c.comport, showDevice);
        showDevice();

        c.baudRate = new QComboBox(c.frame);
        c.baudRate->setObjectName(controlName("cmbBaudRate", index));
        PlaceInTwips(*c.baudRate, kCmbBaudRateRect);
        for (const char* settings : kSettingsEntries) {
            c.baudRate->addItem(QLatin1String(settings));
        }
        // A list is at least as wide as its longest entry needs.
        for (QComboBox* list : {c.comport, c.baudRate}) {
            list->resize(list->size().expandedTo(QSize(list->sizeHint().width(), 0)));
        }
    }
    m_chkHeadingOutput = new QCheckBox(QStringLiteral("Enabled"), controls(3).frame);
    m_chkHeadingOutput->setObjectName(QStringLiteral("chkHeadingOutput"));
    PlaceInTwips(*m_chkHeadingOutput, kChkHeadingOutputRect);
    controls(3).comport->setEnabled(false);
    controls(3).baudRate->setEnabled(false);
    connect(m_chkHeadingOutput, &QCheckBox::toggled, this, &Frm_Setup::chkHeadingOutput_Click);

    // Not even the default that a dialog picks for itself when it shows:
    // Enter in a list must not press OK.
    m_cmdOK = AddButton(*this, "cmdOK", QStringLiteral("OK"), kCmdOKRect);
    m_cmdOK->setAutoDefault(false);
    connect(m_cmdOK, &QPushButton::clicked, this, &Frm_Setup::cmdOK_Click);
    m_cmdCancel = AddButton(*this, "cmdCancel", QStringLiteral("Cancel"), kCmdCancelRect);
    m_cmdCancel->setAutoDefault(false);
    connect(m_cmdCancel, &QPushButton::clicked, this, &Frm_Setup::cmdCancel_Click);
    controls(1).comport->setFocus();

    DrawFramesLikeTheMainWindow(*this);
    // The rightmost frame ends a pixel beyond the designed client area:
    // the area grows to show its border whole.
    const QRect used = childrenRect();
    resize(std::max(DialogPixels(*this, kDialogWidth), used.right() + 1),
           std::max(DialogPixels(*this, kDialogHeight), used.bottom() + 1));
}

void Frm_Setup::Form_Load() {
    for (int index = 1; index <= 3; ++index) {
        const SerialPort& port = MSComm1(index);
        const PortControls& c = controls(index);
        // A port number or settings text without an entry shows no selection.
        const int number = port.portNumber();
        c.comport->setCurrentIndex(number >= 1 && number <= kPortEntries ? number - 1 : -1);
        c.baudRate->setCurrentIndex(c.baudRate->findText(
            FromStd(port.settings()), Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
    m_chkHeadingOutput->setChecked(m_state.HeadingOutput);
}

void Frm_Setup::chkHeadingOutput_Click() {
    const bool enabled = m_chkHeadingOutput->isChecked();
    controls(3).comport->setEnabled(enabled);
    controls(3).baudRate->setEnabled(enabled);
}

void Frm_Setup::cmdOK_Click() {
    const bool output = m_chkHeadingOutput->isChecked();
    m_state.HeadingOutput = output;
    if (!output) {
        m_window.lblHDT.text = "n/a";
    }
    for (int index = 1; index <= 3; ++index) {
        if (MSComm1(index).isOpen()) {
            MSComm1(index).close();
        }
    }
    for (int index = 1; index <= 3; ++index) {
        if (index == 3 && !output) {
            break;  // port 3 stays closed
        }
        SerialPort& port = MSComm1(index);
        const PortControls& c = controls(index);
        // A list without a selection keeps the port's own value.
        if (const int entry = c.comport->currentIndex(); entry >= 0) {
            port.setPortNumber(static_cast<std::int16_t>(entry + 1));
        }
        if (c.baudRate->currentIndex() >= 0) {
            port.setSettings(c.baudRate->currentText().toStdString());
        }
        if (!port.open().ok()) {
            m_prompts.message(FromStd(kProgramTitle),
                              FromStd(ComPortText(port.portNumber())) +
                                  QStringLiteral(" not available. Try another !"));
            return;  // the user may choose another port and try again
        }
    }
    accept();
}

void Frm_Setup::cmdCancel_Click() {
    reject();
}

void Frm_Setup::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Enter || event->key() == Qt::Key_Return;
    if (enter && event->modifiers() == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        }
        return;
    }
    if (event->matches(QKeySequence::Cancel)) {
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace bivane
