#include "stats/StatsLine.h"

#include "platform/Clock.h"
#include "stats/AppState.h"
#include "stats/CsvLog.h"
#include "stats/LineStatTable.h"
#include "stats/StatsDisplay.h"
#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"

#include <QStringList>

namespace {

// Fixed separators rather than the user's locale, so spreadsheets read every file the same way.
const QString separateLayout = QStringLiteral("dd/MM/yyyy,HH:mm:ss");
const QString joinedLayout = QStringLiteral("dd/MM/yyyy HH:mm:ss");

} // namespace

StatsLine::StatsLine(
    const LineStatTable& table, const AppState& state, StatusLine& status, StatsDisplay& display, const Clock& clock)
    : m_table(table)
    , m_state(state)
    , m_status(status)
    , m_display(display)
    , m_clock(clock)
{ }

QString StatsLine::buildStatsLine(bool toFile, bool header) const
{
    if (!header && !m_state.pageReceived)
        return {};
    m_status.showStatus(QString::fromLatin1(StatusTexts::displaying));
    if (header)
        return headerLine();
    if (toFile)
        return dataLine();
    showValues();
    return {};
}

QString StatsLine::headerLine() const
{
    QStringList fields{m_state.separateDateTime ? QStringLiteral("Date,Time") : QStringLiteral("DateTime")};
    for (int k = 1; k <= statCount; ++k)
        fields.append(m_table.statRecords(k).name);
    return fields.join(QLatin1Char(','));
}

QString StatsLine::dataLine() const
{
    const QString& layout = m_state.separateDateTime ? separateLayout : joinedLayout;
    QStringList fields{m_clock.now().toString(layout)};
    for (int k = 1; k <= statCount; ++k)
        fields.append(loggedValue(k));
    return fields.join(QLatin1Char(','));
}

// The window may go on showing an earlier text, but a logged line records only this page: a
// statistic it did not carry is "NA", never the text of an earlier capture.
QString StatsLine::loggedValue(int k) const
{
    const PageValue seen = m_table.pageValues.at(std::size_t(k - 1));
    if (seen == PageValue::absent)
        return QStringLiteral("NA");
    return CsvLog::valueField(m_table.statRecords(k).valueText, seen != PageValue::otherText);
}

void StatsLine::showValues() const
{
    for (int k = 1; k <= statCount; ++k)
        m_display.showCurrent(k - 1, m_table.statRecords(k).valueText);
}
