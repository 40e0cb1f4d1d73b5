#include "report/FindingText.h"

#include "report/LineFindings.h"
#include "report/ReportCharts.h"
#include "report/WallClock.h"

#include <QStringList>

#include <array>
#include <cmath>

namespace FindingText {

namespace {

constexpr std::array<const char*, 7> weekdayNames{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

QString clockText(int minute)
{
    return QStringLiteral("%1:%2").arg(minute / 60, 2, 10, QLatin1Char('0')).arg(minute % 60, 2, 10, QLatin1Char('0'));
}

QStringList weekdayList(unsigned weekdays)
{
    QStringList names;
    for (std::size_t weekday = 0; weekday < weekdayNames.size(); ++weekday) {
        if ((weekdays >> weekday) & 1u)
            names << QLatin1String(weekdayNames[weekday]);
    }
    return names;
}

// "Mon", "Sat or Sun", "Mon, Tue, Wed, Thu or Fri".
QString weekdayText(unsigned weekdays)
{
    QStringList names = weekdayList(weekdays);
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString dbText(double db)
{
    return QString::number(std::abs(db), 'f', 1);
}

// At least three decimals, and two significant digits for the slowest drifts of very long logs.
QString slopeText(double dbPerDay)
{
    const double size = std::abs(dbPerDay);
    const int decimals = size > 0.0 ? std::max(3, 1 - int(std::floor(std::log10(size)))) : 3;
    return QString::number(dbPerDay, 'f', decimals);
}

QString statisticName(const Finding& finding)
{
    return QLatin1String(ReportCharts::seriesNames[finding.statistic]);
}

QString dropHourSentence(const Finding& finding)
{
    const QString when = finding.fromMinute == finding.toMinute
        ? QStringLiteral("at %1").arg(clockText(finding.fromMinute))
        : QStringLiteral("between %1 and %2").arg(clockText(finding.fromMinute), clockText(finding.toMinute));
    return QStringLiteral("Drops come at the same time of day: on %1 of the %2 days with a drop, a drop began %3.")
        .arg(finding.days)
        .arg(finding.dropDays)
        .arg(when);
}

QString weekdaySentence(const Finding& finding)
{
    const QString share = finding.drops == finding.allDrops
        ? QStringLiteral("all %1 drops").arg(finding.allDrops)
        : QStringLiteral("%1 of the %2 drops").arg(finding.drops).arg(finding.allDrops);
    return QStringLiteral("Drops keep to certain days of the week: %1 fell on %2, though those days are only %3 of the "
                          "%4 days in the log.")
        .arg(share, weekdayText(finding.weekdays))
        .arg(finding.weekdayDaysLogged)
        .arg(finding.daysLogged);
}

QString trendSentence(const Finding& finding)
{
    const QString slope = slopeText(finding.dbPerDay);
    const double change = slope.toDouble() * double(finding.toDay - finding.fromDay);
    return QStringLiteral("%1 %2 steadily, by %3 dB a day from %4 to %5 (%6 dB in all).")
        .arg(statisticName(finding), finding.dbPerDay < 0.0 ? QStringLiteral("fell") : QStringLiteral("rose"),
            slope.mid(slope.startsWith(u'-') ? 1 : 0), WallClock::isoDate(finding.fromDay),
            WallClock::isoDate(finding.toDay), dbText(change));
}

QString stepSentence(const Finding& finding)
{
    const bool fell = finding.db < 0.0;
    return QStringLiteral("%1 %2 suddenly by %3 dB on %4 and stayed %5: a typical day read %6 dB before and %7 dB "
                          "after.")
        .arg(statisticName(finding), fell ? QStringLiteral("fell") : QStringLiteral("rose"), dbText(finding.db),
            WallClock::isoDate(finding.day), fell ? QStringLiteral("down") : QStringLiteral("up"),
            QString::number(finding.before, 'f', 1), QString::number(finding.after, 'f', 1));
}

QByteArray quoted(const QString& text)
{
    return '"' + text.toUtf8() + '"';
}

QByteArray weekdayArray(unsigned weekdays)
{
    QByteArray text = "[";
    for (const QString& name : weekdayList(weekdays))
        text += (text.size() > 1 ? ", " : "") + quoted(name);
    return text + ']';
}

QByteArray figuresOf(const Finding& finding)
{
    switch (finding.kind) {
    case FindingKind::dropHour:
        return "\"kind\": \"drop_hour\", \"from\": " + quoted(clockText(finding.fromMinute))
            + ", \"to\": " + quoted(clockText(finding.toMinute)) + ", \"days\": " + QByteArray::number(finding.days)
            + ", \"drop_days\": " + QByteArray::number(finding.dropDays);
    case FindingKind::weekday:
        return "\"kind\": \"weekday\", \"weekdays\": " + weekdayArray(finding.weekdays)
            + ", \"drops\": " + QByteArray::number(finding.drops) + ", \"of\": " + QByteArray::number(finding.allDrops);
    case FindingKind::trend:
        return "\"kind\": \"trend\", \"statistic\": " + quoted(statisticName(finding)) + ", \"db_per_day\": "
            + slopeText(finding.dbPerDay).toUtf8() + ", \"from\": " + quoted(WallClock::isoDate(finding.fromDay))
            + ", \"to\": " + quoted(WallClock::isoDate(finding.toDay));
    case FindingKind::step:
        return "\"kind\": \"step\", \"statistic\": " + quoted(statisticName(finding)) + ", \"date\": "
            + quoted(WallClock::isoDate(finding.day)) + ", \"db\": " + QByteArray::number(finding.db, 'f', 1);
    }
    return {};
}

} // namespace

QString sentence(const Finding& finding)
{
    switch (finding.kind) {
    case FindingKind::dropHour:
        return dropHourSentence(finding);
    case FindingKind::weekday:
        return weekdaySentence(finding);
    case FindingKind::trend:
        return trendSentence(finding);
    case FindingKind::step:
        return stepSentence(finding);
    }
    return {};
}

QString tooShort(qint64 readableDays)
{
    const QString days = readableDays == 0 ? QStringLiteral("no day has")
        : readableDays == 1                ? QStringLiteral("only 1 day has")
                                           : QStringLiteral("only %1 days have").arg(readableDays);
    return QStringLiteral("Too little log to look for patterns: %1 %2 captures or more, and the report needs %3 such "
                          "days before it says when drops come or how the values move.")
        .arg(days)
        .arg(LineFindings::capturesForADay)
        .arg(LineFindings::fewestDays);
}

QString tooLong(std::size_t keptDays)
{
    return QStringLiteral("Too long a log to look for patterns in one report: it has more than %1 days with drops or "
                          "with enough captures. Choose a shorter period with --from and --to.")
        .arg(keptDays);
}

QString nothingStandsOut(qint64 days)
{
    return QStringLiteral("Nothing stands out from chance in these %1 days: the drops keep to no time of day or day "
                          "of the week, and no statistic drifted or stepped clearly.")
        .arg(days);
}

QString pageSection(const Findings& findings)
{
    QString html = QStringLiteral("<h2>Findings</h2>\n");
    if (findings.list.empty())
        return html + QStringLiteral("<p class=\"findings\">%1</p>\n").arg(findings.note.toHtmlEscaped());
    html += QStringLiteral("<ul class=\"findings\">\n");
    for (const Finding& finding : findings.list)
        html += QStringLiteral("<li>%1</li>\n").arg(finding.text.toHtmlEscaped());
    return html
        + QStringLiteral("</ul>\n<p class=\"note\">Each is a pattern that chance alone would give in fewer than one "
                         "log in a hundred.</p>\n");
}

QByteArray jsonMembers(const Findings& findings)
{
    QByteArray text = "  \"findings\": [";
    for (std::size_t i = 0; i < findings.list.size(); ++i) {
        text += i == 0 ? "\n" : ",\n";
        text += "    {" + figuresOf(findings.list[i]) + ",\n     \"text\": " + quoted(findings.list[i].text) + '}';
    }
    text += findings.list.empty() ? "],\n" : "\n  ],\n";
    text += "  \"findings_note\": " + (findings.list.empty() ? quoted(findings.note) : QByteArray("null")) + ",\n";
    return text;
}

} // namespace FindingText
