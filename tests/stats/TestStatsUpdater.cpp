#include "stats/LineStatTable.h"
#include "stats/NumberFormat.h"
#include "stats/StatsUpdater.h"
#include "support/FakeClock.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayNotice.h"

#include <QTest>

#include <limits>

using Values = std::array<float, statCount>;
Q_DECLARE_METATYPE(QList<Values>)

namespace {

const QLocale german(QLocale::German, QLocale::Germany);
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
// Stands for a statistic that has had no number in this run: it keeps its 0.0 start value.
constexpr float never = -std::numeric_limits<float>::infinity();

// A statistics update after each capture, with everything it shows recorded.
struct Rig
{
    Rig() { updater.setThresholds(6.0f, 50.0f); }

    LineStatTable table;
    RecordingStatusLine statusLine;
    RecordingStatsDisplay display;
    RecordingTrayNotice tray;
    FakeClock clock{QDateTime(QDate(2026, 3, 5), QTime(23, 59, 58))};
    StatsUpdater updater{table, statusLine, display, tray, clock, german};
    float peak = 0.0f;

    void capture(const Values& values)
    {
        for (std::size_t i = 0; i < values.size(); ++i) {
            table.currentValues[i] = values[i] != never ? values[i] : table.currentValues[i];
            table.measured[i] = table.measured[i] || values[i] != never;
        }
        peak = updater.updateStats();
    }
};

} // namespace

// Minimum, maximum, line state and one balloon per drop after each capture, texts in a comma locale.
class TestStatsUpdater : public QObject
{
    Q_OBJECT

private slots:
    // Steps: a capture finding the line Up or Down, + in the tray, - on screen; C acknowledges a balloon.
    void dropSequence_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("balloonsOn");
        QTest::addColumn<int>("balloons");
        QTest::addColumn<int>("trayRefreshes");
        QTest::newRow("first capture down in tray") << "D+" << true << 0 << 1;
        QTest::newRow("up, down, down in tray") << "U+ D+ D+" << true << 1 << 3;
        QTest::newRow("drop while shown, then down in tray") << "U- D- D+" << true << 0 << 1;
        QTest::newRow("balloons off") << "U+ D+ U+ D+" << false << 0 << 4;
        QTest::newRow("pending notice blocks second drop") << "U+ D+ U+ D+" << true << 1 << 4;
        QTest::newRow("acknowledged notice allows next drop") << "U+ D+ C U+ D+" << true << 2 << 4;
    }

    void dropSequence()
    {
        QFETCH(QString, steps);
        QFETCH(bool, balloonsOn);
        QFETCH(int, balloons);
        QFETCH(int, trayRefreshes);
        Rig rig;
        rig.updater.setDropNotices(balloonsOn);
        for (const QString& step : steps.split(u' ')) {
            rig.tray.inTray = step.endsWith(u'+');
            const bool up = step.startsWith(u'U');
            if (step == QLatin1String("C"))
                rig.updater.dropNoticeGone();
            else
                rig.capture({up ? 6.5f : 5.0f, 12.0f, 23.4f, 11.0f});
            QCOMPARE(rig.statusLine.colours.last(), up ? QColor(0, 128, 0) : QColor(255, 0, 0));
        }
        QCOMPARE(rig.tray.notices.size(), balloons);
        QCOMPARE(rig.updater.dropNoticeShown(), balloons > 0);
        QCOMPARE(rig.display.lastDrops.size(), steps.count(u'D'));
        QCOMPARE(rig.display.lastDrops.last(), QStringLiteral("Last connection drop: Do. 05/03/2026 23:59:58"));
        QCOMPARE(rig.tray.tips.size(), trayRefreshes);
        QCOMPARE(rig.tray.tips.last(), QStringLiteral("Linegauge (Monitor ON)\r\nSNR:5/12\r\nAttn:23,4/11"));
        QCOMPARE(rig.updater.trayTip(), rig.tray.tips.last());
        // Stopping monitoring puts the tip back and leaves the drop notice as it was.
        rig.updater.monitoringStopped();
        QCOMPARE(rig.updater.trayTip(), QStringLiteral("Linegauge (Monitor OFF)"));
        QCOMPARE(rig.updater.dropNoticeShown(), balloons > 0);
        for (const RecordingTrayNotice::Notice& notice : std::as_const(rig.tray.notices))
            QCOMPARE(notice.title + u'|' + notice.text,
                QStringLiteral("Linegauge|Do. 05/03/2026 23:59:58\r\nADSL connection dropped."));
    }

    // Shown: the window icons, then minimum and maximum as the labels show them, then the peak.
    void capture_data()
    {
        QTest::addColumn<QList<Values>>("captures");
        QTest::addColumn<QString>("shown");
        QTest::newRow("every value on its threshold")
            << QList<Values>{{6.0f, 6.0f, 50.0f, 50.0f}} << "small_online 6,0/6,0/50,0/50,0 6,0/6,0/50,0/50,0 50";
        QTest::newRow("up SNR 5.9") << QList<Values>{{10.0f, 5.9f, 30.0f, 30.0f}}
                                    << "small_offline 10,0/5,9/30,0/30,0 10,0/5,9/30,0/30,0 30";
        QTest::newRow("above 100 and below 0 keep the start values") << QList<Values>{
            {150.0f, -3.0f, 30.0f, 20.0f}} << "small_offline 100,0/-3,0/30,0/20,0 150,0/0,0/30,0/20,0 150";
        QTest::newRow("range accumulates, by less than 1 dB too") << QList<Values>{{10.0f, 10.0f, 30.0f, 30.0f},
            {12.0f, 9.5f, 30.0f, 30.5f}} << "small_online,small_online 10,0/9,5/30,0/30,0 12,0/10,0/30,0/30,5 30.5";
        // An undecided line shows no icon.
        QTest::newRow("never measured takes no part, the rest passing")
            << QList<Values>{{10.0f, 10.0f, 30.0f, never}} << " 10,0/10,0/30,0/ 10,0/10,0/30,0/ 30";
        QTest::newRow("one measured value past its threshold")
            << QList<Values>{{-4.0f, never, 60.0f, never}} << "small_offline -4,0//60,0/ 0,0//60,0/ 60";
        QTest::newRow("value not a number is down and leaves minimum, maximum and peak")
            << QList<Values>{{10.0f, 10.0f, 10.0f, 10.0f}, {notANumber, 4.0f, 4.0f, 4.0f}}
            << "small_online,small_offline 10,0/4,0/4,0/4,0 10,0/10,0/10,0/10,0 4";
    }

    void capture()
    {
        QFETCH(QList<Values>, captures);
        QFETCH(QString, shown);

        Rig rig;
        for (const Values& values : captures)
            rig.capture(values);
        const auto joined = [](const auto& texts) { return QStringList(texts.begin(), texts.end()).join(u'/'); };
        QCOMPARE(QStringList({rig.display.icons.join(u','), joined(rig.display.minimum), joined(rig.display.maximum),
                                 QString::number(rig.peak)})
                     .join(u' '),
            shown);
    }

    void valueText_data()
    {
        QTest::addColumn<bool>("tooltip");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("label: exact half rounds away from zero") << false << 6.25f << "6,3";
        QTest::newRow("label: small negative has no minus zero") << false << -0.04f << "0,0";
        QTest::newRow("label: large value has no grouping") << false << 1.0e7f << "10000000,0";
        QTest::newRow("label: not a number") << false << notANumber << "nan";
        QTest::newRow("tip: seven digits") << true << 1234567.0f << "1234567";
    }

    void valueText()
    {
        QFETCH(bool, tooltip);
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(tooltip ? NumberFormat::tooltipForm(value, german) : NumberFormat::labelForm(value, german), text);
    }
};

QTEST_GUILESS_MAIN(TestStatsUpdater)
#include "TestStatsUpdater.moc"
