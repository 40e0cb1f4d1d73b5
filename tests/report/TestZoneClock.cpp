#include "report/ReportBuilder.h"
#include "report/WallClock.h"

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

struct Stretch
{
    QString from; // "YYYY-MM-DD HH:MM" as the log writes it
    int minutes; // captures a minute apart, from included
    bool down;
};

qint64 stampOf(const QString& text)
{
    const QDateTime time = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm"));
    return WallClock::stampOf(
        time.date().year(), time.date().month(), time.date().day(), time.time().hour(), time.time().minute(), 0);
}

} // namespace

Q_DECLARE_METATYPE(QList<Stretch>)

// A log written across a clock change, read by its zone's rules: the drop, the gaps and the period
// measured in real time, to the second, whichever zone the machine that reads it keeps.
class TestZoneClock : public QObject
{
    Q_OBJECT

private slots:
    void acrossChange_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QList<Stretch>>("log");
        QTest::addColumn<qint64>("dropSeconds");
        QTest::addColumn<qint64>("gapSeconds");
        QTest::addColumn<QString>("gapEnd"); // empty without a gap
        QTest::addColumn<qint64>("coveredSeconds");
        QTest::addColumn<qint64>("upSeconds");

        // Autumn: 02:00 summer time is 01:00 winter time in London, 03:00 is 02:00 in Berlin.
        QTest::newRow("autumn, London, captures all through")
            << "Europe/London"
            << QList<Stretch>{{"2026-10-25 01:00", 50, false}, {"2026-10-25 01:50", 10, true},
                   {"2026-10-25 01:00", 10, true}, {"2026-10-25 01:10", 21, false}}
            << qint64(1200) << qint64(0) << QString() << qint64(5400) << qint64(4200);
        QTest::newRow("autumn, London, nothing captured while down")
            << "Europe/London"
            << QList<Stretch>{{"2026-10-25 00:40", 71, false}, {"2026-10-25 01:51", 1, true},
                   {"2026-10-25 01:11", 20, false}}
            << qint64(1200) << qint64(1200) << QString("2026-10-25T01:11:00") << qint64(5400) << qint64(5400);
        QTest::newRow("autumn, Berlin, captures all through")
            << "Europe/Berlin"
            << QList<Stretch>{{"2026-10-25 02:00", 50, false}, {"2026-10-25 02:50", 10, true},
                   {"2026-10-25 02:00", 10, true}, {"2026-10-25 02:10", 21, false}}
            << qint64(1200) << qint64(0) << QString() << qint64(5400) << qint64(4200);
        QTest::newRow("autumn, Berlin, a day of the repeated hour without a drop")
            << "Europe/Berlin" << QList<Stretch>{{"2026-10-24 23:00", 240, false}, {"2026-10-25 02:00", 120, false}}
            << qint64(0) << qint64(0) << QString() << qint64(21540) << qint64(21540);
        // Wall-clock minutes for two weeks: the hour after 02:59 summer time is a pause of 61 min.
        QTest::newRow("autumn, Berlin, two weeks without the repeated hour")
            << "Europe/Berlin" << QList<Stretch>{{"2026-10-18 00:00", 20160, false}} << qint64(0) << qint64(3660)
            << QString("2026-10-25T03:00:00") << qint64(1209480) << qint64(1209480);
        // Spring: 01:00 winter time is 02:00 summer time in London, 02:00 is 03:00 in Berlin.
        QTest::newRow("spring, London, captures all through")
            << "Europe/London"
            << QList<Stretch>{{"2026-03-29 00:30", 20, false}, {"2026-03-29 00:50", 10, true},
                   {"2026-03-29 02:00", 10, true}, {"2026-03-29 02:10", 21, false}}
            << qint64(1200) << qint64(0) << QString() << qint64(3600) << qint64(2400);
        QTest::newRow("spring, Berlin, captures all through")
            << "Europe/Berlin"
            << QList<Stretch>{{"2026-03-29 01:30", 20, false}, {"2026-03-29 01:50", 10, true},
                   {"2026-03-29 03:00", 10, true}, {"2026-03-29 03:10", 21, false}}
            << qint64(1200) << qint64(0) << QString() << qint64(3600) << qint64(2400);
        QTest::newRow("spring, Berlin, nothing captured while down")
            << "Europe/Berlin"
            << QList<Stretch>{{"2026-03-29 01:00", 50, false}, {"2026-03-29 01:50", 1, true},
                   {"2026-03-29 03:10", 20, false}}
            << qint64(1200) << qint64(1200) << QString("2026-03-29T03:10:00") << qint64(4140) << qint64(4140);
        QTest::newRow("no summer time") << "UTC"
                                        << QList<Stretch>{{"2026-10-25 01:00", 50, false},
                                               {"2026-10-25 01:50", 20, true}, {"2026-10-25 02:10", 20, false}}
                                        << qint64(1200) << qint64(0) << QString() << qint64(5340) << qint64(4140);
    }

    void acrossChange()
    {
        QFETCH(QString, zone);
        QFETCH(QList<Stretch>, log);
        QFETCH(qint64, dropSeconds);
        QFETCH(qint64, gapSeconds);
        QFETCH(QString, gapEnd);
        QFETCH(qint64, coveredSeconds);
        QFETCH(qint64, upSeconds);

        ReportBuilder builder(6.0f, 50.0f, {}, {}, QTimeZone(zone.toUtf8()));
        for (const Stretch& stretch : std::as_const(log)) {
            for (int minute = 0; minute < stretch.minutes; ++minute)
                builder.addCapture(capture(stampOf(stretch.from) + qint64(minute) * 60, stretch.down));
        }
        const ReportFigures figures = builder.finish();
        QCOMPARE(figures.timeZone, zone);
        QCOMPARE(figures.drops, qint64(dropSeconds > 0 ? 1 : 0));
        QCOMPARE(figures.downSeconds, dropSeconds);
        if (dropSeconds > 0)
            QCOMPARE(figures.listedDrops.front().seconds, dropSeconds);
        QCOMPARE(figures.gaps.totalSeconds(), gapSeconds);
        QCOMPARE(figures.gaps.count(), qint64(gapEnd.isEmpty() ? 0 : 1));
        if (!gapEnd.isEmpty())
            QCOMPARE(WallClock::isoDateTime(figures.gaps.firstGaps().front().end), gapEnd);
        QCOMPARE(figures.coveredSeconds, coveredSeconds);
        QCOMPARE(figures.upSeconds, upSeconds);
    }
};

QTEST_GUILESS_MAIN(TestZoneClock)
#include "TestZoneClock.moc"
