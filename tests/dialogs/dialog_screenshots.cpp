// Saves a picture of each dialog as it first shows, for a look by eye:
// dialog_screenshots FOLDER. Run it on a real display (Xvfb will do).

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "app/frm_about.h"
#include "app/frm_network.h"
#include "app/frm_offset.h"
#include "app/frm_output.h"
#include "app/frm_setup.h"
#include "app/qt_user_prompts.h"
#include "app/time_tolerance_prompt.h"
#include "serial/com_port_map.h"
#include "reception/memory_port.h"
#include "runtime/tcp_sentence_server.h"
#include "runtime/udp_sentence_sender.h"

namespace {

bool saved = true;

// Runs `show` (which opens a modal dialog), grabs the dialog once it stands
// and closes it.
void grabWhileOpen(const QString& file, const std::function<void()>& show) {
    QTimer::singleShot(300, [file] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            std::fprintf(stderr, "no dialog for %s\n", qUtf8Printable(file));
            saved = false;
            return;
        }
        // Beside the picture, one three times as large for a close look.
        const QPixmap picture = dialog->grab();
        const QPixmap large =
            picture.scaled(picture.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (!picture.save(file + QStringLiteral(".png"), "PNG") ||
            !large.save(file + QStringLiteral("-x3.png"), "PNG")) {
            std::fprintf(stderr, "cannot save %s\n", qUtf8Printable(file));
            saved = false;
        }
        dialog->reject();
    });
    show();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fputs("usage: dialog_screenshots FOLDER\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    QWidget owner;
    owner.setWindowIcon(QIcon(QStringLiteral(BIVANE_ICON)));
    owner.resize(440, 460);
    owner.show();

    bivane::CompassState state;
    bivane::MainWindowText text;
    bivane::QtUserPrompts prompts;
    prompts.setParentWidget(&owner);
    bivane::ComPortMap devices;
    bivane::MemoryPort port1(1);
    bivane::MemoryPort port2(2);
    bivane::MemoryPort port3(3);
    port1.setPortNumber(16);
    port2.setSettings("38400,n,8,1");
    port3.setSettings("921600,n,8,1");
    const std::array<bivane::SerialPort*, 3> ports{&port1, &port2, &port3};

    for (const bool output : {false, true}) {
        state.HeadingOutput = output;
        grabWhileOpen(folder + (output ? QStringLiteral("setup-output-on")
                                       : QStringLiteral("setup-output-off")),
                      [&] {
                          bivane::Frm_Setup dialog(&owner, ports, state, text, prompts, &devices);
                          dialog.exec();
                      });
    }
    state.OffsetX = {0, -0.35};
    state.OffsetY = {-12.5, 1.5};
    grabWhileOpen(folder + QStringLiteral("offset"), [&] {
        bivane::Frm_Offset dialog(&owner, state, text, prompts, '.');
        dialog.exec();
    });
    grabWhileOpen(folder + QStringLiteral("about"), [&] {
        bivane::frmAbout box(&owner);
        box.exec();
    });
    grabWhileOpen(folder + QStringLiteral("time-difference"),
                  [&] { bivane::AskTimeTolerance(prompts, state, '.'); });
    grabWhileOpen(folder + QStringLiteral("heading-sentences"), [&] {
        using enum bivane::HeadingSentence;
        bivane::Frm_Output dialog(&owner, {{Hdt, Ths, Rot}, 1.0, 2.0}, prompts, '.');
        dialog.exec();
    });

    // The network outputs as they run: a server with a client, datagrams to
    // a listener on this computer.
    bivane::NetworkSettings network;
    network.tcpOn = true;
    network.udpOn = true;
    network.udp.address = QStringLiteral("127.0.0.1");
    bivane::TcpSentenceServer server;
    (void)server.listen(network.tcp);
    QTcpSocket client;
    client.connectToHost(QStringLiteral("127.0.0.1"), network.tcp.port);
    QElapsedTimer wait;
    wait.start();
    while (server.clientCount() == 0 && wait.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    bivane::UdpSentenceSender sender;
    sender.start(network.udp);
    for (int epoch = 0; epoch < 21; ++epoch) {
        (void)sender.write("$GPHDT,123.4,T*31\r\n$GPROT,-180.0,A*15\r\n");
    }
    grabWhileOpen(folder + QStringLiteral("network-output"), [&] {
        bivane::Frm_Network dialog(&owner, network, prompts, [&] {
            return server.statusText() + QLatin1Char('\n') + sender.statusText();
        });
        dialog.exec();
    });
    return saved ? 0 : 1;
}
