#pragma once

#include <QAction>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "app/decoder_message_box.h"
#include "app/user_prompts.h"
#include "app/window_position.h"
#include "engine/heading_engine.h"
#include "heading/compass_state.h"
#include "heading/local_clock.h"
#include "heading/main_window_text.h"
#include "reception/serial_port.h"
#include "runtime/command_line.h"
#include "runtime/data_logger.h"
#include "runtime/input_recorder.h"
#include "runtime/network_outputs.h"
#include "runtime/network_settings.h"
#include "runtime/port_factory.h"
#include "runtime/port_reopener.h"
#include "serial/com_port_map.h"
#include "serial/home_thread.h"
#include "serial/input_thread.h"
#include "settings/settings_file.h"

namespace bivane {

// The main window: the heading, both fixes and their checks, the error line
// and the logging button, over the three serial ports MSComm1(1 to 3). It
// owns the ports, the log file and the heading engine; the engine writes the
// main-window text model, which the window copies into its labels.
class Frm_Bivane final : public QMainWindow {
    Q_OBJECT
  public:
    // `programFolderForThisRun`: empty for the usual program folder.
    Frm_Bivane(const PortFactory& makePort, UserPrompts& prompts, const LocalClock& clock,
               QString programFolderForThisRun, QWidget* parent = nullptr);
    ~Frm_Bivane() override;

    // Start-up, once, before the window is first shown: the stored position,
    // the title, the program folder, the settings file, the ports and the
    // calculated baseline.
    void Form_Load();

    SerialPort& MSComm1(int index);
    // The devices that "COM n" stands for, shown by the comm setup dialog
    // (nullptr: none shown). The map must outlive the window.
    void setDeviceNames(const ComPortMap* names) { m_deviceNames = names; }
    // The thread the factory's ports read on, if any: the window hears of
    // their events through it. It must outlive the window.
    void setInputThread(PortInputThread* thread) { m_inputThread = thread; }
    // Network outputs for this run (--tcp, --udp), on whatever the per-user
    // settings say, and not stored; before Form_Load.
    void setNetworkForThisRun(std::optional<NetworkEndpoint> tcp,
                              std::optional<NetworkEndpoint> udp) {
        m_tcpForThisRun = std::move(tcp);
        m_udpForThisRun = std::move(udp);
    }
    // The network outputs' status, one line each.
    QString networkStatus() const;
    // Records what ports 1 and 2 receive into `path` from now on, a new file
    // every `maxMb` megabytes (0: one file without limit); a file that
    // cannot be made is shown in a message box. True when recording.
    bool startRecording(const QString& path, int maxMb);
    const InputRecorder& recorder() const { return m_recorder; }
    const TcpSentenceServer& tcpServer() const { return m_networkOutputs.tcp(); }
    const MainWindowText& windowText() const { return m_engine.text(); }
    HeadingEngine& engine() { return m_engine; }
    CompassState& state() { return m_state; }
    // The label `name` (`index` -1 for a single label); nullptr for none.
    QLabel* label(std::string_view name, int index = -1) const;
    QPushButton* cmdLog() const { return m_cmdLog; }
    QGroupBox* frame(std::string_view name, int index = -1) const;
    DecoderMessageBox& decoderMessages() { return m_decoderMessages; }
    // The settings file of this run.
    QString settingsFilePath() const;

    // Copies the text model into the labels.
    void showWindowText();
    // True while the text model holds changes the labels do not show yet.
    bool textPending() const { return m_textPending; }

  public Q_SLOTS:
    void mnuFileRecord_Click();
    void mnuFileExit_Click();
    void mnuSetupComm_Click();
    void mnuSetupOffset_Click();
    void mnuTimeDifference_Click();
    void mnuSetupOutput_Click();
    void mnuSetupNetwork_Click();
    void mnuAbout_Click();
    void cmdLog_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // A label of the window and what it shows now.
    struct LabelBinding {
        std::string_view name;
        int index;
        const LabelText* model;
        QLabel* label;
        LabelText shown;
    };

    // The engine changed the text model: the labels follow once the event
    // loop has handled every port event that waits.
    void textChanged();
    // The engine's text-changed handler, on whichever thread the port
    // event ran.
    void engineTextChanged();
    // Characters of a receiver wait to be handled.
    bool inputWaiting();
    void showLater(int milliseconds);
    // The engine lock while the Qt thread holds it, if the ports read on
    // a thread; else nullptr.
    EngineLock* engineLock() const;
    // The event loop is about to wait: shows the labels unless more port
    // events or the partner fix of the latest one are about to come.
    void showWhenIdle();
    void createMenus();
    void createControls();
    void Form_Resize();
    void Form_Unload();

    void restorePosition();
    void storePosition(QPoint position);
    void readSettingsFile();
    // What the settings file keeps, as the ports and the state hold it now.
    SettingsItems currentSettings() const;
    // Writes the settings file; a failure is shown with `afterFailure`
    // following its description, and the values stay as they are.
    void writeSettingsFile(const QString& afterFailure = {});
    // After a dialog: writes the settings file at once when the dialog
    // changed what it keeps (`before`: what it kept when the dialog opened)
    // and the file does not hold that already.
    void saveChangedSettings(bool accepted, const SettingsItems& before);
    void openPort(int index);
    void portLost(int index);
    // Starts, moves or stops the network outputs as m_network says; a server
    // that cannot listen is shown in a message box, the rest goes on.
    void applyNetwork();
    void startLogging();
    void stopLogging();
    void message(const QString& text);
    int pixels(double twips) const;
    QString logFilePath() const;

    UserPrompts& m_prompts;
    const LocalClock& m_clock;
    QString m_programFolderForThisRun;
    char m_decimalSeparator;
    const ComPortMap* m_deviceNames = nullptr;

    std::array<std::unique_ptr<SerialPort>, 3> m_ports;
    // The network outputs, before the engine that writes to them.
    NetworkOutputs m_networkOutputs;
    NetworkSettings m_network;
    std::optional<NetworkEndpoint> m_tcpForThisRun;
    std::optional<NetworkEndpoint> m_udpForThisRun;
    DataLogger m_logger;
    InputRecorder m_recorder;  // before the engine that writes to it
    int m_recordMaxMb = kDefaultRecordMaxMb;
    QAction* m_mnuFileRecord = nullptr;
    DecoderMessageBox m_decoderMessages;
    HeadingEngine m_engine;
    PortReopener m_reopener;
    CompassState& m_state;
    MainWindowText& m_text;

    std::vector<LabelBinding> m_labels;
    bool m_textPending = false;
    HomeThread m_home;
    PortInputThread* m_inputThread = nullptr;
    bool m_textChangeQueued = false;  // engineTextChanged() has a call waiting
    QElapsedTimer m_pendingSince;     // since the first change the labels do not show
    QTimer m_showLater;               // shows the labels a moment later
    std::vector<QGroupBox*> m_frames;
    QPushButton* m_cmdLog = nullptr;

    StoredPosition m_storedPosition;
    QPoint m_restoredPosition;  // where the stored position put the window, pixels
    // The stored position would have put the window out of sight.
    bool m_positionCorrected = false;
    // What the settings file holds as far as this run knows: nothing when it
    // is missing or could not be read whole.
    std::optional<SettingsItems> m_fileHolds;
    // The settings file has been read (or found missing): before that, a
    // close must not write the built-in values over the user's file.
    bool m_settingsKnown = false;
    bool m_unloading = false;
    bool m_unloaded = false;
};

}  // namespace bivane
