#include "stats/StatsLine.h"

#include "stats/CsvLog.h"

#include <QDateTime>
#include <QStringList>

namespace {

// Fixed separators rather than the user's locale, so spreadsheets read every file the same way.
const QString separateLayout = QStringLiteral("dd/MM/yyyy,HH:mm:ss");
const QString joinedLayout = QStringLiteral("dd/MM/yyyy HH:mm:ss");

// The window may go on showing an earlier text, but a logged line records only this page: a
// statistic it did not carry is "NA", never the text of an earlier capture.
QString loggedValue(const LineStatTable& table, std::size_t i)
{
    const PageValue seen = table.pageValues.at(i);
    if (seen == PageValue::absent)
        return QStringLiteral("NA");
    return CsvLog::valueField(table.valueTexts.at(i), seen != PageValue::otherText);
}

} // namespace

namespace StatsLine {

QString csvHeader(bool separateDateTime)
{
    QStringList fields{separateDateTime ? QStringLiteral("Date,Time") : QStringLiteral("DateTime")};
    for (const LineStatDefinition& definition : lineStatDefinitions)
        fields.append(QString::fromLatin1(definition.name));
    return fields.join(QLatin1Char(','));
}

QString csvDataLine(const LineStatTable& table, const QDateTime& time, bool separateDateTime)
{
    QStringList fields{time.toString(separateDateTime ? separateLayout : joinedLayout)};
    for (std::size_t i = 0; i < std::size_t(statCount); ++i)
        fields.append(loggedValue(table, i));
    return fields.join(QLatin1Char(','));
}

} // namespace StatsLine
