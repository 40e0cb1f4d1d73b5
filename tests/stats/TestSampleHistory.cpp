#include "stats/SampleHistory.h"

#include <QTest>

#include <limits>

// Start positions of the history and the rounding of every coordinate.
class TestSampleHistory : public QObject
{
    Q_OBJECT

private slots:
    void initHistory_data();
    void initHistory();
    void initHistory_again_discardsOldRecords();
    void toPixel_data();
    void toPixel();
};

void TestSampleHistory::initHistory_data()
{
    QTest::addColumn<float>("xStep");
    QTest::addColumn<float>("yScale");
    QTest::addColumn<int>("x50");
    QTest::addColumn<int>("x99");
    QTest::addColumn<int>("y");

    // The float factors are widened before multiplying: 3.93f is a little above 3.93.
    QTest::newRow("full width, default range") << float(393 / 100.0) << float(113 / 50.0) << 197 << 389 << 226;
    QTest::newRow("range of 120 puts the start line inside")
        << float(393 / 100.0) << float(113 / 120.0) << 197 << 389 << 94;
    QTest::newRow("halves go to the even neighbour") << 2.5f << 0.125f << 125 << 248 << 12;
}

void TestSampleHistory::initHistory()
{
    QFETCH(float, xStep);
    QFETCH(float, yScale);
    QFETCH(int, x50);
    QFETCH(int, x99);
    QFETCH(int, y);

    SampleHistory history;
    // Fewer colours than records: the last record draws black rather than reading past them.
    const std::array<Colour, 3> colours{0xFF0000, 0x0000FF, 0xC000C0};
    history.initHistory(3, colours, xStep, yScale);
    QCOMPARE(history.size(), 4);
    QCOMPARE(history.series(1).colour, Colour(0x0000FF));
    QCOMPARE(history.series(3).colour, Colour(0));
    for (int r = 0; r < 4; ++r) {
        const auto& points = history.series(r).points;
        QCOMPARE(points[0].x, 0);
        QCOMPARE(points[50].x, x50);
        QCOMPARE(points[99].x, x99);
        for (const GraphPoint& point : points)
            QCOMPARE(point.y, y);
    }
}

void TestSampleHistory::initHistory_again_discardsOldRecords()
{
    SampleHistory history;
    const std::array<Colour, 4> colours{};
    history.initHistory(3, colours, 1.0f, 1.0f);
    history.series(0).points[5].y = 7;
    history.initHistory(3, colours, 1.0f, 1.0f);
    QCOMPARE(history.series(0).points[5].y, 100);
    history.initHistory(-1, colours, 1.0f, 1.0f);
    QCOMPARE(history.size(), 0);
}

void TestSampleHistory::toPixel_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("pixel");

    QTest::newRow("two and a half") << 2.5 << 2;
    QTest::newRow("three and a half") << 3.5 << 4;
    QTest::newRow("minus two and a half") << -2.5 << -2;
    QTest::newRow("just above a half") << 2.5000001 << 3;
    QTest::newRow("far below the surface") << 1.0e30 << 1000000;
    QTest::newRow("far above the surface") << -1.0e30 << -1000000;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 1000000;
    QTest::newRow("not a number lies off the bottom") << std::numeric_limits<double>::quiet_NaN() << 1000000;
}

void TestSampleHistory::toPixel()
{
    QFETCH(double, value);
    QFETCH(int, pixel);
    QCOMPARE(SampleHistory::toPixel(value), pixel);
}

QTEST_GUILESS_MAIN(TestSampleHistory)
#include "TestSampleHistory.moc"
