#include "app/MonitorSchedule.h"

#include <QTest>

// The schedule's arithmetic decides when the router is polled; its float quirks are deliberate.
class TestMonitorSchedule : public QObject
{
    Q_OBJECT

private slots:
    void captureTick_data();
    void captureTick();
    void countdownText_data();
    void countdownText();
    void intervalFrom_data();
    void intervalFrom();
};

void TestMonitorSchedule::captureTick_data()
{
    QTest::addColumn<float>("interval");
    QTest::addColumn<int>("captureTick");
    QTest::addColumn<QString>("countdownBeforeCapture");
    QTest::newRow("one minute captures on the 61st tick") << 1.0f << 61 << "00:00:00";
    QTest::newRow("five minutes") << 5.0f << 300 << "00:00:01";
    QTest::newRow("negative captures on every tick") << -2.0f << 1 << "";
    QTest::newRow("reached exactly on a tick, captures on that tick") << 1000.0f / 60000.0f << 1 << "";
}

void TestMonitorSchedule::captureTick()
{
    QFETCH(float, interval);
    QFETCH(int, captureTick);
    QFETCH(QString, countdownBeforeCapture);
    MonitorSchedule schedule;
    schedule.start(interval, 1000.0f / 60000.0f);
    int tick = 1;
    while (!schedule.tick()) {
        QVERIFY2(tick < 100000, "no capture came");
        ++tick;
        if (tick == captureTick)
            QCOMPARE(MonitorSchedule::countdownText(schedule.minutesLeft()), countdownBeforeCapture);
    }
    QCOMPARE(tick, captureTick);
}

void TestMonitorSchedule::countdownText_data()
{
    QTest::addColumn<float>("minutes");
    QTest::addColumn<QString>("text");
    QTest::newRow("full minute") << 1.0f << "00:01:00";
    QTest::newRow("more than a day") << 1500.5f << "25:00:30";
    QTest::newRow("negative shows zero") << -3.0f << "00:00:00";
    QTest::newRow("not a number shows zero") << std::numeric_limits<float>::quiet_NaN() << "00:00:00";
}

void TestMonitorSchedule::countdownText()
{
    QFETCH(float, minutes);
    QFETCH(QString, text);
    QCOMPARE(MonitorSchedule::countdownText(minutes), text);
}

// A refused text starts no monitoring; only a written 0 polls at every tick.
void TestMonitorSchedule::intervalFrom_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<float>("minutes");
    QTest::newRow("trailing words") << "2 minutes" << true << 2.0f;
    QTest::newRow("leading blanks, decimal point") << "  0.5" << true << 0.5f;
    QTest::newRow("decimal comma") << "0,5" << true << 0.5f;
    QTest::newRow("decimal comma before words") << "1,5 min" << true << 1.5f;
    QTest::newRow("fraction only, comma") << ",25" << true << 0.25f;
    QTest::newRow("zero written as such") << "0" << true << 0.0f;
    QTest::newRow("zero with a fraction") << "-0,00" << true << 0.0f;
    QTest::newRow("empty box") << "" << false << 0.0f;
    QTest::newRow("words first") << "abc" << false << 0.0f;
    QTest::newRow("comma alone") << "," << false << 0.0f;
    QTest::newRow("negative") << "-2" << false << 0.0f;
    QTest::newRow("too small for a float") << "0," + QString(60, u'0') + "1" << false << 0.0f;
    QTest::newRow("too large for a float") << QString(50, QLatin1Char('9')) << false << 0.0f;
}

void TestMonitorSchedule::intervalFrom()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(float, minutes);
    const std::optional<float> interval = MonitorSchedule::intervalFrom(text);
    QCOMPARE(interval.has_value(), accepted);
    QCOMPARE(interval.value_or(0.0f), minutes);
}

QTEST_GUILESS_MAIN(TestMonitorSchedule)
#include "TestMonitorSchedule.moc"
