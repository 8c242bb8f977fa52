#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "engine/heading_engine.h"
#include "heading/local_clock.h"
#include "nmea/message_sink.h"
#include "reception/serial_port.h"
#include "runtime/command_line.h"
#include "runtime/data_logger.h"
#include "runtime/input_recorder.h"
#include "runtime/network_outputs.h"
#include "runtime/network_settings.h"
#include "runtime/port_factory.h"
#include "runtime/port_reopener.h"
#include "serial/com_port_map.h"
#include "service/minute_summary.h"
#include "settings/settings_file.h"

namespace bivane {

// The heading engine without a window: the same settings file, program
// folder and per-user settings as the window, the heading on port 3 and the
// network, a log on request. What it does goes to `status`, one line each,
// in words a person reads in the journal.
class HeadingService final : public QObject {
    Q_OBJECT
  public:
    using StatusLine = std::function<void(const QString&)>;

    // `devices` must outlive the service.
    HeadingService(const PortFactory& makePort, const ComPortMap& devices, const LocalClock& clock,
                   CommandLine commandLine, StatusLine status, QObject* parent = nullptr);
    ~HeadingService() override;

    // Reads the settings, opens the ports and the outputs. Nothing when the
    // service runs, else the one-line reason why nothing can run.
    std::optional<QString> start();
    // SIGHUP: reads the settings file and the per-user settings again and
    // reopens what changed.
    void reload();
    // Ends cleanly: the log synced and closed, the ports closed.
    void stop();

    const HeadingEngine& engine() const { return m_engine; }

  private:
    // The decoder's messages, which the window shows in a box.
    class StatusMessages final : public MessageSink {
      public:
        explicit StatusMessages(HeadingService& service) : m_service(service) {}
        void showMessage(std::string_view title, std::string_view text) override;

      private:
        HeadingService& m_service;
    };

    SerialPort& port(int index) const { return *m_ports.at(static_cast<std::size_t>(index - 1)); }
    std::array<SerialPort*, 3> ports() const;
    QString settingsFilePath() const;
    // Which items the service runs on, or why it cannot run.
    std::optional<SettingsItems> readSettings(QString& reason);
    // Opens port `index` and says so; a device that is not there is waited for.
    bool openPort(int index);
    void applySettings(const SettingsItems& items, bool reloading);
    void readUserSettings();
    void calculateBaseline();
    void startRecording();
    void portLost(int index);
    void portBack(int index);
    // Says when headings stop coming, and why, and when they come again.
    void noteHeadingFlow(const CycleReport& report);
    // The error line, as the window shows it, when it says something new.
    void errorLineChanged();
    QString portText(int index) const;
    QString startLine() const;
    void say(const QString& line) const { m_status(line); }

    const ComPortMap& m_devices;
    const LocalClock& m_clock;
    CommandLine m_commandLine;
    StatusLine m_status;
    std::array<std::unique_ptr<SerialPort>, 3> m_ports;
    NetworkOutputs m_networkOutputs;
    NetworkSettings m_network;
    DataLogger m_logger;
    InputRecorder m_recorder;  // before the engine that writes to it
    StatusMessages m_decoderMessages{*this};
    HeadingEngine m_engine;
    PortReopener m_reopener;
    MinuteSummary m_summary;
    std::int64_t m_totalEpochs = 0;
    QTimer m_summaryTimer;
    std::string m_errorShown;                    // the error line's message, without its time
    std::map<std::string, qint64> m_errorsSaid;  // each error and when it was last said
    QElapsedTimer m_running;                     // since the service was made
    bool m_portTextSaid = false;      // a port's loss or return has just been said in full
    bool m_headingsFlow = false;      // the latest completed epoch gave a heading
    QElapsedTimer m_headingsStopped;  // since the latest epoch without a heading began
};

}  // namespace bivane
