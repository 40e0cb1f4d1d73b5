#include "PlantedLogs.h"
#include "report/RobustStatistics.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cmath>

using RobustStatistics::Point;
using Series = std::vector<double>;

constexpr unsigned seeds = 10;

Q_DECLARE_METATYPE(PlantedLogs::Scenario)

// Findings from simulated logs whose truth is known: each planted pattern found within PlantedLogs'
// tolerances in every seed, plain noise silent in nine seeds of ten; and the statistics beneath
// against exact values, also far out where careless sums underflow.
class TestLineFindings : public QObject
{
    Q_OBJECT

private slots:
    void scenarios_data()
    {
        QTest::addColumn<PlantedLogs::Scenario>("scenario");
        QTest::addColumn<int>("misses"); // seeds whose findings may be wrong
        for (const PlantedLogs::Scenario& planted : PlantedLogs::plantedScenarios())
            QTest::newRow(qPrintable(planted.name)) << planted << 0;
        for (const PlantedLogs::Scenario& noise : PlantedLogs::noiseScenarios())
            QTest::newRow(qPrintable(noise.name)) << noise << 1;
    }

    void scenarios()
    {
        QFETCH(PlantedLogs::Scenario, scenario);
        QFETCH(int, misses);
        QStringList wrong;
        for (unsigned seed = 1; seed <= seeds; ++seed) {
            const QString found = PlantedLogs::mismatch(scenario, PlantedLogs::run(scenario, seed));
            if (!found.isEmpty())
                wrong << QStringLiteral("seed %1: %2").arg(seed).arg(found);
        }
        QVERIFY2(wrong.size() <= misses, qPrintable(wrong.join(u'\n')));
    }

    // Too short or sparse a log says so; thirty drops within an hour are one bad day, no pattern.
    void notes_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("every");
        // "noon": a daily drop near noon; "flapping": down at every fourth minute on 15 March from
        // 10:00; "midnight": down at each midnight capture; "none": no drop
        QTest::addColumn<QString>("drops");
        QTest::addColumn<QString>("note"); // the start of the note; empty: patterns are read
        QTest::newRow("13 days") << 13 << 300 << "noon"
                                 << "Too little log to look for patterns: only 13 days have 12";
        QTest::newRow("a capture every three hours") << 60 << 10800 << "noon"
                                                     << "Too little log to look for patterns: no day";
        QTest::newRow("an hourly capture for 14 days") << 14 << 3600 << "noon"
                                                       << "";
        QTest::newRow("one bad day") << 30 << 120 << "flapping"
                                     << "Nothing stands out from chance ";
        QTest::newRow("more readable days than kept") << 20300 << 7200 << "none"
                                                      << "Too long a log to look";
        QTest::newRow("more drop days than kept") << 20300 << 10800 << "midnight"
                                                  << "Too long a log to look";
    }

    void notes()
    {
        QFETCH(int, days);
        QFETCH(int, every);
        QFETCH(QString, drops);
        QFETCH(QString, note);
        LogSimulation::Options options = PlantedLogs::options(days, every);
        if (drops == u"noon")
            options.dropMinute = 12 * 60;
        const QString downAt = drops == u"flapping" ? QStringLiteral("15/03/2026,10:(?:[024][048]|[135][26])")
                                                    : QStringLiteral("../../....,00:00");
        QString log = QString::fromLatin1(PlantedLogs::logOf(options));
        if (drops == u"flapping" || drops == u"midnight")
            log.replace(
                QRegularExpression(QStringLiteral("^(%1:..),[^,]*").arg(downAt), QRegularExpression::MultilineOption),
                QStringLiteral("\\1,3.0"));
        const ReportFigures figures = PlantedLogs::figuresOf(log.toLatin1());
        QVERIFY(drops != u"flapping"
            || std::any_of(
                figures.days.begin(), figures.days.end(), [](const DayFigures& day) { return day.drops >= 15; }));
        QVERIFY2(note.isEmpty() ? figures.findings.note.isEmpty() : figures.findings.note.startsWith(note),
            qPrintable(figures.findings.note));
        QCOMPARE(figures.findings.list.empty(), !note.isEmpty());
    }

    void tails_data()
    {
        QTest::addColumn<bool>("binomial");
        QTest::addColumn<QList<double>>("arguments"); // n, p, k or population, marked, draws, k
        QTest::addColumn<double>("expected");
        QTest::newRow("eight heads of ten or more") << true << QList<double>{10, 0.5, 8} << 0.0546875;
        QTest::newRow("at least nothing") << true << QList<double>{10, 0.5, 0} << 1.0;
        QTest::newRow("more than all") << true << QList<double>{10, 0.5, 11} << 0.0;
        QTest::newRow("below the mean") << true << QList<double>{20, 0.1, 1} << 0.8784233454094307;
        QTest::newRow("far above a small mean") << true << QList<double>{1000, 0.001, 10} << 1.0742833868464864e-07;
        QTest::newRow("all drawn are marked") << false << QList<double>{56, 40, 20, 20} << 0.0001754635299833635;
        QTest::newRow("drawn below the mean") << false << QList<double>{50, 25, 10, 3} << 0.9631225295177146;
        QTest::newRow("more marked than there are") << false << QList<double>{10, 3, 5, 4} << 0.0;
    }

    void tails()
    {
        QFETCH(bool, binomial);
        QFETCH(QList<double>, arguments);
        QFETCH(double, expected);
        const auto whole = [&](int i) { return qint64(arguments[i]); };
        const double tail = binomial ? RobustStatistics::binomialTail(whole(0), arguments[1], whole(2))
                                     : RobustStatistics::hypergeometricTail(whole(0), whole(1), whole(2), whole(3));
        QVERIFY2(
            std::abs(tail - expected) <= 1e-9 * std::max(expected, 1e-9), qPrintable(QString::number(tail, 'g', 17)));
    }

    // A line y = 2x + 1 over x = 0..10 with two wild values among them.
    void slopeIgnoresWildValues()
    {
        std::vector<Point> points;
        for (int x = 0; x <= 10; ++x)
            points.push_back({double(x), x == 3 ? 90.0 : x == 7 ? -40.0 : 2.0 * x + 1.0});
        QCOMPARE(RobustStatistics::theilSenSlope(points), 2.0);
    }

    void ranks_data()
    {
        QTest::addColumn<Series>("series");
        QTest::addColumn<double>("score");
        QTest::addColumn<int>("change"); // where the values change, -1: no check
        QTest::addColumn<double>("changeChance");
        QTest::newRow("rising") << Series{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << 3.9354796403996297 << -1 << 0.0;
        QTest::newRow("falling") << Series{10, 9, 8, 7, 6, 5, 4, 3, 2, 1} << -3.9354796403996297 << -1 << 0.0;
        QTest::newRow("flat") << Series{4, 4, 4, 4, 4, 4} << 0.0 << -1 << 0.0;
        QTest::newRow("step after five") << Series{0, 0, 0, 0, 0, 5, 5, 5, 5, 5} << 2.5067182457620487 << 5
                                         << 0.06614250297660204;
    }

    void ranks()
    {
        QFETCH(Series, series);
        QFETCH(double, score);
        QFETCH(int, change);
        QFETCH(double, changeChance);
        QVERIFY(std::abs(RobustStatistics::mannKendallScore(series) - score) < 1e-12);
        if (change >= 0) {
            const RobustStatistics::ChangePoint found = RobustStatistics::pettittChange(series);
            QCOMPARE(found.index, std::size_t(change));
            QVERIFY(std::abs(found.p - changeChance) < 1e-12);
        }
    }
};

QTEST_GUILESS_MAIN(TestLineFindings)
#include "TestLineFindings.moc"
