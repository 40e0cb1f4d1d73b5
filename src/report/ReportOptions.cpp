#include "report/ReportOptions.h"

#include "report/WallClock.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

std::optional<qint64> dayOf(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int year = match.captured(1).toInt();
    const int month = match.captured(2).toInt();
    const int day = match.captured(3).toInt();
    if (!WallClock::isValidDate(year, month, day))
        return std::nullopt;
    return WallClock::dayOf(WallClock::stampOf(year, month, day, 0, 0, 0));
}

// The first of the parser's objections, in the report's own words; empty when it has none.
QString parseProblem(const QCommandLineParser& parser, bool parsed, const QList<QCommandLineOption>& valueOptions)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().constFirst();
        return QStringLiteral("unknown argument \"%1%2\"").arg(name.size() == 1 ? u"-" : u"--", name);
    }
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unknown argument \"%1\"").arg(parser.positionalArguments().constFirst());
    for (const QCommandLineOption& option : valueOptions) {
        const QString& name = option.names().constFirst();
        const QStringList values = parser.values(name);
        // A value left out at the end of the line is missing from the values altogether.
        if (values.contains(QString()) || values.size() < parser.optionNames().count(name))
            return QStringLiteral("--%1 needs a value").arg(name);
    }
    return parsed ? QString() : parser.errorText();
}

// Every date given counts, the last one standing.
void takeDays(const QString& name, const QStringList& texts, std::optional<qint64>& day, QString& error)
{
    for (const QString& text : texts) {
        day = dayOf(text);
        if (!day) {
            error = QStringLiteral("--%1 takes a date that exists, as YYYY-MM-DD, not \"%2\"").arg(name, text);
            return;
        }
    }
}

void takeZone(const QString& name, QTimeZone& zone, QString& error)
{
    zone = QTimeZone(name.toUtf8());
    if (!zone.isValid())
        error = QStringLiteral("--tz takes a time zone such as Europe/Berlin, not \"%1\"").arg(name);
}

} // namespace

std::optional<ReportOptions> ReportOptions::parse(const QStringList& arguments, QString& error)
{
    const QCommandLineOption report(QStringLiteral("report"));
    const QCommandLineOption open(QStringLiteral("open"));
    const QList<QCommandLineOption> valueOptions{
        {QStringLiteral("csv"), QString(), QStringLiteral("FILE")},
        {QStringLiteral("out"), QString(), QStringLiteral("FILE")},
        {QStringLiteral("json"), QString(), QStringLiteral("FILE")},
        {QStringLiteral("from"), QString(), QStringLiteral("YYYY-MM-DD")},
        {QStringLiteral("to"), QString(), QStringLiteral("YYYY-MM-DD")},
        {QStringLiteral("tz"), QString(), QStringLiteral("ZONE")},
    };
    QCommandLineParser parser;
    parser.addOptions({report, open});
    parser.addOptions(valueOptions);
    // The parser takes its first argument for the program's name.
    const bool parsed = parser.parse(QStringList{QString()} + arguments);
    error = parseProblem(parser, parsed, valueOptions);

    ReportOptions options;
    options.open = parser.isSet(open);
    options.csvPath = parser.value(QStringLiteral("csv"));
    options.outPath = parser.value(QStringLiteral("out"));
    options.jsonPath = parser.value(QStringLiteral("json"));
    if (error.isEmpty())
        takeDays(QStringLiteral("from"), parser.values(QStringLiteral("from")), options.firstDay, error);
    if (error.isEmpty())
        takeDays(QStringLiteral("to"), parser.values(QStringLiteral("to")), options.lastDay, error);
    if (error.isEmpty() && options.firstDay && options.lastDay && *options.firstDay > *options.lastDay)
        error = QStringLiteral("--from comes after --to");
    if (error.isEmpty() && parser.isSet(QStringLiteral("tz")))
        takeZone(parser.value(QStringLiteral("tz")), options.timeZone, error);
    if (!error.isEmpty())
        return std::nullopt;
    return options;
}

QString ReportOptions::usage()
{
    return QStringLiteral(
        "Usage: linegauge --report [--csv FILE] [--out FILE] [--json FILE] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
        "[--tz ZONE] [--open]\n"
        "Writes the line report, one HTML page, from the CSV log, without opening the window.\n"
        "  --csv FILE          the log to read (default: \"Output filename\" of settings.ini beside the program)\n"
        "  --out FILE          the page to write (default: <log name>-report.html beside the log)\n"
        "  --json FILE         also write the figures as JSON\n"
        "  --from YYYY-MM-DD   first day of the period (default: the log's first)\n"
        "  --to YYYY-MM-DD     last day of the period, included (default: the log's last)\n"
        "  --tz ZONE           read the log's times by this zone's rules, such as Europe/Berlin (default: the "
        "system's)\n"
        "  --open              open the written page in the desktop's browser\n"
        "Exit status: 0 report written, 1 log unreadable or without captures, 2 bad arguments.\n");
}
