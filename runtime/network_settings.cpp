#include "runtime/network_settings.h"

#include <QHostAddress>

namespace bivane {
namespace {

const QString kTcpOn = QStringLiteral("Network/TcpOn");
const QString kTcpAddress = QStringLiteral("Network/TcpAddress");
const QString kTcpPort = QStringLiteral("Network/TcpPort");
const QString kUdpOn = QStringLiteral("Network/UdpOn");
const QString kUdpAddress = QStringLiteral("Network/UdpAddress");
const QString kUdpPort = QStringLiteral("Network/UdpPort");

std::optional<quint16> portNumber(const QString& text) {
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return static_cast<quint16>(port);
}

bool validAddress(const QString& text) {
    return !QHostAddress(text).isNull();
}

void readEndpoint(const QSettings& store, const QString& addressKey, const QString& portKey,
                  bool addressRequired, NetworkEndpoint& endpoint) {
    if (store.contains(addressKey)) {
        const QString address = store.value(addressKey).toString().trimmed();
        if (address.isEmpty() ? !addressRequired : validAddress(address)) {
            endpoint.address = address;
        }
    }
    if (const auto port = portNumber(store.value(portKey).toString())) {
        endpoint.port = *port;
    }
}

}  // namespace

std::optional<NetworkEndpoint> ParseNetworkEndpoint(const QString& text, bool addressRequired) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0) {
        if (addressRequired) {
            return std::nullopt;
        }
        const auto port = portNumber(text);
        return port ? std::optional(NetworkEndpoint{QString(), *port}) : std::nullopt;
    }
    QString address = text.left(colon);
    if (address.startsWith(QLatin1Char('[')) && address.endsWith(QLatin1Char(']'))) {
        address = address.mid(1, address.size() - 2);
    } else if (address.contains(QLatin1Char(':'))) {
        return std::nullopt;  // an IPv6 address needs its brackets
    }
    const auto port = portNumber(text.mid(colon + 1));
    if (!port || !validAddress(address)) {
        return std::nullopt;
    }
    return NetworkEndpoint{address, *port};
}

QString NetworkEndpointText(const NetworkEndpoint& endpoint) {
    if (endpoint.address.isEmpty()) {
        return QStringLiteral("all addresses, port %1").arg(endpoint.port);
    }
    if (endpoint.address.contains(QLatin1Char(':'))) {
        return QStringLiteral("[%1]:%2").arg(endpoint.address).arg(endpoint.port);
    }
    return QStringLiteral("%1:%2").arg(endpoint.address).arg(endpoint.port);
}

NetworkSettings ReadNetworkSettings(const QSettings& store) {
    NetworkSettings settings;
    settings.tcpOn = store.value(kTcpOn).toBool();
    readEndpoint(store, kTcpAddress, kTcpPort, false, settings.tcp);
    settings.udpOn = store.value(kUdpOn).toBool();
    readEndpoint(store, kUdpAddress, kUdpPort, true, settings.udp);
    return settings;
}

void WriteNetworkSettings(QSettings& store, const NetworkSettings& settings) {
    store.setValue(kTcpOn, settings.tcpOn ? 1 : 0);
    store.setValue(kTcpAddress, settings.tcp.address);
    store.setValue(kTcpPort, settings.tcp.port);
    store.setValue(kUdpOn, settings.udpOn ? 1 : 0);
    store.setValue(kUdpAddress, settings.udp.address);
    store.setValue(kUdpPort, settings.udp.port);
}

}  // namespace bivane
