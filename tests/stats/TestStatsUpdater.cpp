#include "stats/AppState.h"
#include "stats/LineStatTable.h"
#include "stats/StatsUpdater.h"
#include "support/FakeClock.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayNotice.h"

#include <QTest>

#include <limits>
#include <memory>

using Values = std::array<float, statCount>;
Q_DECLARE_METATYPE(Values)
Q_DECLARE_METATYPE(QList<Values>)

namespace {

constexpr Values lineUpValues{10.0f, 10.0f, 30.0f, 30.0f};
constexpr Values lineDownValues{5.0f, 10.0f, 30.0f, 30.0f};
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
// Stands for a statistic that has had no number in this run: it keeps its 0.0 start value.
constexpr float neverMeasured = -std::numeric_limits<float>::infinity();

const QString ukDropTime = QStringLiteral("Thu 05/03/2026 07:08:09");

} // namespace

// Minimum, maximum, line state and the one balloon per drop after every capture.
class TestStatsUpdater : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void dropSequence_data();
    void dropSequence();
    void balloon_carriesDropTimeAndWarning();
    void lineTest_data();
    void lineTest();
    void minMax_data();
    void minMax();
    void trayTip_threeLines();

private:
    void capture(const Values& values);

    LineStatTable m_table;
    AppState m_state;
    RecordingStatusLine m_statusLine;
    RecordingStatsDisplay m_display;
    RecordingTrayNotice m_tray;
    FakeClock m_clock;
    std::unique_ptr<StatsUpdater> m_updater;
};

void TestStatsUpdater::init()
{
    m_table = LineStatTable();
    m_state = AppState();
    m_statusLine = RecordingStatusLine();
    m_display = RecordingStatsDisplay();
    m_tray = RecordingTrayNotice();
    m_updater = std::make_unique<StatsUpdater>(
        m_table, m_state, m_statusLine, m_display, m_tray, m_clock, QLocale(QLocale::English, QLocale::UnitedKingdom));
}

void TestStatsUpdater::capture(const Values& values)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        const bool measured = values[i] != neverMeasured;
        m_table.currentValues[i] = measured ? values[i] : m_table.currentValues[i];
        m_table.measured[i] = m_table.measured[i] || measured;
    }
    m_updater->updateStats();
}

// Steps: U or D is a capture finding the line up or down, with + in the tray and - on screen;
// C is the tray interaction acknowledging the balloon.
void TestStatsUpdater::dropSequence_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("balloonsOn");
    QTest::addColumn<int>("balloons");
    QTest::addColumn<int>("trayRefreshes");

    QTest::newRow("first capture down in tray") << "D+" << true << 0 << 1;
    QTest::newRow("up, down, down in tray") << "U+ D+ D+" << true << 1 << 3;
    QTest::newRow("drop while shown, then down in tray") << "U- D- D+" << true << 0 << 1;
    QTest::newRow("drop while shown, up again in tray, drop") << "U- D- U+ D+" << true << 1 << 2;
    QTest::newRow("balloons off") << "U+ D+ U+ D+" << false << 0 << 4;
    QTest::newRow("pending notice blocks second drop") << "U+ D+ U+ D+" << true << 1 << 4;
    QTest::newRow("acknowledged notice allows next drop") << "U+ D+ C U+ D+" << true << 2 << 4;
}

void TestStatsUpdater::dropSequence()
{
    QFETCH(QString, steps);
    QFETCH(bool, balloonsOn);
    QFETCH(int, balloons);
    QFETCH(int, trayRefreshes);

    m_state.useBalloons = balloonsOn;
    int downCaptures = 0;
    for (const QString& step : steps.split(QLatin1Char(' '))) {
        if (step == QLatin1String("C")) {
            m_state.dropNotified = false;
            continue;
        }
        m_tray.added = step.endsWith(QLatin1Char('+'));
        const bool up = step.startsWith(QLatin1Char('U'));
        downCaptures += up ? 0 : 1;
        capture(up ? lineUpValues : lineDownValues);
        QCOMPARE(m_state.wasLineUp, up);
    }
    QCOMPARE(m_tray.balloons.size(), balloons);
    QCOMPARE(m_tray.tips.size(), trayRefreshes);
    QCOMPARE(m_state.dropNotified, balloons > 0 && !steps.endsWith(QLatin1String("C")));
    // Drops show on the window whatever the tray does.
    QCOMPARE(m_display.lastDrops.size(), downCaptures);
}

void TestStatsUpdater::balloon_carriesDropTimeAndWarning()
{
    m_state.useBalloons = true;
    m_tray.added = true;
    capture(lineUpValues);
    capture(lineDownValues);
    QCOMPARE(m_tray.balloons.size(), 1);
    const RecordingTrayNotice::Balloon& balloon = m_tray.balloons.first();
    QCOMPARE(balloon.text, ukDropTime + QStringLiteral("\r\nADSL connection dropped."));
    QCOMPARE(balloon.title, QStringLiteral("Linegauge"));
    QCOMPARE(balloon.infoFlags, 2u);
    QCOMPARE(balloon.timeoutMs, 3000);
    QCOMPARE(m_tray.tips.last(), m_state.trayTip);
}

void TestStatsUpdater::lineTest_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<QString>("state");

    QTest::newRow("every value on its threshold") << Values{6.0f, 6.0f, 50.0f, 50.0f} << "up";
    QTest::newRow("down SNR 5.9") << Values{5.9f, 10.0f, 30.0f, 30.0f} << "down";
    QTest::newRow("up SNR 5.9") << Values{10.0f, 5.9f, 30.0f, 30.0f} << "down";
    QTest::newRow("down attenuation 50.1") << Values{10.0f, 10.0f, 50.1f, 30.0f} << "down";
    QTest::newRow("up attenuation 50.1") << Values{10.0f, 10.0f, 30.0f, 50.1f} << "down";
    QTest::newRow("value not a number") << Values{notANumber, 10.0f, 30.0f, 30.0f} << "down";
    QTest::newRow("SNR never measured, the rest passing") << Values{neverMeasured, 10.0f, 30.0f, 30.0f} << "undecided";
    QTest::newRow("attenuation never measured, the rest passing")
        << Values{10.0f, 10.0f, 30.0f, neverMeasured} << "undecided";
    QTest::newRow("one measured value past its threshold")
        << Values{5.9f, neverMeasured, neverMeasured, neverMeasured} << "down";
}

void TestStatsUpdater::lineTest()
{
    QFETCH(Values, values);
    QFETCH(QString, state);
    const bool up = state == QLatin1String("up");
    const bool down = state == QLatin1String("down");

    m_state.wasLineUp = true;
    m_state.useBalloons = true;
    m_tray.added = true;
    capture(values);
    QCOMPARE(m_state.lineUp, up);
    const Colour colour = up ? Colour(0x00008000) : Colour(0x000000FF);
    QCOMPARE(m_statusLine.colours, up || down ? QList<Colour>{colour} : QList<Colour>());
    const QString icon = up ? QStringLiteral("small_online") : QStringLiteral("small_offline");
    QCOMPARE(m_display.icons, up || down ? QStringList{icon} : QStringList());
    const QStringList drops = down ? QStringList{QStringLiteral("Last connection drop: ") + ukDropTime} : QStringList();
    QCOMPARE(m_display.lastDrops, drops);
    QCOMPARE(m_tray.balloons.size(), down ? 1 : 0);
}

void TestStatsUpdater::minMax_data()
{
    QTest::addColumn<QList<Values>>("captures");
    QTest::addColumn<QStringList>("minimum");
    QTest::addColumn<QStringList>("maximum");
    QTest::addColumn<float>("peak");

    QTest::newRow("first capture replaces the start values")
        << QList<Values>{{10.5f, 11.0f, 30.0f, 20.0f}} << QStringList{"10.5", "11.0", "30.0", "20.0"}
        << QStringList{"10.5", "11.0", "30.0", "20.0"} << 30.0f;
    QTest::newRow("above 100 and below 0 keep the start values")
        << QList<Values>{{150.0f, -3.0f, 30.0f, 20.0f}} << QStringList{"100.0", "-3.0", "30.0", "20.0"}
        << QStringList{"150.0", "0.0", "30.0", "20.0"} << 150.0f;
    QTest::newRow("range accumulates over captures")
        << QList<Values>{{10.0f, 10.0f, 30.0f, 30.0f}, {12.0f, 8.0f, 30.0f, 31.0f}}
        << QStringList{"10.0", "8.0", "30.0", "30.0"} << QStringList{"12.0", "10.0", "30.0", "31.0"} << 31.0f;
    QTest::newRow("never measured keeps its captions and takes no part in the peak")
        << QList<Values>{{-4.0f, neverMeasured, 30.0f, neverMeasured}} << QStringList{"-4.0", "", "30.0", ""}
        << QStringList{"0.0", "", "30.0", ""} << 30.0f;
    QTest::newRow("value not a number leaves minimum, maximum and peak")
        << QList<Values>{{10.0f, 10.0f, 10.0f, 10.0f}, {notANumber, 4.0f, 4.0f, 4.0f}}
        << QStringList{"10.0", "4.0", "4.0", "4.0"} << QStringList{"10.0", "10.0", "10.0", "10.0"} << 4.0f;
}

void TestStatsUpdater::minMax()
{
    QFETCH(QList<Values>, captures);
    QFETCH(QStringList, minimum);
    QFETCH(QStringList, maximum);
    QFETCH(float, peak);

    for (const Values& values : captures)
        capture(values);
    for (int i = 0; i < statCount; ++i) {
        QCOMPARE(m_display.minimum[std::size_t(i)], minimum[i]);
        QCOMPARE(m_display.maximum[std::size_t(i)], maximum[i]);
    }
    QCOMPARE(m_state.capturePeak, peak);
}

void TestStatsUpdater::trayTip_threeLines()
{
    capture({6.5f, 12.0f, 23.4f, 11.0f});
    QCOMPARE(m_state.trayTip, QStringLiteral("Linegauge (Monitor ON)\r\nSNR:6.5/12\r\nAttn:23.4/11"));
}

QTEST_GUILESS_MAIN(TestStatsUpdater)
#include "TestStatsUpdater.moc"
