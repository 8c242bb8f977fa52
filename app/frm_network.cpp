#include "app/frm_network.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialog_layout.h"
#include "runtime/qt_text.h"
#include "runtime/version.h"

namespace bivane {
namespace {

constexpr int kStatusRefreshMs = 500;

}  // namespace

Frm_Network::Frm_Network(QWidget* owner, const NetworkSettings& current, UserPrompts& prompts,
                         std::function<QString()> status)
    : QDialog(owner, kSizableDialog),
      m_settings(current),
      m_prompts(prompts),
      m_status(std::move(status)) {
    SetUpDialog(*this, "Frm_Network", tr("Bivane Network Output"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("The heading sentences for chart plotters, navigation "
                                    "programs and Signal K servers on the boat's network\n"
                                    "(NMEA 0183; port 10110 by convention):"),
                                 this));

    // One frame per output: on or off, address and port.
    const auto frame = [&](const char* name, const QString& caption, const QString& switchText,
                           bool on, const NetworkEndpoint& endpoint, const QString& anyAddress,
                           QCheckBox*& chk, QLineEdit*& address, QLineEdit*& port) {
        auto* box = new QGroupBox(caption, this);
        box->setObjectName(QLatin1String(name));
        auto* form = new QFormLayout(box);
        chk = new QCheckBox(switchText, box);
        chk->setChecked(on);
        form->addRow(chk);
        address = new QLineEdit(endpoint.address, box);
        address->setPlaceholderText(anyAddress);
        form->addRow(tr("Address:"), address);
        port = new QLineEdit(QString::number(endpoint.port), box);
        form->addRow(tr("Port:"), port);
        layout->addWidget(box);
    };
    frame("fraTcp", tr("TCP server"), tr("Serve the sentences to every client that connects"),
          current.tcpOn, current.tcp, tr("all addresses of this computer"), m_chkTcp,
          m_txtTcpAddress, m_txtTcpPort);
    frame("fraUdp", tr("UDP datagrams"),
          tr("Send each sentence as a datagram (to one host, or a broadcast address)"),
          current.udpOn, current.udp, tr("for example 255.255.255.255"), m_chkUdp,
          m_txtUdpAddress, m_txtUdpPort);
    m_chkTcp->setObjectName(QStringLiteral("chkTcp"));
    m_txtTcpAddress->setObjectName(QStringLiteral("txtTcpAddress"));
    m_txtTcpPort->setObjectName(QStringLiteral("txtTcpPort"));
    m_chkUdp->setObjectName(QStringLiteral("chkUdp"));
    m_txtUdpAddress->setObjectName(QStringLiteral("txtUdpAddress"));
    m_txtUdpPort->setObjectName(QStringLiteral("txtUdpPort"));

    DrawFramesLikeTheMainWindow(*this);

    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    layout->addWidget(m_lblStatus);
    const auto showStatus = [this] {
        m_lblStatus->setText(m_status ? m_status() : QString());
    };
    showStatus();
    connect(&m_statusRefresh, &QTimer::timeout, this, showStatus);
    m_statusRefresh.start(kStatusRefreshMs);

    AddOkCancelButtons(*this, *layout, [this] { cmdOK_Click(); });
}

std::optional<NetworkEndpoint> Frm_Network::endpoint(QLineEdit* address, QLineEdit* port,
                                                     bool addressRequired, const QString& what) {
    const QString host = address->text().trimmed();
    QString text = port->text().trimmed();
    if (!host.isEmpty()) {
        text = (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']')
                                                : host) +
               QLatin1Char(':') + text;
    }
    auto parsed = ParseNetworkEndpoint(text, addressRequired);
    if (!parsed) {
        m_prompts.message(FromStd(kProgramTitle),
                          tr("The %1 needs %2 and a port of 1 to 65535: \"%3\", \"%4\" will not "
                             "do. Nothing is changed.")
                              .arg(what,
                                   addressRequired ? tr("an IP address")
                                                   : tr("an IP address (or none: all addresses)"),
                                   address->text(), port->text()));
        (host.isEmpty() && addressRequired ? address : port)->setFocus();
    }
    return parsed;
}

void Frm_Network::cmdOK_Click() {
    const auto tcp = endpoint(m_txtTcpAddress, m_txtTcpPort, false, tr("TCP server"));
    if (!tcp) {
        return;
    }
    const auto udp = endpoint(m_txtUdpAddress, m_txtUdpPort, true, tr("UDP output"));
    if (!udp) {
        return;
    }
    m_settings = {m_chkTcp->isChecked(), *tcp, m_chkUdp->isChecked(), *udp};
    accept();
}

}  // namespace bivane
