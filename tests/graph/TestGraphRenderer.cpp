#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"

#include <QTest>

#include <limits>
#include <memory>

using Values = std::array<float, statCount>;

namespace {

constexpr int surfaceWidth = 393;
constexpr int surfaceHeight = 113;
const QRgb white = qRgb(255, 255, 255);
const QRgb grid = qRgb(189, 231, 239);
const QRgb blue = qRgb(0, 0, 255);
const QRgb red = qRgb(255, 0, 0);

} // namespace

// The drawn picture, pixel by pixel, and what drawing does to the history.
class TestGraphRenderer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void gridRows_data();
    void gridRows();
    void gridColumns_elevenLines();
    void seriesLine_passesThroughItsPoints();
    void marker_isSevenPixelDiamond();
    void code_bottomRightAtNewestPoint();
    void hiddenSeries_keepsShifting();
    void redrawOnly_leavesHistory();
    void autoRange_putsLargestOnTopEdge();
    void setGraphRange_keepsUnusableTop_data();
    void setGraphRange_keepsUnusableTop();
    void absurdValues_stayOffSurface();

private:
    QRgb pixel(int x, int y) const { return m_surface->image().pixel(x, y); }
    void showOnly(int index);
    void placeSeries(int index, GraphPoint point);

    std::unique_ptr<GraphSurface> m_surface;
    std::unique_ptr<GraphState> m_state;
    std::unique_ptr<GraphRenderer> m_renderer;
};

void TestGraphRenderer::init()
{
    m_surface = std::make_unique<GraphSurface>();
    m_surface->resize(surfaceWidth, surfaceHeight);
    m_state = std::make_unique<GraphState>();
    m_state->computeScale(surfaceWidth, surfaceHeight);
    const std::array<Colour, 4> colours{0xFF0000, 0x0000FF, 0xC000C0, 0x008000};
    m_state->graphSeries.initHistory(3, colours, m_state->xStep, m_state->yScale);
    m_renderer = std::make_unique<GraphRenderer>(*m_state, *m_surface);
}

void TestGraphRenderer::showOnly(int index)
{
    for (int i = 0; i < statCount; ++i)
        m_state->seriesShown[std::size_t(i)] = i == index;
}

void TestGraphRenderer::placeSeries(int index, GraphPoint point)
{
    m_state->graphSeries.series(index).points.fill(point);
}

void TestGraphRenderer::gridRows_data()
{
    QTest::addColumn<float>("graphMax");
    QTest::addColumn<QList<int>>("rows");

    // Row 113 lies just below the surface.
    QTest::newRow("range 50") << 50.0f << QList<int>{90, 68, 45, 23, 0};
    QTest::newRow("range 55") << 55.0f << QList<int>{92, 72, 51, 31, 10};
    QTest::newRow("auto range 57.3") << 57.3f << QList<int>{112, 93, 73, 53, 34, 14};
    QTest::newRow("range 0.5 starts at 0") << 0.5f << QList<int>{0};
    QTest::newRow("top beyond 16 bits draws no rows") << 40000.0f << QList<int>{};
}

void TestGraphRenderer::gridRows()
{
    QFETCH(float, graphMax);
    QFETCH(QList<int>, rows);

    showOnly(-1);
    QVERIFY(m_renderer->setGraphRange(graphMax));
    m_renderer->drawGraph({}, true, {true, false});
    // Column 5 lies between the vertical lines at 0 and 39.
    for (int y = 0; y < surfaceHeight; ++y)
        QCOMPARE(pixel(5, y) == grid, rows.contains(y));
}

void TestGraphRenderer::gridColumns_elevenLines()
{
    showOnly(-1);
    m_renderer->drawGraph({}, true, {true, false});
    const QList<int> columns{0, 39, 79, 118, 157, 197, 236, 275, 314, 354}; // the eleventh is on x = 393
    for (int x = 0; x < surfaceWidth; ++x)
        QCOMPARE(pixel(x, 50) == grid, columns.contains(x));
}

void TestGraphRenderer::seriesLine_passesThroughItsPoints()
{
    showOnly(0);
    auto& points = m_state->graphSeries.series(0).points;
    for (int k = 0; k < SeriesRecord::pointCount; ++k)
        points[std::size_t(k)] = {k * 3, 10 + (k % 2) * 40};
    m_renderer->drawGraph({}, true, {false, true});
    for (int k = 0; k + 1 < SeriesRecord::pointCount; ++k)
        QCOMPARE(pixel(points[std::size_t(k)].x, points[std::size_t(k)].y), blue);
    QCOMPARE(pixel(3, 11), white); // between two strokes of the zigzag
}

void TestGraphRenderer::marker_isSevenPixelDiamond()
{
    showOnly(0);
    placeSeries(0, {100, 50});
    m_renderer->drawGraph({}, true, {false, true});
    QRect extent;
    for (int y = 0; y < surfaceHeight; ++y)
        for (int x = 0; x < surfaceWidth; ++x)
            if (pixel(x, y) == blue)
                extent |= QRect(x, y, 1, 1);
    QCOMPARE(extent, QRect(97, 47, 7, 7));
    for (const QPoint vertex : {QPoint(100, 47), QPoint(103, 50), QPoint(100, 53), QPoint(97, 50)})
        QCOMPARE(pixel(vertex.x(), vertex.y()), blue);
    QCOMPARE(pixel(97, 47), white);
    QCOMPARE(pixel(103, 53), white);
}

void TestGraphRenderer::code_bottomRightAtNewestPoint()
{
    showOnly(0);
    placeSeries(0, {393, 40});
    m_renderer->drawGraph({}, true, {false, false});
    const QString code = QStringLiteral("SD");
    const QRect cell(393 - m_surface->textWidth(code), 40 - m_surface->textHeight(code), m_surface->textWidth(code),
        m_surface->textHeight(code));
    int inked = 0;
    for (int y = 0; y < surfaceHeight; ++y) {
        for (int x = 0; x < surfaceWidth; ++x) {
            if (pixel(x, y) == white)
                continue;
            QCOMPARE(pixel(x, y), blue);
            QVERIFY2(cell.contains(x, y), qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            ++inked;
        }
    }
    QVERIFY(inked > 10);
}

void TestGraphRenderer::hiddenSeries_keepsShifting()
{
    showOnly(0);
    m_renderer->drawGraph({10.0f, 20.0f, 30.0f, 40.0f}, false, {false, true});
    m_renderer->drawGraph({11.0f, 25.0f, 31.0f, 41.0f}, false, {false, true});
    const auto& hidden = m_state->graphSeries.series(1).points;
    // 25 dB below the top of 50 at a yScale just under 2.26: 56.4999..., not a half.
    QCOMPARE(hidden[99], (GraphPoint{393, 56}));
    QCOMPARE(hidden[98].y, 68);
    QCOMPARE(hidden[97].y, 226);
    for (int y = 0; y < surfaceHeight; ++y)
        for (int x = 0; x < surfaceWidth; ++x)
            QVERIFY(pixel(x, y) != red);
}

void TestGraphRenderer::redrawOnly_leavesHistory()
{
    m_renderer->drawGraph({10.0f, 20.0f, 30.0f, 40.0f}, false, {true, false});
    std::vector<SeriesRecord> before;
    before.reserve(std::size_t(m_state->graphSeries.size()));
    for (int r = 0; r < m_state->graphSeries.size(); ++r)
        before.push_back(m_state->graphSeries.series(r));
    m_renderer->drawGraph({1.0f, 2.0f, 3.0f, 4.0f}, true, {true, true});
    for (int r = 0; r < m_state->graphSeries.size(); ++r)
        QVERIFY(m_state->graphSeries.series(r).points == before[std::size_t(r)].points);
}

void TestGraphRenderer::autoRange_putsLargestOnTopEdge()
{
    const Values values{10.0f, 37.3f, 5.0f, 20.0f};
    QVERIFY(m_renderer->setGraphRange(37.3f));
    m_renderer->drawGraph(values, false, {false, true});
    QCOMPARE(m_state->graphSeries.series(1).points[99].y, 0);
    QCOMPARE(pixel(392, 0), red);
}

void TestGraphRenderer::setGraphRange_keepsUnusableTop_data()
{
    QTest::addColumn<float>("top");

    QTest::newRow("zero") << 0.0f;
    QTest::newRow("negative") << -5.0f;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity();
    QTest::newRow("too small for the scale") << 1.0e-38f;
}

void TestGraphRenderer::setGraphRange_keepsUnusableTop()
{
    QFETCH(float, top);
    QVERIFY(m_renderer->setGraphRange(40.0f));
    const float yScale = m_state->yScale;
    QVERIFY(!m_renderer->setGraphRange(top));
    QCOMPARE(m_state->graphMax, 40.0f);
    QCOMPARE(m_state->yScale, yScale);
}

void TestGraphRenderer::absurdValues_stayOffSurface()
{
    const float huge = 1.0e30f;
    m_renderer->drawGraph(
        {huge, -huge, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}, false,
        {true, false});
    QCOMPARE(m_state->graphSeries.series(0).points[99].y, -1000000);
    QCOMPARE(m_state->graphSeries.series(1).points[99].y, 1000000);
    QCOMPARE(m_state->graphSeries.series(2).points[99].y, 1000000);
    QCOMPARE(m_state->graphSeries.series(3).points[99].y, -1000000);
}

QTEST_MAIN(TestGraphRenderer)
#include "TestGraphRenderer.moc"
