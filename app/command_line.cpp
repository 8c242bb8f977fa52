#include "app/command_line.h"

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
};

void describe(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("True heading from two GPS receivers, sent as NMEA HDT."));
    parser.addOptions({options.programFolder, options.com, options.screenshot, options.labels});
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
