#include "runtime/tcp_sentence_server.h"

#include <QHostAddress>
#include <algorithm>

namespace bivane {
namespace {

QString clientName(const QTcpSocket& client) {
    return NetworkEndpointText({client.peerAddress().toString(), client.peerPort()});
}

}  // namespace

TcpSentenceServer::TcpSentenceServer() {
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
}

TcpSentenceServer::~TcpSentenceServer() {
    close();
}

IoResult TcpSentenceServer::listen(const NetworkEndpoint& endpoint) {
    close();
    m_endpoint = endpoint;
    const QHostAddress address = endpoint.address.isEmpty()
                                     ? QHostAddress(QHostAddress::Any)
                                     : QHostAddress(endpoint.address);
    if (!m_server.listen(address, endpoint.port)) {
        m_listenFailure = m_server.errorString();
        return IoResult::Failure(QStringLiteral("The heading cannot be served on TCP at %1: %2")
                                     .arg(NetworkEndpointText(endpoint), m_listenFailure)
                                     .toStdString());
    }
    return {};
}

void TcpSentenceServer::close() {
    m_server.close();
    m_listenFailure.clear();
    for (QTcpSocket* client : std::vector(m_clients)) {
        forget(client);
    }
}

void TcpSentenceServer::accept() {
    while (QTcpSocket* client = m_server.nextPendingConnection()) {
        m_clients.push_back(client);
        // Whatever a client says is read and ignored, so it never piles up.
        QObject::connect(client, &QTcpSocket::readyRead, client, [client] { client->readAll(); });
        QObject::connect(client, &QTcpSocket::disconnected, client,
                         [this, client] { forget(client); });
        QObject::connect(client, &QTcpSocket::errorOccurred, client,
                         [this, client] { forget(client); });
    }
}

void TcpSentenceServer::forget(QTcpSocket* client) {
    const auto found = std::find(m_clients.begin(), m_clients.end(), client);
    if (found == m_clients.end()) {
        return;
    }
    m_clients.erase(found);
    QObject::disconnect(client, nullptr, nullptr, nullptr);
    client->abort();
    client->deleteLater();
}

qint64 TcpSentenceServer::queuedBytes() const {
    qint64 total = 0;
    for (const QTcpSocket* client : m_clients) {
        total += client->bytesToWrite();
    }
    return total;
}

QString TcpSentenceServer::statusText() const {
    if (!m_listenFailure.isEmpty()) {
        return QStringLiteral("TCP: not serving at %1: %2")
            .arg(NetworkEndpointText(m_endpoint), m_listenFailure);
    }
    if (!isListening()) {
        return QStringLiteral("TCP: off");
    }
    return QStringLiteral("TCP: serving at %1, %2 client(s) connected")
        .arg(NetworkEndpointText({m_endpoint.address, port()}))
        .arg(clientCount());
}

IoResult TcpSentenceServer::write(std::string_view text) {
    QString dropped;
    const auto size = static_cast<qint64>(text.size());
    // A client that fails while being written to leaves the list at once.
    for (QTcpSocket* client : std::vector(m_clients)) {
        if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end()) {
            continue;
        }
        if (client->bytesToWrite() + size > kClientQueueLimit) {
            dropped += (dropped.isEmpty() ? QString() : QStringLiteral(", ")) + clientName(*client);
            forget(client);
            continue;
        }
        client->write(text.data(), size);
        // Hands what the system takes at once to it, without waiting.
        client->flush();
    }
    if (dropped.isEmpty()) {
        return {};
    }
    return IoResult::Failure(
        QStringLiteral("TCP client %1 stopped reading and was dropped").arg(dropped).toStdString());
}

}  // namespace bivane
