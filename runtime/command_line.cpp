#include "runtime/command_line.h"

#include <QCommandLineParser>

namespace bivane {
namespace {

struct Options {
    QCommandLineOption programFolder{
        QStringLiteral("program-folder"),
        QStringLiteral("Keep the settings file and the logs in DIR for this run "
                       "(created when missing)."),
        QStringLiteral("DIR")};
    QCommandLineOption com{QStringLiteral("com"),
                           QStringLiteral("Use DEVICE as system serial port N (\"COM N\") for "
                                          "this run, without storing it. Repeatable."),
                           QStringLiteral("N=DEVICE")};
    QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the main window to FILE (PNG) when the program ends."),
        QStringLiteral("FILE")};
    QCommandLineOption labels{
        QStringLiteral("labels"),
        QStringLiteral("Write the main window's labels (text, colour, visibility) to FILE as JSON "
                       "when the program ends, as nmea-bivane-replay --labels does."),
        QStringLiteral("FILE")};
    QCommandLineOption tcp{
        QStringLiteral("tcp"),
        QStringLiteral("Serve the heading sentences to TCP clients at ADDRESS (default: every "
                       "address) and PORT for this run, without storing it."),
        QStringLiteral("[ADDRESS:]PORT")};
    QCommandLineOption udp{
        QStringLiteral("udp"),
        QStringLiteral("Send the heading sentences as UDP datagrams to ADDRESS (one host, or a "
                       "broadcast address) and PORT for this run, without storing it."),
        QStringLiteral("ADDRESS:PORT")};
};

// The value of a network option, when it is set: `error` says why it
// cannot be used.
std::optional<NetworkEndpoint> endpoint(const QCommandLineParser& parser,
                                        const QCommandLineOption& option, bool addressRequired,
                                        QString& error) {
    if (!parser.isSet(option)) {
        return std::nullopt;
    }
    const QString value = parser.value(option);
    auto parsed = ParseNetworkEndpoint(value, addressRequired);
    if (!parsed) {
        error = QStringLiteral("--%1 %2: expected %3, ADDRESS an IP address and PORT 1 to 65535")
                    .arg(option.names().constFirst(), value, option.valueName());
    }
    return parsed;
}

void describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("True heading from two GPS receivers, sent as NMEA HDT."));
    parser.addOptions({options.programFolder, options.com, options.screenshot, options.labels,
                       options.tcp, options.udp});
    parser.addHelpOption();
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments, ComPortMap& ports) {
    CommandLine line;
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    if (!parser.parse(arguments)) {
        line.error = parser.errorText();
        return line;
    }
    if (!parser.positionalArguments().isEmpty()) {
        line.error = QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments()[0]);
        return line;
    }
    line.help = parser.isSet(QStringLiteral("help"));
    line.programFolder = parser.value(options.programFolder);
    line.screenshot = parser.value(options.screenshot);
    line.labels = parser.value(options.labels);
    line.tcp = endpoint(parser, options.tcp, false, line.error);
    line.udp = endpoint(parser, options.udp, true, line.error);
    if (!line.error.isEmpty()) {
        return line;
    }
    for (const QString& mapping : parser.values(options.com)) {
        if (!ports.mapForThisRun(mapping)) {
            line.error = QStringLiteral(
                             "--com %1: expected N=DEVICE, N a port number of 1 or "
                             "more")
                             .arg(mapping);
            return line;
        }
    }
    return line;
}

QString CommandLineUsage() {
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    return parser.helpText();
}

}  // namespace bivane
