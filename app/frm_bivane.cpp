#include "app/frm_bivane.h"

#include <QAbstractEventDispatcher>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

#include "app/frm_about.h"
#include "app/frm_network.h"
#include "app/frm_offset.h"
#include "app/frm_output.h"
#include "app/frm_setup.h"
#include "app/link_opener.h"
#include "app/main_window_layout.h"
#include "app/time_tolerance_prompt.h"
#include "app/twips.h"
#include "app/window_fonts.h"
#include "heading/baseline.h"
#include "heading/error_line.h"
#include "runtime/decimal_separator.h"
#include "runtime/output_settings.h"
#include "runtime/program_folder.h"
#include "runtime/qt_text.h"
#include "runtime/settings_at_start.h"
#include "runtime/settings_file_io.h"
#include "runtime/thread_call.h"
#include "runtime/version.h"
#include "serial/user_settings.h"

namespace bivane {
namespace {

// A stream of port events that never lets the event loop wait still shows
// the labels this often.
constexpr qint64 kLongestUnshownMs = 100;
// How long the labels wait for the other receiver's fix of the same instant
// (it usually follows within a few milliseconds): the fix and its heading
// then show together, and the heading does not wait for the labels.
constexpr int kPartnerWaitMs = 20;
// How long the labels wait after a heading went out: painting them takes a
// few milliseconds of processor, which the system's serial and network work
// and a chart plotter on the same computer need first to take the heading
// in. Nobody sees the difference.
constexpr int kAfterHeadingMs = 5;

const QString kStartLogging = QStringLiteral("Start Logging");
const QString kStopLogging = QStringLiteral("Stop Logging");
const QString kRecordInput = QStringLiteral("Record Input…");
const QString kStopRecording = QStringLiteral("Stop Recording");

QString programTitle() {
    return FromStd(kProgramTitle);
}

// A label shows its text on one line: a received sentence keeps its line
// ending in the model, but the label leaves it out.
QString labelText(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return FromStd(text);
}

void showText(QLabel& label, const LabelText& text) {
    label.setText(labelText(text.text));
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, QColor(static_cast<QRgb>(text.color)));
    label.setPalette(palette);
    label.adjustSize();
    label.setHidden(!text.visible);
    // A long sentence or error line runs past the window's edge: the whole
    // of it is still there to read when the pointer rests on it.
    const bool cutOff = label.geometry().right() >= label.parentWidget()->width();
    label.setToolTip(cutOff ? label.text() : QString());
}

}  // namespace

Frm_Bivane::Frm_Bivane(const PortFactory& makePort, UserPrompts& prompts, const LocalClock& clock,
                       QString programFolderForThisRun, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_prompts(prompts),
      m_clock(clock),
      m_programFolderForThisRun(std::move(programFolderForThisRun)),
      m_decimalSeparator(DecimalSeparator()),
      m_ports{makePort(1, [this](int index) { portLost(index); }),
              makePort(2, [this](int index) { portLost(index); }),
              makePort(3, [this](int index) { portLost(index); })},
      m_decoderMessages(this),
      m_engine({.ports = {m_ports[0].get(), m_ports[1].get(), m_ports[2].get()},
                .logFile = &m_logger,
                .decoderMessages = &m_decoderMessages,
                .clock = &m_clock,
                .decimalSeparator = m_decimalSeparator}),
      m_reopener(
          {m_ports[0].get(), m_ports[1].get(), m_ports[2].get()},
          [this](int number) {
              return m_deviceNames != nullptr ? m_deviceNames->deviceFor(number) : QString();
          },
          [this](int index) { m_engine.portBack(index); }),
      m_state(m_engine.state()),
      m_text(m_engine.text()) {
    setObjectName(QStringLiteral("Frm_Bivane"));
    m_engine.setTextChanged([this] { engineTextChanged(); });
    m_networkOutputs.addTo(m_engine, [this](const std::string& failure) {
        ShowErrorLine(m_text, m_clock, failure + ": heading not sent");
        textChanged();
    });
    m_engine.setInputTap(&m_recorder);
    m_recorder.setStopHandler([this](const QString& failure) {
        CallOnThreadOf(this, [this, failure] {
            m_mnuFileRecord->setText(kRecordInput);
            ShowErrorLine(m_text, m_clock, failure.toStdString());
            textChanged();
        });
    });
    // Labels are shown when the event loop is about to wait and no receiver's
    // characters wait to be handled: a heading never waits for the labels of
    // the fix before it.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { showWhenIdle(); });
    m_showLater.setSingleShot(true);
    connect(&m_showLater, &QTimer::timeout, this, [this] {
        if (m_textPending) {
            showWindowText();
        }
    });
    createMenus();
    createControls();
    setWindowIcon(QIcon(QStringLiteral(":/nmea-bivane.png")));
    Form_Resize();
    showWindowText();
}

Frm_Bivane::~Frm_Bivane() {
    // The ports go first: nothing they report may reach a window half gone.
    m_engine.setTextChanged(nullptr);
    if (m_inputThread != nullptr) {
        m_inputThread->whenQuiet(nullptr);
    }
    for (auto& port : m_ports) {
        port->setEventHandler(nullptr);
        port.reset();
    }
}

SerialPort& Frm_Bivane::MSComm1(int index) {
    return m_engine.port(index);
}

int Frm_Bivane::pixels(double twips) const {
    return TwipsToPixels(twips, screen()->logicalDotsPerInch());
}

void Frm_Bivane::createMenus() {
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             void (Frm_Bivane::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    QMenu* mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    m_mnuFileRecord =
        item(mnuFile, "mnuFileRecord", kRecordInput, &Frm_Bivane::mnuFileRecord_Click);
    item(mnuFile, "mnuFileExit", QStringLiteral("E&xit"), &Frm_Bivane::mnuFileExit_Click);
    QMenu* mnuSetup = menuBar()->addMenu(QStringLiteral("Setup"));
    mnuSetup->setObjectName(QStringLiteral("mnuSetup"));
    item(mnuSetup, "mnuSetupComm", QStringLiteral("Comm"), &Frm_Bivane::mnuSetupComm_Click);
    item(mnuSetup, "mnuSetupOffset", QStringLiteral("Antenna Offsets"),
         &Frm_Bivane::mnuSetupOffset_Click);
    item(mnuSetup, "mnuTimeDifference", QStringLiteral("Time Difference"),
         &Frm_Bivane::mnuTimeDifference_Click);
    item(mnuSetup, "mnuSetupOutput", tr("Heading Sentences"), &Frm_Bivane::mnuSetupOutput_Click);
    item(mnuSetup, "mnuSetupNetwork", tr("Network Output"), &Frm_Bivane::mnuSetupNetwork_Click);
    QMenu* mnuAbout0 = menuBar()->addMenu(QStringLiteral("About"));
    mnuAbout0->setObjectName(QStringLiteral("mnuAbout0"));
    item(mnuAbout0, "mnuAbout", QStringLiteral("About"), &Frm_Bivane::mnuAbout_Click);
}

void Frm_Bivane::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFont(ControlFont(LabelFont::Normal));
    setCentralWidget(client);

    // A frame's caption stands on its top border line.
    const int captionMiddle = QFontMetrics(client->font()).height() / 2;
    client->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); "
                                         "margin-top: %1px; }"
                                         "QGroupBox::title { subcontrol-origin: margin; "
                                         "left: %2px; padding: 0px 1px; }")
                              .arg(captionMiddle)
                              .arg(pixels(90)));
    for (const FramePlace& place : MainWindowFrames()) {
        auto* frame = new QGroupBox(FromStd(place.caption), client);
        frame->setObjectName(FromStd(LabelKey(place.name, place.index)));
        frame->setGeometry(pixels(place.rect.left), pixels(place.rect.top),
                           pixels(place.rect.width), pixels(place.rect.height));
        m_frames.push_back(frame);
    }

    m_text.forEachLabel([&](std::string_view name, int index, const LabelText& text) {
        const LabelPlace* place = FindLabelPlace(name, index);
        if (place == nullptr) {
            throw std::logic_error("the layout has no place for " + LabelKey(name, index));
        }
        QWidget* container =
            place->frame < 0 ? client : m_frames[static_cast<std::size_t>(place->frame)];
        auto* label = new QLabel(container);
        label->setObjectName(FromStd(LabelKey(name, index)));
        label->setTextFormat(Qt::PlainText);
        label->setFocusPolicy(Qt::NoFocus);
        label->setFont(ControlFont(place->font));
        label->move(pixels(place->left), pixels(place->top));
        showText(*label, text);
        m_labels.push_back({name, index, &text, label, text});
    });

    // The maker's links: a click hands the address to the desktop.
    OpenLinkOnClick(*label("lblElvanderNo"), std::string(kWebSiteAddress));
    OpenLinkOnClick(*label("lblSendMail"), MailLink());

    m_cmdLog = new QPushButton(kStartLogging, client);
    m_cmdLog->setObjectName(QStringLiteral("cmdLog"));
    m_cmdLog->setGeometry(pixels(kCmdLogRect.left), pixels(kCmdLogRect.top),
                          pixels(kCmdLogRect.width), pixels(kCmdLogRect.height));
    connect(m_cmdLog, &QPushButton::clicked, this, &Frm_Bivane::cmdLog_Click);
}

QLabel* Frm_Bivane::label(std::string_view name, int index) const {
    for (const LabelBinding& binding : m_labels) {
        if (binding.name == name && binding.index == index) {
            return binding.label;
        }
    }
    return nullptr;
}

QGroupBox* Frm_Bivane::frame(std::string_view name, int index) const {
    const auto frames = MainWindowFrames();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].name == name && frames[i].index == index) {
            return m_frames[i];
        }
    }
    return nullptr;
}

bool Frm_Bivane::inputWaiting() {
    return MSComm1(1).inputWaiting() || MSComm1(2).inputWaiting();
}

void Frm_Bivane::showWhenIdle() {
    if (!m_textPending) {
        return;
    }
    if (m_pendingSince.elapsed() < kLongestUnshownMs) {
        if (inputWaiting()) {
            return;  // another event comes at once
        }
        if (m_engine.awaitingPartner()) {
            showLater(kPartnerWaitMs);
            return;
        }
        if (m_engine.headingJustSent()) {
            showLater(kAfterHeadingMs);
            return;
        }
    }
    showWindowText();
}

void Frm_Bivane::showLater(int milliseconds) {
    if (!m_showLater.isActive()) {
        m_showLater.start(milliseconds);
    }
}

void Frm_Bivane::engineTextChanged() {
    if (m_home.isCurrent()) {
        textChanged();
        return;
    }
    // A port event on the input thread, whose heading has already left. The
    // window hears of it once the ports have been quiet for a moment: woken
    // at once, it would take the processor from whoever reads the heading,
    // just when they need it. One call waits in its queue at a time.
    const auto tellWindow = [this] {
        if (m_textChangeQueued) {
            return;
        }
        m_textChangeQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_textChangeQueued = false;
                textChanged();
            },
            Qt::QueuedConnection);
    };
    if (m_inputThread != nullptr) {
        m_inputThread->whenQuiet(tellWindow);
    } else {
        tellWindow();
    }
}

void Frm_Bivane::textChanged() {
    if (!m_textPending) {
        m_textPending = true;
        m_pendingSince.start();
    } else if (m_pendingSince.elapsed() >= kLongestUnshownMs) {
        showWindowText();
    }
}

void Frm_Bivane::showWindowText() {
    m_textPending = false;
    m_showLater.stop();
    std::vector<LabelBinding*> changed;
    for (LabelBinding& binding : m_labels) {
        if (!(*binding.model == binding.shown)) {
            binding.shown = *binding.model;
            changed.push_back(&binding);
        }
    }
    // Laying the texts out is most of the labels' cost: port events go on
    // meanwhile, as they do while the window is painted.
    const EngineLock::Released portEventsGoOn(engineLock());
    for (LabelBinding* binding : changed) {
        showText(*binding->label, binding->shown);
    }
}

EngineLock* Frm_Bivane::engineLock() const {
    return m_inputThread != nullptr ? &m_inputThread->lock() : nullptr;
}

// ---- Start-up and shut-down -------------------------------------------------

QString Frm_Bivane::settingsFilePath() const {
    return FromStd(m_state.ProgramFolder) + QLatin1String(kSettingsFileName);
}

void Frm_Bivane::message(const QString& text) {
    if (m_unloaded) {
        // The window has closed (a signal during start-up): nobody would see a box.
        qWarning("%s", qUtf8Printable(text));
        return;
    }
    m_prompts.message(programTitle(), text);
}

void Frm_Bivane::Form_Load() {
    restorePosition();
    setWindowTitle(QStringLiteral("  ") + programTitle() + QStringLiteral(" - Version : ") +
                   FromStd(VersionText));
    const ProgramFolderSetup folder = PrepareProgramFolder(m_programFolderForThisRun);
    m_state.ProgramFolder = folder.folder;
    if (folder.failure) {
        message(FromStd(*folder.failure));
    }
    readSettingsFile();
    UseOutputSettings(ReadOutputSettings(*OpenUserSettings()), m_state);
    m_network = WithOutputsForThisRun(ReadNetworkSettings(*OpenUserSettings()), m_tcpForThisRun,
                                      m_udpForThisRun);
    applyNetwork();
    showWindowText();
}

void Frm_Bivane::applyNetwork() {
    if (const auto failure = m_networkOutputs.apply(m_network)) {
        message(*failure + tr(".\n\nThe heading goes on everywhere else; choose another port under "
                              "Setup, Network Output."));
    }
}

QString Frm_Bivane::networkStatus() const {
    return m_networkOutputs.statusText();
}

void Frm_Bivane::readSettingsFile() {
    const SettingsAtStart start = ReadSettingsAtStart(settingsFilePath());
    m_settingsKnown = true;
    if (!start.usable) {
        if (start.report) {
            message(*start.report);
        }
        return;  // the ports wait for the comm setup
    }
    ApplySettings(start.items, {&MSComm1(1), &MSComm1(2), &MSComm1(3)}, m_state);
    if (start.whole) {
        m_fileHolds = start.items;
    }
    if (start.report) {
        message(*start.report);
    }
    openPort(1);
    openPort(2);
    if (m_state.HeadingOutput) {
        openPort(3);
    }
    if (const auto failure = CalculateBaseline(m_state, m_text, m_decimalSeparator)) {
        showWindowText();
        message(FromStd(*failure));
    }
}

void Frm_Bivane::openPort(int index) {
    SerialPort& port = MSComm1(index);
    if (!port.open().ok()) {
        message(FromStd(ComPortText(port.portNumber())) +
                QStringLiteral(" not available. Try another !"));
    }
}

void Frm_Bivane::portLost(int index) {
    m_engine.portLost(index);
    m_reopener.portLost(index);
}

void Frm_Bivane::restorePosition() {
    m_storedPosition = ReadStoredPosition(*OpenUserSettings());
    const QPoint stored(pixels(m_storedPosition.left), pixels(m_storedPosition.top));
    // A position kept from another screen layout (a monitor unplugged since)
    // may lie where no screen shows it.
    QList<QRect> screens;
    for (const QScreen* each : QGuiApplication::screens()) {
        screens.append(each->availableGeometry());
    }
    const StoredPosition usual;
    m_restoredPosition =
        VisibleWindowPosition(stored, QSize(pixels(kWindowOuterWidth), pixels(kWindowOuterHeight)),
                              style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this),
                              screens, QGuiApplication::primaryScreen()->availableGeometry(),
                              QPoint(pixels(usual.left), pixels(usual.top)));
    m_positionCorrected = m_restoredPosition != stored;
    move(m_restoredPosition);
}

void Frm_Bivane::storePosition(QPoint position) {
    // A window that was not moved keeps its stored text: twips to pixels and
    // back would move it by a fraction of a pixel at every start. A position
    // that had to be corrected is replaced.
    const bool keepStored = !m_positionCorrected;
    const double dpi = screen()->logicalDotsPerInch();
    const QString left = keepStored && position.x() == m_restoredPosition.x()
                             ? m_storedPosition.leftText
                             : TwipsText(static_cast<float>(PixelsToTwips(position.x(), dpi)));
    const QString top = keepStored && position.y() == m_restoredPosition.y()
                            ? m_storedPosition.topText
                            : TwipsText(static_cast<float>(PixelsToTwips(position.y(), dpi)));
    WriteStoredPosition(*OpenUserSettings(), left, top);
}

SettingsItems Frm_Bivane::currentSettings() const {
    SettingsItems items;
    for (int index = 1; index <= 3; ++index) {
        const SerialPort& port = *m_ports[static_cast<std::size_t>(index - 1)];
        items.port(index) = {port.portNumber(), port.settings()};
    }
    items.OffsetX = m_state.OffsetX;
    items.OffsetY = m_state.OffsetY;
    items.HeadingOutput = m_state.HeadingOutput;
    return items;
}

void Frm_Bivane::writeSettingsFile(const QString& afterFailure) {
    const SettingsItems items = currentSettings();
    const QString path = settingsFilePath();
    if (const auto failure = SaveSettingsFile(path, items)) {
        message(tr("The settings file \"%1\" cannot be written: %2").arg(path, *failure) +
                afterFailure);
        return;
    }
    m_fileHolds = items;
}

void Frm_Bivane::saveChangedSettings(bool accepted, const SettingsItems& before) {
    // A change is written at once: a power cut or a kill after OK loses
    // nothing. A dialog can change the ports without an OK too (a port that
    // would not open, then Cancel).
    const SettingsItems now = currentSettings();
    if (!m_settingsKnown || (!accepted && now == before) || m_fileHolds == now) {
        return;
    }
    writeSettingsFile(
        tr("\n\nThe new settings are in use; they are written again at the next "
           "change and when the window closes."));
}

void Frm_Bivane::Form_Unload() {
    m_decoderMessages.close();
    if (m_settingsKnown) {
        writeSettingsFile();
    }
    if (!isMinimized()) {
        storePosition(pos());
    } else if (m_positionCorrected) {
        // Out of sight where it was stored: the correction is kept even so.
        storePosition(m_restoredPosition);
    }
}

void Frm_Bivane::closeEvent(QCloseEvent* event) {
    // Closing never fails; the settings are written once.
    if (!m_unloading) {
        m_unloading = true;
        Form_Unload();
        m_unloaded = true;
    }
    event->accept();
}

// ---- The fixed window size -------------------------------------------------

void Frm_Bivane::Form_Resize() {
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        return;
    }
    // The outer size is fixed; the client area is what the frame leaves.
    const QSize decorations = frameGeometry().size() - geometry().size();
    const QSize client = QSize(pixels(kWindowOuterWidth), pixels(kWindowOuterHeight)) - decorations;
    if (minimumSize() != client || maximumSize() != client) {
        setFixedSize(client);
    }
}

void Frm_Bivane::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Frm_Bivane::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Form_Resize();
}

bool Frm_Bivane::event(QEvent* event) {
    if (event->type() == QEvent::UpdateRequest) {
        // Painting the widgets reads nothing of the engine's.
        const EngineLock::Released portEventsGoOn(engineLock());
        return QMainWindow::event(event);
    }
    return QMainWindow::event(event);
}

void Frm_Bivane::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

// ---- Menu commands ---------------------------------------------------------

void Frm_Bivane::mnuFileRecord_Click() {
    if (m_recorder.isRecording()) {
        m_recorder.stop();
        m_mnuFileRecord->setText(kRecordInput);
        return;
    }
    const LocalTime now = m_clock.now();
    const QString suggested =
        FromStd(m_state.ProgramFolder) +
        QString::asprintf("Input %04d%02d%02d-%02d%02d%02d.capture", now.year, now.month, now.day,
                          now.hour, now.minute, now.second);
    if (const auto path = m_prompts.saveFile(tr("Record Input"), suggested)) {
        startRecording(*path, m_recordMaxMb);
    }
}

bool Frm_Bivane::startRecording(const QString& path, int maxMb) {
    m_recordMaxMb = maxMb;
    const auto failure = StartRecording(m_recorder, path, maxMb, m_state);
    if (failure) {
        message(*failure);
        return false;
    }
    m_mnuFileRecord->setText(kStopRecording);
    return true;
}

void Frm_Bivane::mnuFileExit_Click() {
    close();
}

// The dialogs change the state and the text model; port events and heading
// cycles go on while they are open, and the labels show the outcome after.

void Frm_Bivane::mnuSetupComm_Click() {
    const SettingsItems before = currentSettings();
    Frm_Setup dialog(this, {&MSComm1(1), &MSComm1(2), &MSComm1(3)}, m_state, m_text, m_prompts,
                     m_deviceNames);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted) {
        m_reopener.forgetAll();  // the ports are as the user set them now
    }
    showWindowText();
    saveChangedSettings(accepted, before);
}

void Frm_Bivane::mnuSetupOffset_Click() {
    const SettingsItems before = currentSettings();
    Frm_Offset dialog(this, m_state, m_text, m_prompts, m_decimalSeparator);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    KeepRecordingReplayable(m_recorder, m_state);
    showWindowText();
    saveChangedSettings(accepted, before);
}

void Frm_Bivane::mnuTimeDifference_Click() {
    AskTimeTolerance(m_prompts, m_state, m_decimalSeparator);
    KeepRecordingReplayable(m_recorder, m_state);
}

void Frm_Bivane::mnuSetupOutput_Click() {
    Frm_Output dialog(this, {m_state.Sentences, m_state.BaselineLimit, m_state.RotTimeConstant},
                      m_prompts, m_decimalSeparator);
    if (dialog.exec() == QDialog::Accepted) {
        m_state.Sentences = dialog.settings().sentences;
        m_state.BaselineLimit = dialog.settings().baselineLimit;
        m_state.RotTimeConstant = dialog.settings().rotTimeConstant;
        WriteOutputSettings(*OpenUserSettings(), dialog.settings());
        KeepRecordingReplayable(m_recorder, m_state);
    }
}

void Frm_Bivane::mnuSetupNetwork_Click() {
    Frm_Network dialog(this, m_network, m_prompts, [this] { return networkStatus(); });
    if (dialog.exec() == QDialog::Accepted) {
        m_network = dialog.settings();
        WriteNetworkSettings(*OpenUserSettings(), m_network);
        applyNetwork();
    }
}

void Frm_Bivane::mnuAbout_Click() {
    frmAbout box(this);
    box.exec();
}

// ---- Data logging ----------------------------------------------------------

QString Frm_Bivane::logFilePath() const {
    return FromStd(LogFolder(m_state.ProgramFolder) + m_state.LogFileName);
}

void Frm_Bivane::cmdLog_Click() {
    if (m_cmdLog->text() == kStartLogging) {
        startLogging();
    } else {
        stopLogging();
    }
    showWindowText();
}

void Frm_Bivane::startLogging() {
    const std::string fileName = LogFileName(m_clock.now());
    if (const auto failure = m_logger.start(LogFolder(m_state.ProgramFolder), fileName)) {
        // Not started: the button and the switch stay as they were.
        message(FromStd(*failure));
        return;
    }
    m_state.LogFileName = fileName;
    m_state.Logging = true;
    m_cmdLog->setText(kStopLogging);
    message(QStringLiteral("Logging started. Data will be stored in file : ") + logFilePath());
}

void Frm_Bivane::stopLogging() {
    m_cmdLog->setText(kStartLogging);
    m_state.Logging = false;
    // A failed stop says only what failed: the file is closed all the same,
    // but it may not hold every line, so it is not reported as stored.
    if (const auto failure = m_logger.stop()) {
        message(FromStd(*failure));
        return;
    }
    message(QStringLiteral("Logging stopped. Data stored in file : ") + logFilePath());
}

}  // namespace bivane
