#include "report/DayMedians.h"
#include "report/DayTable.h"
#include "report/ReportBuilder.h"
#include "report/WallClock.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

namespace {

// A capture of the wall-clock time, the line down (Down SNR under the threshold) or up.
LogCapture capture(qint64 wallStamp, bool down)
{
    LogCapture line;
    line.stamp = wallStamp;
    line.values = {down ? 3.0f : 9.0f, 11.0f, 30.0f, 20.0f};
    line.numberMask = 0xf;
    return line;
}

// Wall-clock stamps count seconds as UTC's do.
qint64 stampOf(const QString& text)
{
    const QTime time = QTime::fromString(text.mid(11), Qt::ISODate);
    return QDateTime(QDate::fromString(text.left(10), Qt::ISODate), time, QTimeZone::utc()).toSecsSinceEpoch();
}

} // namespace

// The records the builder holds stay bounded whatever the log holds; a log written across a clock
// change is measured in real time, to the second, by its zone's rules, whichever zone the machine keeps.
class TestReportBuilder : public QObject
{
    Q_OBJECT

private slots:
    void held_data()
    {
        QTest::addColumn<int>("firstYear");
        QTest::addColumn<int>("captures");
        QTest::addColumn<int>("spacing"); // seconds; with pauses every third spacing is ten times as long
        QTest::addColumn<bool>("pauses");
        QTest::addColumn<bool>("drops"); // every other capture finds the line down
        QTest::addColumn<RowSpan>("span"); // of a row of the day table
        QTest::addColumn<bool>("tooLong"); // more days than the findings keep
        QTest::newRow("a capture an hour for 20 years")
            << 2026 << 175320 << 3600 << false << false << RowSpan::month << false;
        QTest::newRow("a capture a day for 2000 years")
            << 2026 << 730485 << 86400 << false << false << RowSpan::year << false;
        QTest::newRow("a capture a day, years 0001 to 9999")
            << 1 << 3652059 << 86400 << false << false << RowSpan::year << false;
        QTest::newRow("a pause after every third capture")
            << 2026 << 300001 << 60 << true << false << RowSpan::day << false;
        QTest::newRow("a drop at every other capture")
            << 2026 << 400000 << 60 << false << true << RowSpan::day << false;
        QTest::newRow("a drop every other hour for 60 years")
            << 2026 << 525960 << 3600 << false << true << RowSpan::month << true;
    }

    void held()
    {
        QFETCH(int, firstYear);
        QFETCH(int, captures);
        QFETCH(int, spacing);
        QFETCH(bool, pauses);
        QFETCH(bool, drops);
        QFETCH(RowSpan, span);
        QFETCH(bool, tooLong);

        QTemporaryDir spill;
        ReportBuilder builder(6.0f, 50.0f, {}, spill.path());
        qint64 stamp = WallClock::stampOf(firstYear, 1, 1, 0, 0, 0);
        for (qint64 i = 0; i < captures; ++i) {
            stamp += i == 0 ? 0 : pauses && i % 3 == 0 ? 10 * qint64(spacing) : qint64(spacing);
            builder.addCapture(capture(stamp, drops && i % 2 == 1));
            if (i % 4096 == 0)
                QVERIFY2(builder.heldRecords()
                        <= 9999 + 2 * ReportBuilder::maxListed + GapList::heldInMemory + 2 * DayMedians::maxDays,
                    qPrintable(QString::number(builder.heldRecords())));
        }
        const ReportFigures figures = builder.finish();
        QCOMPARE(figures.captures, qint64(captures));
        QCOMPARE(figures.gaps.count(), qint64(pauses ? (captures - 1) / 3 : 0));
        QCOMPARE(figures.drops, qint64(drops ? captures / 2 : 0));
        QCOMPARE(figures.findings.note.startsWith(QStringLiteral("Too long")), tooLong);
        QCOMPARE(figures.daySpan, span);
        QVERIFY(figures.days.size() <= std::max<std::size_t>(DayTable::maxRows, 9999));
    }

    void acrossChange_data()
    {
        // "zone: " and stretches "YYYY-MM-DD HH:MM count" of captures a minute apart from that wall-clock
        // time, "down" when they find the line down; the date is left out while it stays the same.
        QTest::addColumn<QString>("log");
        QTest::addColumn<int>("dropSeconds");
        QTest::addColumn<QString>("gap"); // "seconds until end", empty without a gap
        QTest::addColumn<int>("coveredSeconds");
        QTest::addColumn<int>("upSeconds");
        // Autumn: 02:00 summer time is 01:00 winter time in London, 03:00 is 02:00 in Berlin.
        QTest::newRow("autumn, London, captures all through")
            << "Europe/London: 2026-10-25 01:00 50, 01:50 10 down, 01:00 10 down, 01:10 21" << 1200 << "" << 5400
            << 4200;
        QTest::newRow("autumn, London, nothing captured while down")
            << "Europe/London: 2026-10-25 00:40 71, 01:51 1 down, 01:11 20" << 1200 << "1200 until 2026-10-25T01:11:00"
            << 5400 << 5400;
        QTest::newRow("autumn, Berlin, captures all through")
            << "Europe/Berlin: 2026-10-25 02:00 50, 02:50 10 down, 02:00 10 down, 02:10 21" << 1200 << "" << 5400
            << 4200;
        QTest::newRow("autumn, Berlin, a day of the repeated hour without a drop")
            << "Europe/Berlin: 2026-10-24 23:00 240, 2026-10-25 02:00 120" << 0 << "" << 21540 << 21540;
        // Wall-clock minutes for two weeks: the hour after 02:59 summer time is a pause of 61 min.
        QTest::newRow("autumn, Berlin, two weeks without the repeated hour")
            << "Europe/Berlin: 2026-10-18 00:00 20160" << 0 << "3660 until 2026-10-25T03:00:00" << 1209480 << 1209480;
        // Spring: 01:00 winter time is 02:00 summer time in London, 02:00 is 03:00 in Berlin.
        QTest::newRow("spring, London, captures all through")
            << "Europe/London: 2026-03-29 00:30 20, 00:50 10 down, 02:00 10 down, 02:10 21" << 1200 << "" << 3600
            << 2400;
        // A clock that missed the change writes the skipped hour: it counts from the old offset.
        QTest::newRow("spring, London, the skipped hour written")
            << "Europe/London: 2026-03-29 00:30 20, 00:50 10 down, 01:00 10 down, 01:10 21" << 1200 << "" << 3600
            << 2400;
        QTest::newRow("spring, Berlin, captures all through")
            << "Europe/Berlin: 2026-03-29 01:30 20, 01:50 10 down, 03:00 10 down, 03:10 21" << 1200 << "" << 3600
            << 2400;
        QTest::newRow("spring, Berlin, nothing captured while down")
            << "Europe/Berlin: 2026-03-29 01:00 50, 01:50 1 down, 03:10 20" << 1200 << "1200 until 2026-03-29T03:10:00"
            << 4140 << 4140;
        QTest::newRow("no summer time") << "UTC: 2026-10-25 01:00 50, 01:50 20 down, 02:10 20" << 1200 << "" << 5340
                                        << 4140;
    }

    void acrossChange()
    {
        QFETCH(QString, log);
        const QString zone = log.section(QStringLiteral(": "), 0, 0);
        QFETCH(int, dropSeconds);
        QFETCH(QString, gap);
        QFETCH(int, coveredSeconds);
        QFETCH(int, upSeconds);

        ReportBuilder builder(6.0f, 50.0f, {}, {}, QTimeZone(zone.toUtf8()));
        QString date;
        for (const QString& stretch : log.section(QStringLiteral(": "), 1).split(QStringLiteral(", "))) {
            QStringList words = stretch.split(u' ');
            if (words.front().contains(u'-'))
                date = words.takeFirst();
            const qint64 from = stampOf(date + u' ' + words[0]);
            for (int minute = 0; minute < words[1].toInt(); ++minute)
                builder.addCapture(capture(from + qint64(minute) * 60, words.size() > 2));
        }
        const ReportFigures figures = builder.finish();
        QCOMPARE(figures.timeZone, zone);
        QCOMPARE(figures.drops, qint64(dropSeconds > 0 ? 1 : 0));
        QCOMPARE(figures.downSeconds, qint64(dropSeconds));
        if (dropSeconds > 0)
            QCOMPARE(figures.listedDrops.front().seconds, qint64(dropSeconds));
        QCOMPARE(figures.gaps.totalSeconds(), gap.section(u' ', 0, 0).toLongLong());
        QCOMPARE(figures.gaps.count(), qint64(gap.isEmpty() ? 0 : 1));
        if (!gap.isEmpty())
            QCOMPARE(WallClock::isoDateTime(figures.gaps.firstGaps().front().end), gap.section(u' ', 2));
        QCOMPARE(figures.coveredSeconds, qint64(coveredSeconds));
        QCOMPARE(figures.upSeconds, qint64(upSeconds));
    }
};

QTEST_GUILESS_MAIN(TestReportBuilder)
#include "TestReportBuilder.moc"
