#include "runtime/network_outputs.h"

#include "runtime/qt_text.h"

namespace bivane {

void NetworkOutputs::addTo(HeadingEngine& engine) {
    engine.addOutput(m_tcp);
    engine.addOutput(m_udp);
}

std::optional<QString> NetworkOutputs::apply(const NetworkSettings& settings) {
    std::optional<QString> failure;
    if (!settings.tcpOn) {
        m_tcp.close();
        m_tcpListening.reset();
    } else if (m_tcpListening != settings.tcp || !m_tcp.isListening()) {
        m_tcpListening = settings.tcp;
        if (const IoResult result = m_tcp.listen(settings.tcp); !result.ok()) {
            failure = FromStd(result.failure());
        }
    }
    if (!settings.udpOn) {
        m_udp.stop();
    } else if (!m_udp.isActive() || m_udp.endpoint() != settings.udp) {
        // The count of datagrams starts again when the address changes.
        m_udp.start(settings.udp);
    }
    return failure;
}

QString NetworkOutputs::statusText() const {
    return m_tcp.statusText() + QLatin1Char('\n') + m_udp.statusText();
}

NetworkSettings WithOutputsForThisRun(NetworkSettings settings,
                                      const std::optional<NetworkEndpoint>& tcp,
                                      const std::optional<NetworkEndpoint>& udp) {
    if (tcp) {
        settings.tcpOn = true;
        settings.tcp = *tcp;
    }
    if (udp) {
        settings.udpOn = true;
        settings.udp = *udp;
    }
    return settings;
}

}  // namespace bivane
