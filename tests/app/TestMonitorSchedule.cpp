#include "app/MonitorSchedule.h"

#include <QTest>

namespace {

constexpr float tickMinutes = 1000.0f / 60000.0f;
// A window that stays shown hands over every tick on its own.
constexpr int neverHidden = 100000;

float minutesLeftAfter(float interval, int ticks)
{
    MonitorSchedule schedule;
    schedule.start(interval, tickMinutes);
    schedule.addTicks(ticks);
    return schedule.minutesLeft();
}

} // namespace

// The schedule's arithmetic decides when the router is polled; its float quirks are deliberate.
class TestMonitorSchedule : public QObject
{
    Q_OBJECT

private slots:
    void captureTick_data()
    {
        QTest::addColumn<float>("interval");
        QTest::addColumn<int>("hiddenAfter");
        QTest::addColumn<int>("shownAfter"); // ticks asleep before the window is shown; -1: stays hidden
        QTest::addColumn<int>("captureTick");
        QTest::newRow("one minute captures on the 61st tick") << 1.0f << neverHidden << -1 << 61;
        QTest::newRow("five minutes") << 5.0f << neverHidden << -1 << 300;
        QTest::newRow("negative captures on every tick") << -2.0f << neverHidden << -1 << 1;
        QTest::newRow("reached exactly on a tick, captures on that tick") << tickMinutes << neverHidden << -1 << 1;
        QTest::newRow("one minute, hidden throughout") << 1.0f << 0 << -1 << 61;
        QTest::newRow("five minutes, hidden after 10 ticks") << 5.0f << 10 << -1 << 300;
        QTest::newRow("hidden then shown: capture at the same tick") << 1.0f << 5 << 20 << 61;
        QTest::newRow("shown again on the tick before the capture") << 5.0f << 100 << 199 << 300;
        QTest::newRow("shown before a tick passed") << 0.5f << 3 << 0 << 30;
        QTest::newRow("longer than one sleep") << 90.0f << 0 << -1 << 5400;
        QTest::newRow("zero captures on the first tick") << 0.0f << 0 << -1 << 1;
        QTest::newRow("reached exactly on a tick while hidden") << tickMinutes << 0 << -1 << 1;
    }

    // Hidden, the ticker sleeps for the ticks ticksUntilDue() gives and hands them over at once;
    // shown again, it hands over those that passed and ticks one by one. Either way the capture
    // comes on the tick the per-tick count gives.
    void captureTick()
    {
        QFETCH(float, interval);
        QFETCH(int, hiddenAfter);
        QFETCH(int, shownAfter);
        QFETCH(int, captureTick);
        MonitorSchedule schedule;
        schedule.start(interval, tickMinutes);
        int tick = 0;
        bool due = false;
        // The controller's handling of ticks handed over at once: the last one may fall due.
        const auto handOver = [&](int count) {
            tick += count;
            schedule.addTicks(count - 1);
            due = schedule.tick();
        };
        while (!due && tick < hiddenAfter)
            handOver(1);
        while (!due && tick < neverHidden) {
            const int asleep = schedule.ticksUntilDue(3600);
            if (shownAfter >= 0 && shownAfter < asleep)
                break;
            handOver(asleep);
        }
        if (!due && shownAfter > 0)
            handOver(shownAfter);
        while (!due && tick < neverHidden)
            handOver(1);
        QCOMPARE(tick, captureTick);
    }

    void countdownText_data()
    {
        QTest::addColumn<float>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("full minute") << 1.0f << "00:01:00";
        QTest::newRow("one minute, tick before the capture") << minutesLeftAfter(1.0f, 60) << "00:00:00";
        QTest::newRow("five minutes, tick before the capture") << minutesLeftAfter(5.0f, 299) << "00:00:01";
        QTest::newRow("more than a day") << 1500.5f << "25:00:30";
        QTest::newRow("negative shows zero") << -3.0f << "00:00:00";
        QTest::newRow("not a number shows zero") << std::numeric_limits<float>::quiet_NaN() << "00:00:00";
    }

    void countdownText()
    {
        QFETCH(float, minutes);
        QFETCH(QString, text);
        QCOMPARE(MonitorSchedule::countdownText(minutes), text);
    }

    // A refused text starts no monitoring; only a written 0 polls at every tick.
    void intervalFrom_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("minutes"); // -1: refused
        QTest::newRow("trailing words") << "2 minutes" << 2.0f;
        QTest::newRow("leading blanks, decimal point") << "  0.5" << 0.5f;
        QTest::newRow("decimal comma") << "0,5" << 0.5f;
        QTest::newRow("decimal comma before words") << "1,5 min" << 1.5f;
        QTest::newRow("fraction only, comma") << ",25" << 0.25f;
        QTest::newRow("zero written as such") << "0" << 0.0f;
        QTest::newRow("zero with a fraction") << "-0,00" << 0.0f;
        QTest::newRow("empty box") << "" << -1.0f;
        QTest::newRow("words first") << "abc" << -1.0f;
        QTest::newRow("comma alone") << "," << -1.0f;
        QTest::newRow("negative") << "-2" << -1.0f;
        QTest::newRow("too small for a float") << "0," + QString(60, u'0') + "1" << -1.0f;
        QTest::newRow("too large for a float") << QString(50, QLatin1Char('9')) << -1.0f;
    }

    void intervalFrom()
    {
        QFETCH(QString, text);
        QFETCH(float, minutes);
        QCOMPARE(MonitorSchedule::intervalFrom(text).value_or(-1.0f), minutes);
    }
};

QTEST_GUILESS_MAIN(TestMonitorSchedule)
#include "TestMonitorSchedule.moc"
