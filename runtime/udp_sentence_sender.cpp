#include "runtime/udp_sentence_sender.h"

namespace bivane {

void UdpSentenceSender::start(const NetworkEndpoint& endpoint) {
    m_endpoint = endpoint;
    m_address = QHostAddress(endpoint.address);
    m_active = true;
    m_sent = 0;
}

void UdpSentenceSender::stop() {
    m_active = false;
}

QString UdpSentenceSender::statusText() const {
    if (!m_active) {
        return QStringLiteral("UDP: off");
    }
    return QStringLiteral("UDP: %1 datagram(s) sent to %2")
        .arg(m_sent)
        .arg(NetworkEndpointText(m_endpoint));
}

IoResult UdpSentenceSender::write(std::string_view text) {
    if (!m_active) {
        return {};
    }
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        const qint64 written = m_socket.writeDatagram(text.data(), static_cast<qint64>(length),
                                                      m_address, m_endpoint.port);
        if (written < 0) {
            return IoResult::Failure(QStringLiteral("UDP to %1: %2")
                                         .arg(NetworkEndpointText(m_endpoint),
                                              m_socket.errorString())
                                         .toStdString());
        }
        ++m_sent;
        text.remove_prefix(length);
    }
    return {};
}

}  // namespace bivane
