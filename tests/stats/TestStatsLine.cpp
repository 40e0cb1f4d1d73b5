#include "stats/AppState.h"
#include "stats/LineStatTable.h"
#include "stats/StatsLine.h"
#include "stats/StatusTexts.h"
#include "support/FakeClock.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"

#include <QFile>
#include <QTest>

namespace {

struct Rig
{
    LineStatTable table;
    AppState state;
    RecordingStatusLine status;
    RecordingStatsDisplay display;
    FakeClock clock;
    StatsLine line{table, state, status, display, clock};

    // The value texts joined by slashes, and per statistic what the page carried: - no line at all,
    // N a number, A "NA", T other text.
    void setValues(const QString& texts, const QString& seen)
    {
        for (int k = 1; k <= statCount; ++k) {
            table.statRecords(k).valueText = texts.split(u'/').at(k - 1);
            table.pageValues[std::size_t(k - 1)] = PageValue(QStringLiteral("-NAT").indexOf(seen[k - 1]));
        }
    }
    QString shown() const { return QStringList(display.current.begin(), display.current.end()).join(u'/'); }
};

} // namespace

// Spreadsheets read the CSV file by column, so every line must have exactly the layout of its header.
class TestStatsLine : public QObject
{
    Q_OBJECT

private slots:
    // The header, built before any page, and two captures as the file holds them: numbers (a minus
    // is no formula) and NA as the page gave them, a text made safe, and a statistic absent from the
    // page as NA rather than its earlier text.
    void linesInFile_matchFixture_data()
    {
        QTest::addColumn<bool>("separate");
        QTest::addColumn<QString>("fixture");
        QTest::newRow("separate date and time") << true << "separate.csv";
        QTest::newRow("date and time in one column") << false << "joined.csv";
    }

    void linesInFile_matchFixture()
    {
        QFETCH(bool, separate);
        QFETCH(QString, fixture);
        Rig rig;
        rig.state.separateDateTime = separate;
        QString lines = rig.line.buildStatsLine(true, true) + "\r\n";
        rig.setValues(QStringLiteral("6.5/NA/23.4/11.0"), QStringLiteral("NANN"));
        // Before the first page there is nothing to log or show.
        QCOMPARE(rig.line.buildStatsLine(true, false), QString());
        QCOMPARE(rig.line.buildStatsLine(false, false) + rig.shown(), QStringLiteral("///"));
        rig.state.pageReceived = true;
        lines += rig.line.buildStatsLine(true, false) + "\r\n";
        rig.setValues(QStringLiteral("-07.10/na/=1+1/old"), QStringLiteral("NAT-"));
        rig.clock.current = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58));
        lines += rig.line.buildStatsLine(true, false) + "\r\n";
        QFile expected(QStringLiteral(LINEGAUGE_TEST_DATA "/csv/") + fixture);
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(lines.toLatin1(), expected.readAll());
        QCOMPARE(rig.shown(), QStringLiteral("///")); // lines for the file leave the window alone
        QCOMPARE(rig.line.buildStatsLine(false, false), QString()); // the window shows the texts as cut out
        QCOMPARE(rig.shown(), QStringLiteral("-07.10/na/=1+1/old"));
        QCOMPARE(rig.status.texts.last(), QString::fromLatin1(StatusTexts::displaying));
    }
};

QTEST_GUILESS_MAIN(TestStatsLine)
#include "TestStatsLine.moc"
