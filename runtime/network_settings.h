#pragma once

#include <QSettings>
#include <QString>
#include <optional>

namespace bivane {

// Where the heading sentences go on the network: an address (empty for a
// server: every address of this machine) and a port.
struct NetworkEndpoint {
    QString address;
    quint16 port = 10110;

    bool operator==(const NetworkEndpoint&) const = default;
};

// The network outputs, kept in the per-user settings store (section
// "Network"), never in the settings file of the program folder.
struct NetworkSettings {
    bool tcpOn = false;                                   // key "TcpOn"
    NetworkEndpoint tcp;                                  // keys "TcpAddress", "TcpPort"
    bool udpOn = false;                                   // key "UdpOn"
    NetworkEndpoint udp{QStringLiteral("255.255.255.255"), 10110};  // "UdpAddress", "UdpPort"

    bool operator==(const NetworkSettings&) const = default;
};

// "ADDRESS:PORT", or "PORT" alone when `addressRequired` is false (every
// address). The address is an IPv4 address, or an IPv6 one in brackets
// ("[::1]:10110"); the port 1 to 65535. Nothing for any other text.
std::optional<NetworkEndpoint> ParseNetworkEndpoint(const QString& text, bool addressRequired);

// The endpoint as a person reads it: "127.0.0.1:10110", "[::1]:10110",
// "all addresses, port 10110".
QString NetworkEndpointText(const NetworkEndpoint& endpoint);

// The stored values; a key that is missing or cannot be read keeps its
// default (both off, port 10110, UDP to 255.255.255.255).
NetworkSettings ReadNetworkSettings(const QSettings& store);

void WriteNetworkSettings(QSettings& store, const NetworkSettings& settings);

}  // namespace bivane
