#pragma once

#include <QString>
#include <optional>

#include "engine/heading_engine.h"
#include "runtime/network_settings.h"
#include "runtime/tcp_sentence_server.h"
#include "runtime/udp_sentence_sender.h"

namespace bivane {

// The heading sentences on the network: the TCP server and the UDP sender,
// started, moved and stopped as the settings say.
class NetworkOutputs {
  public:
    // Both get every heading sentence `engine` sends; the outputs must
    // outlive the engine's cycles.
    void addTo(HeadingEngine& engine);

    // Starts, moves or stops the outputs as `settings` says. Clients stay
    // connected unless the server moves. Nothing on success, else why the
    // server cannot listen (the rest goes on).
    std::optional<QString> apply(const NetworkSettings& settings);

    // Each output's status, one line each.
    QString statusText() const;
    const TcpSentenceServer& tcp() const { return m_tcp; }
    const UdpSentenceSender& udp() const { return m_udp; }

  private:
    TcpSentenceServer m_tcp;
    UdpSentenceSender m_udp;
    std::optional<NetworkEndpoint> m_tcpListening;  // where m_tcp was last started
};

// The settings with the outputs this run's command line asks for on.
NetworkSettings WithOutputsForThisRun(NetworkSettings settings,
                                      const std::optional<NetworkEndpoint>& tcp,
                                      const std::optional<NetworkEndpoint>& udp);

}  // namespace bivane
