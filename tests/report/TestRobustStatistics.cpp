#include "report/RobustStatistics.h"

#include <QTest>

#include <cmath>

using RobustStatistics::Point;

namespace {

// A line y = 2x + 1 over x = 0..10 with two wild values among them.
std::vector<Point> lineWithOutliers()
{
    std::vector<Point> points;
    for (int x = 0; x <= 10; ++x)
        points.push_back({double(x), x == 3 ? 90.0 : x == 7 ? -40.0 : 2.0 * x + 1.0});
    return points;
}

std::vector<double> values(std::initializer_list<double> list)
{
    return list;
}

} // namespace

// The statistics the findings rest on, against values worked out exactly: chance tails far in
// either direction (where a careless sum underflows or loses everything to rounding), a slope that
// two wild days cannot move, and rank scores of runs that rise, stay flat or step.
class TestRobustStatistics : public QObject
{
    Q_OBJECT

private slots:
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

    void slopeIgnoresWildValues() { QCOMPARE(RobustStatistics::theilSenSlope(lineWithOutliers()), 2.0); }

    void ranks_data()
    {
        QTest::addColumn<std::vector<double>>("series");
        QTest::addColumn<double>("score");
        QTest::addColumn<int>("change"); // where the values change, -1: no check
        QTest::addColumn<double>("changeChance");

        QTest::newRow("rising") << values({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) << 3.9354796403996297 << -1 << 0.0;
        QTest::newRow("falling") << values({10, 9, 8, 7, 6, 5, 4, 3, 2, 1}) << -3.9354796403996297 << -1 << 0.0;
        QTest::newRow("flat") << values({4, 4, 4, 4, 4, 4}) << 0.0 << -1 << 0.0;
        QTest::newRow("step after five") << values({0, 0, 0, 0, 0, 5, 5, 5, 5, 5}) << 2.5067182457620487 << 5
                                         << 0.06614250297660204;
    }

    void ranks()
    {
        QFETCH(std::vector<double>, series);
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

QTEST_GUILESS_MAIN(TestRobustStatistics)
#include "TestRobustStatistics.moc"
