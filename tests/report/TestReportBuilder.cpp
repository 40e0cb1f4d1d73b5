#include "report/DayMedians.h"
#include "report/DayTable.h"
#include "report/ReportBuilder.h"
#include "report/WallClock.h"

#include <QTemporaryDir>
#include <QTest>

// What the builder keeps must stay bounded whatever the log holds: millions of days, a pause after
// every capture, a drop at every other one. Measured as the records it holds, not as time or memory
// of the process.
class TestReportBuilder : public QObject
{
    Q_OBJECT

private slots:
    void held_data()
    {
        QTest::addColumn<int>("firstYear");
        QTest::addColumn<qint64>("captures");
        QTest::addColumn<qint64>("spacing"); // seconds; with pauses every third spacing is ten times as long
        QTest::addColumn<bool>("pauses");
        QTest::addColumn<bool>("drops"); // every other capture finds the line down
        QTest::addColumn<qint64>("gaps");
        QTest::addColumn<RowSpan>("span"); // of a row of the day table
        QTest::addColumn<bool>("tooLong"); // more days than the findings keep

        const qint64 day = WallClock::secondsPerDay;
        QTest::newRow("a capture an hour for 20 years")
            << 2026 << qint64(175320) << qint64(3600) << false << false << qint64(0) << RowSpan::month << false;
        QTest::newRow("a capture a day for 2000 years")
            << 2026 << qint64(730485) << day << false << false << qint64(0) << RowSpan::year << false;
        QTest::newRow("a capture a day, years 0001 to 9999")
            << 1 << qint64(3652059) << day << false << false << qint64(0) << RowSpan::year << false;
        QTest::newRow("a pause after every third capture")
            << 2026 << qint64(300001) << qint64(60) << true << false << qint64(100000) << RowSpan::day << false;
        QTest::newRow("a drop at every other capture")
            << 2026 << qint64(400000) << qint64(60) << false << true << qint64(0) << RowSpan::day << false;
        QTest::newRow("a drop every other hour for 60 years")
            << 2026 << qint64(525960) << qint64(3600) << false << true << qint64(0) << RowSpan::month << true;
    }

    void held()
    {
        QFETCH(int, firstYear);
        QFETCH(qint64, captures);
        QFETCH(qint64, spacing);
        QFETCH(bool, pauses);
        QFETCH(bool, drops);
        QFETCH(qint64, gaps);
        QFETCH(RowSpan, span);
        QFETCH(bool, tooLong);

        QTemporaryDir spill;
        ReportBuilder builder(6.0f, 50.0f, {}, spill.path());
        LogCapture capture;
        capture.stamp = WallClock::stampOf(firstYear, 1, 1, 0, 0, 0);
        capture.numberMask = 0xf;
        capture.values = {9.0f, 11.0f, 30.0f, 20.0f};
        for (qint64 i = 0; i < captures; ++i) {
            if (i > 0)
                capture.stamp += pauses && i % 3 == 0 ? 10 * spacing : spacing;
            capture.values[0] = drops && i % 2 == 1 ? 3.0f : 9.0f;
            builder.addCapture(capture);
            if (i % 4096 == 0)
                QVERIFY2(builder.heldRecords()
                        <= 9999 + 2 * ReportBuilder::maxListed + GapList::heldInMemory + 2 * DayMedians::maxDays,
                    qPrintable(QString::number(builder.heldRecords())));
        }
        const ReportFigures figures = builder.finish();
        QCOMPARE(figures.captures, captures);
        QCOMPARE(figures.gaps.count(), gaps);
        QCOMPARE(figures.drops, drops ? captures / 2 : 0);
        QCOMPARE(figures.findings.note.startsWith(QStringLiteral("Too long")), tooLong);
        QCOMPARE(figures.daySpan, span);
        QVERIFY(figures.days.size() <= std::max<std::size_t>(DayTable::maxRows, 9999));
    }
};

QTEST_GUILESS_MAIN(TestReportBuilder)
#include "TestReportBuilder.moc"
