#include "runtime/network_outputs.h"

#include "runtime/qt_text.h"

namespace bivane {

NetworkOutputs::NetworkOutputs() = default;

void NetworkOutputs::addTo(HeadingEngine& engine,
                           std::function<void(const std::string&)> lateFailure) {
    m_lateFailure = std::move(lateFailure);
    engine.addOutput(m_tcpOutput);
    engine.addOutput(m_udpOutput);
}

IoResult NetworkOutputs::OwnThreadOutput::write(std::string_view text) {
    if (m_owner.m_home.isCurrent()) {
        return m_output.write(text);
    }
    if (!m_listened()) {
        return {};  // nobody to hand it to: no need to wake the output's thread
    }
    QMetaObject::invokeMethod(
        &m_owner.m_thread,
        [this, sentences = std::string(text)] {
            const IoResult result = m_output.write(sentences);
            if (!result.ok() && m_owner.m_lateFailure) {
                m_owner.m_lateFailure(result.failure());
            }
        },
        Qt::QueuedConnection);
    return {};
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
