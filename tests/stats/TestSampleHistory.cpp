#include "stats/SampleHistory.h"

#include <QTest>

#include <limits>

// Start positions of the history and the rounding of every coordinate.
class TestSampleHistory : public QObject
{
    Q_OBJECT

private slots:
    // Every call starts afresh: records beyond the new ones and every changed point are gone. Fewer
    // colours than records: the last record draws black rather than reading past them.
    void initHistory_startsAfresh()
    {
        SampleHistory history;
        const std::array<Colour, 3> colours{0xFF0000, 0x0000FF, 0xC000C0};
        history.initHistory(5, colours, 1.0f, 1.0f);
        history.series(0).points[50] = {7, 7};
        history.initHistory(3, colours, 2.5f, 0.125f);
        QCOMPARE(history.size(), 4);
        QCOMPARE(history.series(1).colour, Colour(0x0000FF));
        QCOMPARE(history.series(3).colour, Colour(0));
        for (int r = 0; r < 4; ++r) {
            // Halves go to the even neighbour: 50 * 2.5 = 125, 99 * 2.5 = 247.5 and 100 * 0.125 = 12.5.
            const auto& points = history.series(r).points;
            QCOMPARE(points[50].x, 125);
            QCOMPARE(points[99].x, 248);
            for (const GraphPoint& point : points)
                QCOMPARE(point.y, 12);
        }
        history.initHistory(-1, colours, 2.5f, 0.125f);
        QCOMPARE(history.size(), 0);
    }

    void toPixel_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("pixel");

        QTest::newRow("two and a half") << 2.5 << 2;
        QTest::newRow("three and a half") << 3.5 << 4;
        QTest::newRow("minus two and a half") << -2.5 << -2;
        QTest::newRow("just above a half") << 2.5000001 << 3;
        QTest::newRow("far below the surface") << 1.0e30 << 1000000;
        QTest::newRow("far above the surface") << -1.0e30 << -1000000;
        QTest::newRow("not a number lies off the bottom") << std::numeric_limits<double>::quiet_NaN() << 1000000;
    }

    void toPixel()
    {
        QFETCH(double, value);
        QFETCH(int, pixel);
        QCOMPARE(SampleHistory::toPixel(value), pixel);
    }
};

QTEST_GUILESS_MAIN(TestSampleHistory)
#include "TestSampleHistory.moc"
