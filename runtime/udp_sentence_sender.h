#pragma once

#include <QHostAddress>
#include <QUdpSocket>
#include <cstdint>

#include "heading/text_output.h"
#include "runtime/network_settings.h"

namespace bivane {

// The heading sentences as UDP datagrams, one sentence (with its CR LF) to
// a datagram, to one address and port: a single listener, or a broadcast
// address (255.255.255.255, a subnet's) for every listener on the network.
class UdpSentenceSender final : public TextOutput {
  public:
    // Sends to `endpoint` from now on.
    void start(const NetworkEndpoint& endpoint);
    // Sends nothing from now on.
    void stop();

    bool isActive() const { return m_active; }
    const NetworkEndpoint& endpoint() const { return m_endpoint; }
    // Datagrams handed to the system since the start.
    std::uint64_t datagramsSent() const { return m_sent; }
    // One line for the window: where to, how many datagrams.
    QString statusText() const;

    IoResult write(std::string_view text) override;

  private:
    QUdpSocket m_socket;
    NetworkEndpoint m_endpoint;
    QHostAddress m_address;
    bool m_active = false;
    std::uint64_t m_sent = 0;
};

}  // namespace bivane
