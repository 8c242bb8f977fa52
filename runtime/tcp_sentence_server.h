#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <vector>

#include "heading/text_output.h"
#include "runtime/network_settings.h"

namespace bivane {

// The heading sentences for any number of TCP clients. Each client gets
// every text written from the moment it connects; what it sends is read and
// thrown away. Writing never waits: a client's text waits in its own queue
// and goes out as the event loop finds the client ready, so a slow client
// delays no one. A client whose queue passes kClientQueueLimit is dropped;
// the write that drops it fails naming it (once, as it is then gone).
class TcpSentenceServer final : public TextOutput {
  public:
    static constexpr qint64 kClientQueueLimit = 64 * 1024;

    TcpSentenceServer();
    ~TcpSentenceServer() override;
    TcpSentenceServer(const TcpSentenceServer&) = delete;
    TcpSentenceServer& operator=(const TcpSentenceServer&) = delete;

    // Listens at `endpoint` (port 0: any free port), after closing what was
    // open. A failure names the address, the port and the reason.
    IoResult listen(const NetworkEndpoint& endpoint);
    // Stops listening and drops every client.
    void close();

    bool isListening() const { return m_server.isListening(); }
    // The port listened on (the one chosen, for port 0).
    quint16 port() const { return m_server.serverPort(); }
    int clientCount() const { return static_cast<int>(m_clients.size()); }
    // The text waiting to go out, over all clients.
    qint64 queuedBytes() const;
    // One line for the window: listening where, how many clients.
    QString statusText() const;

    IoResult write(std::string_view text) override;

  private:
    void accept();
    void forget(QTcpSocket* client);

    QTcpServer m_server;
    std::vector<QTcpSocket*> m_clients;  // children of m_server
    NetworkEndpoint m_endpoint;
    QString m_listenFailure;
};

}  // namespace bivane
