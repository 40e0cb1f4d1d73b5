#include "stats/AppState.h"
#include "stats/LineStatTable.h"
#include "stats/StatsLine.h"
#include "stats/StatusTexts.h"
#include "support/FakeClock.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

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
};

} // namespace

// Spreadsheets read the CSV file by column, so every line must have exactly the layout of its header.
class TestStatsLine : public QObject
{
    Q_OBJECT

private slots:
    // A line not for the file is the window's display.
    void buildStatsLine_data()
    {
        QTest::addColumn<bool>("toFile");
        QTest::addColumn<bool>("pageReceived");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QString>("expected");

        QTest::newRow("numbers and NA as the page gave them")
            << true << true << u"06.50/na/-0/ 1e1"_s << u"NANN"_s << u"05/03/2026,07:08:09,06.50,na,-0, 1e1"_s;
        QTest::newRow("other texts as safe fields")
            << true << true << u"1,5/=1+1/-/ x"_s << u"TTTT"_s << u"05/03/2026,07:08:09,\"1,5\",'=1+1,'-, x"_s;
        QTest::newRow("statistics absent from this page")
            << true << true << u"6.5/old/old/11.0"_s << u"N--N"_s << u"05/03/2026,07:08:09,6.5,NA,NA,11.0"_s;
        QTest::newRow("data without page") << true << false << u"6.5/NA/23.4/11.0"_s << u"NANN"_s << u""_s;
        QTest::newRow("display shows texts as cut") << false << true << u"6.5/NA/=1/x"_s << u"NATT"_s << u""_s;
        QTest::newRow("display without page") << false << false << u"6.5/NA/23.4/11.0"_s << u"NANN"_s << u""_s;
    }

    void buildStatsLine()
    {
        QFETCH(bool, toFile);
        QFETCH(bool, pageReceived);
        QFETCH(QString, values);
        QFETCH(QString, seen);
        QFETCH(QString, expected);
        Rig rig;
        rig.state.pageReceived = pageReceived;
        rig.setValues(values, seen);

        QCOMPARE(rig.line.buildStatsLine(toFile, false), expected);
        const QString shown = QStringList(rig.display.current.begin(), rig.display.current.end()).join(u'/');
        QCOMPARE(shown, !toFile && pageReceived ? values : QStringLiteral("///"));
        QCOMPARE(rig.status.texts, pageReceived ? QStringList{StatusTexts::displaying} : QStringList());
    }

    // The header, built before any page, and two captures as the file holds them.
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
        rig.state.pageReceived = true;
        rig.setValues(QStringLiteral("6.5/NA/23.4/11.0"), QStringLiteral("NANN"));
        lines += rig.line.buildStatsLine(true, false) + "\r\n";
        rig.setValues(QStringLiteral("7.1/12.0/23.5/11.5"), QStringLiteral("NNNN"));
        rig.clock.current = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58));
        lines += rig.line.buildStatsLine(true, false) + "\r\n";
        QFile expected(QStringLiteral(LINEGAUGE_TEST_DATA "/csv/") + fixture);
        QVERIFY(expected.open(QIODevice::ReadOnly));
        QCOMPARE(lines.toLatin1(), expected.readAll());
    }
};

QTEST_GUILESS_MAIN(TestStatsLine)
#include "TestStatsLine.moc"
