#include "app/CommandLine.h"

#include "app/AppInfo.h"
#include "report/ReportOptions.h"

#include <QCommandLineParser>

namespace CommandLine {

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

Request requestOf(const QStringList& arguments)
{
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption report(QStringLiteral("report"));
    QCommandLineParser parser;
    parser.addOptions({version, help, report});
    // Arguments of other requests are no concern here; the parser still reads every one.
    parser.parse(arguments);
    for (const QString& name : parser.optionNames()) {
        if (name == version.names().constFirst())
            return Request::version;
        if (name == help.names().constFirst())
            return Request::help;
    }
    return parser.isSet(report) ? Request::report : Request::window;
}

QString answerTo(Request request)
{
    if (request == Request::version)
        return QStringLiteral("Linegauge %1\n").arg(AppInfo::versionText());
    return QStringLiteral("Usage: linegauge [--version] [--help]\n"
                          "Monitors the line statistics of an ADSL router. The options are kept in settings.ini\n"
                          "beside the program; the window sets them all.\n\n")
        + ReportOptions::usage();
}

} // namespace CommandLine
