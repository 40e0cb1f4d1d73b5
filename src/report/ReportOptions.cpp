#include "report/ReportOptions.h"

#include "report/WallClock.h"

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

// Takes "--name VALUE" or "--name=VALUE"; false when the name does not match.
bool takeValue(const QStringList& arguments, qsizetype& index, const QString& name, QString& value, QString& error)
{
    const QString& argument = arguments[index];
    if (argument.startsWith(name + u'=')) {
        value = argument.sliced(name.size() + 1);
    } else if (argument == name) {
        if (index + 1 >= arguments.size()) {
            error = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        value = arguments[++index];
    } else {
        return false;
    }
    if (value.isEmpty())
        error = QStringLiteral("%1 needs a value").arg(name);
    return true;
}

// Leaves an error already found (a missing value) as it is.
void takeDay(const QString& name, const QString& text, std::optional<qint64>& day, QString& error)
{
    if (!error.isEmpty())
        return;
    day = dayOf(text);
    if (!day)
        error = QStringLiteral("%1 takes a date that exists, as YYYY-MM-DD, not \"%2\"").arg(name, text);
}

} // namespace

std::optional<ReportOptions> ReportOptions::parse(const QStringList& arguments, QString& error)
{
    ReportOptions options;
    error.clear();
    for (qsizetype index = 0; index < arguments.size() && error.isEmpty(); ++index) {
        const QString& argument = arguments[index];
        QString value;
        if (argument == QLatin1String("--report"))
            continue;
        if (argument == QLatin1String("--open"))
            options.open = true;
        else if (takeValue(arguments, index, QStringLiteral("--csv"), value, error))
            options.csvPath = value;
        else if (takeValue(arguments, index, QStringLiteral("--out"), value, error))
            options.outPath = value;
        else if (takeValue(arguments, index, QStringLiteral("--json"), value, error))
            options.jsonPath = value;
        else if (takeValue(arguments, index, QStringLiteral("--from"), value, error))
            takeDay(QStringLiteral("--from"), value, options.firstDay, error);
        else if (takeValue(arguments, index, QStringLiteral("--to"), value, error))
            takeDay(QStringLiteral("--to"), value, options.lastDay, error);
        else
            error = QStringLiteral("unknown argument \"%1\"").arg(argument);
    }
    if (error.isEmpty() && options.firstDay && options.lastDay && *options.firstDay > *options.lastDay)
        error = QStringLiteral("--from comes after --to");
    if (!error.isEmpty())
        return std::nullopt;
    return options;
}

QString ReportOptions::usage()
{
    return QStringLiteral(
        "Usage: linegauge --report [--csv FILE] [--out FILE] [--json FILE] [--from YYYY-MM-DD] [--to YYYY-MM-DD] "
        "[--open]\n"
        "Writes the line report, one HTML page, from the CSV log, without opening the window.\n"
        "  --csv FILE          the log to read (default: \"Output filename\" of settings.ini beside the program)\n"
        "  --out FILE          the page to write (default: <log name>-report.html beside the log)\n"
        "  --json FILE         also write the figures as JSON\n"
        "  --from YYYY-MM-DD   first day of the period (default: the log's first)\n"
        "  --to YYYY-MM-DD     last day of the period, included (default: the log's last)\n"
        "  --open              open the written page in the desktop's browser\n"
        "Exit status: 0 report written, 1 log unreadable or without captures, 2 bad arguments.\n");
}
