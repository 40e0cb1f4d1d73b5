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
    void leadingNumber_data();
    void leadingNumber();
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

void TestMonitorSchedule::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::newRow("trailing words") << "2 minutes" << 2.0f;
    QTest::newRow("leading blanks, point decimal") << "  0.5" << 0.5f;
    QTest::newRow("comma is not a decimal separator") << "1,5" << 1.0f;
    QTest::newRow("words first") << "abc" << 0.0f;
    QTest::newRow("negative") << "-2" << -2.0f;
    QTest::newRow("too large for a float") << QString(50, QLatin1Char('9')) << 0.0f;
}

void TestMonitorSchedule::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(float, value);
    QCOMPARE(MonitorSchedule::leadingNumber(text), value);
}

QTEST_GUILESS_MAIN(TestMonitorSchedule)
#include "TestMonitorSchedule.moc"
