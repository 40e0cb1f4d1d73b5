#include "stats/AppState.h"
#include "stats/CsvLog.h"
#include "stats/LineStatTable.h"
#include "stats/StatsLine.h"
#include "stats/StatusTexts.h"
#include "support/FakeClock.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Spreadsheets read the CSV file by column, so every line must have exactly the layout of its header.
class TestStatsLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void buildStatsLine_data();
    void buildStatsLine();
    void displayMode_data();
    void displayMode();
    void linesInFile_matchFixture_data();
    void linesInFile_matchFixture();

private:
    void setValues(const QStringList& texts, const QString& seen = QStringLiteral("NANN"));

    LineStatTable m_table;
    AppState m_state;
    RecordingStatusLine m_status;
    RecordingStatsDisplay m_display;
    FakeClock m_clock;
};

void TestStatsLine::init()
{
    m_table = LineStatTable();
    m_state = AppState();
    m_status = RecordingStatusLine();
    m_display = RecordingStatsDisplay();
    m_clock = FakeClock();
}

// seen holds one letter per statistic for what the page carried: N a number, A "NA", T other text,
// - no line at all.
void TestStatsLine::setValues(const QStringList& texts, const QString& seen)
{
    const QString kinds = QStringLiteral("NAT-");
    constexpr std::array<PageValue, 4> values{
        PageValue::number, PageValue::notAvailable, PageValue::otherText, PageValue::absent};
    for (int k = 1; k <= statCount; ++k) {
        m_table.statRecords(k).valueText = texts.at(k - 1);
        m_table.pageValues[std::size_t(k - 1)] = values.at(std::size_t(kinds.indexOf(seen.at(k - 1))));
    }
}

void TestStatsLine::buildStatsLine_data()
{
    QTest::addColumn<bool>("separate");
    QTest::addColumn<bool>("header");
    QTest::addColumn<bool>("pageReceived");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("seen");
    QTest::addColumn<QString>("expected");

    // Both layouts with page values are checked byte for byte against the CSV fixtures below.
    const QTime morning(7, 8, 9);
    QTest::newRow("header before any page") << true << true << false << morning << QStringList{"", "", "", ""} << "----"
                                            << "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation";
    QTest::newRow("numbers and NA as the page gave them")
        << true << false << true << morning << QStringList{"06.50", "na", "-0", " 1e1"} << "NANN"
        << "05/03/2026,07:08:09,06.50,na,-0, 1e1";
    QTest::newRow("other texts as safe fields")
        << true << false << true << morning << QStringList{"1,5", "=1+1", "-", " x"} << "TTTT"
        << "05/03/2026,07:08:09,\"1,5\",'=1+1,'-, x";
    QTest::newRow("statistics absent from this page")
        << true << false << true << morning << QStringList{"6.5", "old", "old", "11.0"} << "N--N"
        << "05/03/2026,07:08:09,6.5,NA,NA,11.0";
    QTest::newRow("data without page") << true << false << false << morning << QStringList{"6.5", "NA", "23.4", "11.0"}
                                       << "NANN"
                                       << "";
}

void TestStatsLine::buildStatsLine()
{
    QFETCH(bool, separate);
    QFETCH(bool, header);
    QFETCH(bool, pageReceived);
    QFETCH(QTime, time);
    QFETCH(QStringList, values);
    QFETCH(QString, seen);
    QFETCH(QString, expected);
    m_state.separateDateTime = separate;
    m_state.pageReceived = pageReceived;
    m_clock.current.setTime(time);
    setValues(values, seen);

    const StatsLine line(m_table, m_state, m_status, m_display, m_clock);
    QCOMPARE(line.buildStatsLine(true, header), expected);
    const bool built = header || pageReceived;
    QCOMPARE(m_status.texts, built ? QStringList{StatusTexts::displaying} : QStringList());
}

void TestStatsLine::displayMode_data()
{
    QTest::addColumn<bool>("pageReceived");
    QTest::newRow("page received: texts as cut") << true;
    QTest::newRow("no page: shows nothing") << false;
}

void TestStatsLine::displayMode()
{
    QFETCH(bool, pageReceived);
    m_state.pageReceived = pageReceived;
    const std::array<QString, 4> texts{"6.5", "NA", "23.4", "11.0"};
    setValues({texts.begin(), texts.end()});
    const StatsLine line(m_table, m_state, m_status, m_display, m_clock);
    QCOMPARE(line.buildStatsLine(false, false), QString());
    QCOMPARE(m_display.current, (pageReceived ? texts : std::array<QString, 4>()));
    QCOMPARE(m_status.texts, pageReceived ? QStringList{StatusTexts::displaying} : QStringList());
}

void TestStatsLine::linesInFile_matchFixture_data()
{
    QTest::addColumn<bool>("separate");
    QTest::addColumn<QString>("fixture");
    QTest::newRow("separate date and time") << true << "separate.csv";
    QTest::newRow("date and time in one column") << false << "joined.csv";
}

void TestStatsLine::linesInFile_matchFixture()
{
    QFETCH(bool, separate);
    QFETCH(QString, fixture);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stats.csv"));
    m_state.separateDateTime = separate;
    const StatsLine line(m_table, m_state, m_status, m_display, m_clock);
    QVERIFY(CsvLog::appendLineToFile(path, line.buildStatsLine(true, true)));

    m_state.pageReceived = true;
    setValues({"6.5", "NA", "23.4", "11.0"});
    QVERIFY(CsvLog::appendLineToFile(path, line.buildStatsLine(true, false)));
    setValues({"7.1", "12.0", "23.5", "11.5"});
    m_clock.current = QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58));
    QVERIFY(CsvLog::appendLineToFile(path, line.buildStatsLine(true, false)));

    QFile written(path);
    QFile expected(QStringLiteral(LINEGAUGE_TEST_DATA "/csv/") + fixture);
    QVERIFY(written.open(QIODevice::ReadOnly) && expected.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.readAll());
}

QTEST_GUILESS_MAIN(TestStatsLine)
#include "TestStatsLine.moc"
