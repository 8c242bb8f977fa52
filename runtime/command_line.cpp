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
    QCommandLineOption record{
        QStringLiteral("record"),
        QStringLiteral("Record every byte ports 1 and 2 receive, with its arrival time, to FILE "
                       "in nmea-bivane-replay's capture format."),
        QStringLiteral("FILE")};
    QCommandLineOption recordMax{
        QStringLiteral("record-max"),
        QStringLiteral("When the recording reaches MB megabytes it moves to FILE.1 (replacing "
                       "an older one) and a new FILE starts; 0: no limit. Default 100."),
        QStringLiteral("MB")};
    QCommandLineOption log{QStringLiteral("log"),
                           QStringLiteral("Log the heading sentences from the start, in the "
                                          "program folder's log folder.")};
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

void describe(QCommandLineParser& parser, const Options& options, Program program) {
    if (program == Program::Window) {
        parser.setApplicationDescription(
            QStringLiteral("True heading from two GPS receivers, sent as NMEA HDT."));
        parser.addOptions({options.programFolder, options.com, options.screenshot, options.labels,
                           options.tcp, options.udp, options.record, options.recordMax});
    } else {
        parser.setApplicationDescription(QStringLiteral(
            "True heading from two GPS receivers, sent as NMEA HDT, without a window. Status "
            "goes to standard error; SIGHUP reads the settings again."));
        parser.addOptions({options.programFolder, options.com, options.tcp, options.udp,
                           options.log, options.record, options.recordMax});
    }
    parser.addHelpOption();
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments, ComPortMap& ports, Program program) {
    CommandLine line;
    QCommandLineParser parser;
    const Options options;
    describe(parser, options, program);
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
    if (program == Program::Window) {
        line.screenshot = parser.value(options.screenshot);
        line.labels = parser.value(options.labels);
    }
    line.record = parser.value(options.record);
    line.log = program == Program::Service && parser.isSet(options.log);
    if (parser.isSet(options.recordMax)) {
        bool number = false;
        line.recordMaxMb = parser.value(options.recordMax).toInt(&number);
        if (!number || line.recordMaxMb < 0) {
            line.error =
                QStringLiteral("--record-max %1: expected a number of megabytes, 0 or more")
                    .arg(parser.value(options.recordMax));
            return line;
        }
    }
    line.tcp = endpoint(parser, options.tcp, false, line.error);
    line.udp = endpoint(parser, options.udp, true, line.error);
    if (!line.error.isEmpty()) {
        return line;
    }
    line.portsMapped = parser.isSet(options.com);
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

QString CommandLineUsage(Program program) {
    QCommandLineParser parser;
    const Options options;
    describe(parser, options, program);
    return parser.helpText();
}

}  // namespace bivane
