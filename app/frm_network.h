#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <optional>

#include "app/user_prompts.h"
#include "runtime/network_settings.h"

namespace bivane {

// The network output dialog (Setup, Network Output): the TCP server (on or
// off, address, port) and the UDP datagrams (on or off, address, port) that
// carry the heading sentences, with the outputs' status as it is now. OK
// keeps the values in `settings()`; the owner applies and stores them. Port
// events go on while it is open.
class Frm_Network final : public QDialog {
    Q_OBJECT
  public:
    // `status`: the outputs' status now, one line each; shown and refreshed
    // while the dialog is open.
    Frm_Network(QWidget* owner, const NetworkSettings& current, UserPrompts& prompts,
                std::function<QString()> status);

    const NetworkSettings& settings() const { return m_settings; }

    QCheckBox* chkTcp() const { return m_chkTcp; }
    QLineEdit* txtTcpAddress() const { return m_txtTcpAddress; }
    QLineEdit* txtTcpPort() const { return m_txtTcpPort; }
    QCheckBox* chkUdp() const { return m_chkUdp; }
    QLineEdit* txtUdpAddress() const { return m_txtUdpAddress; }
    QLineEdit* txtUdpPort() const { return m_txtUdpPort; }
    QLabel* lblStatus() const { return m_lblStatus; }

  public Q_SLOTS:
    // Each address must be an IP address (the server's may be empty: every
    // address) and each port 1 to 65535; otherwise a message says which is
    // wrong and the dialog stays open.
    void cmdOK_Click();

  private:
    std::optional<NetworkEndpoint> endpoint(QLineEdit* address, QLineEdit* port,
                                            bool addressRequired, const QString& what);

    NetworkSettings m_settings;
    UserPrompts& m_prompts;
    std::function<QString()> m_status;
    QTimer m_statusRefresh;
    QCheckBox* m_chkTcp = nullptr;
    QLineEdit* m_txtTcpAddress = nullptr;
    QLineEdit* m_txtTcpPort = nullptr;
    QCheckBox* m_chkUdp = nullptr;
    QLineEdit* m_txtUdpAddress = nullptr;
    QLineEdit* m_txtUdpPort = nullptr;
    QLabel* m_lblStatus = nullptr;
};

}  // namespace bivane
