#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "engine/heading_engine.h"
#include "runtime/network_settings.h"
#include "runtime/tcp_sentence_server.h"
#include "runtime/udp_sentence_sender.h"
#include "serial/home_thread.h"

namespace bivane {

// The heading sentences on the network: the TCP server and the UDP sender,
// started, moved and stopped as the settings say.
class NetworkOutputs {
  public:
    NetworkOutputs();

    // Both get every heading sentence `engine` sends, on the thread that
    // made them: a cycle on the input thread hands its sentences over, and
    // a failure found there afterwards goes to `lateFailure` (the cycle has
    // ended by then). The outputs must outlive the engine's cycles.
    void addTo(HeadingEngine& engine, std::function<void(const std::string&)> lateFailure = {});

    // Starts, moves or stops the outputs as `settings` says. Clients stay
    // connected unless the server moves. Nothing on success, else why the
    // server cannot listen (the rest goes on).
    std::optional<QString> apply(const NetworkSettings& settings);

    // Each output's status, one line each.
    QString statusText() const;
    const TcpSentenceServer& tcp() const { return m_tcp; }
    const UdpSentenceSender& udp() const { return m_udp; }

  private:
    // Hands what another thread writes to the output's own thread.
    class OwnThreadOutput final : public TextOutput {
      public:
        // `listened`: somebody takes the output's sentences now.
        OwnThreadOutput(TextOutput& output, NetworkOutputs& owner, std::function<bool()> listened)
            : m_output(output), m_owner(owner), m_listened(std::move(listened)) {}
        IoResult write(std::string_view text) override;

      private:
        TextOutput& m_output;
        NetworkOutputs& m_owner;
        std::function<bool()> m_listened;
    };

    TcpSentenceServer m_tcp;
    UdpSentenceSender m_udp;
    HomeThread m_home;
    QObject m_thread;  // the queue of what is handed over to the outputs' thread
    std::function<void(const std::string&)> m_lateFailure;
    OwnThreadOutput m_tcpOutput{m_tcp, *this, [this] { return m_tcp.clientCount() > 0; }};
    OwnThreadOutput m_udpOutput{m_udp, *this, [this] { return m_udp.isActive(); }};
    std::optional<NetworkEndpoint> m_tcpListening;  // where m_tcp was last started
};

// The settings with the outputs this run's command line asks for on.
NetworkSettings WithOutputsForThisRun(NetworkSettings settings,
                                      const std::optional<NetworkEndpoint>& tcp,
                                      const std::optional<NetworkEndpoint>& udp);

}  // namespace bivane
