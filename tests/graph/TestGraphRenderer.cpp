#include "graph/GraphOptions.h"
#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"
#include "graph/PageTextView.h"
#include "graph/SeriesSelection.h"

#include <QTest>

#include <limits>

namespace {

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

// A graph of 393 by 113 pixels at the default range, showing one series.
struct Rig
{
    GraphSurface surface;
    GraphState state;
    GraphRenderer renderer{state, surface};

    explicit Rig(int shown)
    {
        surface.resize(393, 113);
        state.computeScale(393, 113);
        state.graphSeries.initHistory(
            4, std::array<Colour, 4>{0xFF0000, 0x0000FF, 0xC000C0, 0x008000}, state.xStep, state.yScale);
        for (int i = 0; i < statCount; ++i)
            state.seriesShown[std::size_t(i)] = i == shown;
    }
};

} // namespace

// The drawn picture, what drawing does to the history, and the history's pixel positions; the graph
// menu's check marks, the series selection by label clicks and the page-text view switch.
class TestGraphRenderer : public QObject
{
    Q_OBJECT

private slots:
    void picture_data()
    {
        QTest::addColumn<float>("graphMax");
        QTest::addColumn<bool>("markers");
        QTest::addColumn<QString>("fixture");
        QTest::newRow("range 50") << 50.0f << true << "range-50.png";
        QTest::newRow("top beyond 16 bits draws no rows") << 40000.0f << true << "range-40000.png";
        // The code's cell ends exactly at the newest point.
        QTest::newRow("code instead of the marker") << 50.0f << false << "code.png";
    }

    // The grid over a history narrower than the surface shows all eleven columns, the last one at its
    // newest point; a zigzag series with its marker or code at its newest point, clear of the zigzag,
    // and a hidden one left out.
    void picture()
    {
        QFETCH(float, graphMax);
        QFETCH(bool, markers);
        QFETCH(QString, fixture);
        Rig rig(0);
        rig.state.computeXStep(380);
        QVERIFY(rig.renderer.setGraphRange(graphMax));
        for (int r = 0; r < 2; ++r) {
            for (int k = 0; k < SeriesRecord::pointCount; ++k)
                rig.state.graphSeries.series(r).points[std::size_t(k)] = {k * 3, 10 + (k % 2) * 40 + r * 20};
        }
        rig.state.graphSeries.series(0).points[99] = {360, 100};
        rig.renderer.drawGraph({}, true, {true, markers});
        const QImage expected(QStringLiteral(LINEGAUGE_TEST_DATA "/graph/") + fixture);
        QCOMPARE(
            rig.surface.image().convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    }

    // Every series shifts and takes its newest point, shown or not; a redraw changes no point. At the
    // default range 25 dB lies 56.4999... pixels down, not a half.
    void capture()
    {
        Rig rig(0);
        rig.renderer.drawGraph({10.0f, 20.0f, 30.0f, 40.0f}, false, {false, true});
        const SampleHistory first = rig.state.graphSeries;
        rig.renderer.drawGraph({11.0f, 25.0f, 31.0f, 41.0f}, false, {false, true});
        const SampleHistory second = rig.state.graphSeries;
        rig.renderer.drawGraph({1.0f, 2.0f, 3.0f, 4.0f}, true, {true, true});
        const std::array<int, statCount> newestY{88, 56, 43, 20};
        for (int i = 0; i < statCount; ++i) {
            const auto& points = rig.state.graphSeries.series(i).points;
            QVERIFY(points == second.series(i).points);
            QCOMPARE(points[99], (GraphPoint{393, newestY[std::size_t(i)]}));
            QCOMPARE(points[98].y, first.series(i).points[99].y);
            QCOMPARE(points[97].y, 226);
        }
    }

    void unusableTop_data()
    {
        QTest::addColumn<float>("top");

        QTest::newRow("not a number") << notANumber;
        QTest::newRow("infinite") << infinity;
        QTest::newRow("too small for the scale") << 1.0e-38f;
    }

    // A new top that gives no scale changes nothing; one kept in the settings gives way to the default.
    void unusableTop()
    {
        QFETCH(float, top);
        Rig rig(0);
        QVERIFY(rig.renderer.setGraphRange(40.0f));
        const float yScale = rig.state.yScale;
        QVERIFY(!rig.renderer.setGraphRange(top));
        QCOMPARE(rig.state.graphMax, 40.0f);
        QCOMPARE(rig.state.yScale, yScale);

        rig.state.graphMax = top;
        rig.state.computeScale(393, 113);
        QCOMPARE(rig.state.graphMax, 50.0f);
        QCOMPARE(rig.state.yScale, float(113 / 50.0));
    }

    // Records beyond the new ones are gone; with fewer colours than records the last draws black
    // rather than reading past them.
    void initHistory_keepsItsBounds()
    {
        SampleHistory history;
        const std::array<Colour, 3> colours{0xFF0000, 0x0000FF, 0xC000C0};
        history.initHistory(6, colours, 1.0f, 1.0f);
        history.initHistory(4, colours, 2.5f, 0.125f);
        QCOMPARE(history.size(), 4);
        QCOMPARE(history.series(3).colour, Colour(0));
        history.initHistory(-1, colours, 2.5f, 0.125f);
        QCOMPARE(history.size(), 0);
    }

    // Halves go to the even neighbour; absurd values are held a million pixels off the surface.
    void toPixel_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("pixel");
        QTest::newRow("two and a half") << 2.5 << 2;
        QTest::newRow("three and a half") << 3.5 << 4;
        QTest::newRow("just above a half") << 2.5000001 << 3;
        QTest::newRow("far below the surface") << 1.0e30 << 1000000;
        QTest::newRow("far above the surface") << -1.0e30 << -1000000;
        QTest::newRow("not a number lies off the bottom") << double(notANumber) << 1000000;
    }

    void toPixel()
    {
        QFETCH(double, value);
        QFETCH(int, pixel);
        QCOMPARE(SampleHistory::toPixel(value), pixel);
    }

    // Steps: the Markers mark the settings gave (m set, l clear, - no settings), then the clicks on
    // Markers (M) and Labels (L). Labels always shows the opposite of Markers.
    void markersAndLabels_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("markers");
        QTest::newRow("no settings, choose markers") << "-M" << true;
        QTest::newRow("markers checked, choose markers") << "mM" << false;
        QTest::newRow("labels checked, choose labels") << "lL" << true;
    }

    void markersAndLabels()
    {
        QFETCH(QString, steps);
        QFETCH(bool, markers);
        GraphOptions options;
        if (steps[0] != u'-')
            options.loadSettings(steps[0] == u'm', false, false);
        for (const QChar click : steps.mid(1))
            click == u'M' ? options.mnMarkersClick() : options.mnLabelsClick();
        QCOMPARE(options.markers(), markers);
        QCOMPARE(options.labels(), !markers);
        QCOMPARE(options.drawOptions().markers, markers);
    }

    // Two clicks on one label hide the series and show it again. While monitoring runs the next
    // capture draws the new selection, so only a stopped graph redraws. Outside the series a click
    // changes nothing.
    void toggleSeries_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("monitoring");
        QTest::newRow("stopped") << 2 << false;
        QTest::newRow("monitoring") << 3 << true;
        QTest::newRow("past the last") << 4 << false;
        QTest::newRow("before the first") << -1 << false;
    }

    void toggleSeries()
    {
        QFETCH(int, index);
        QFETCH(bool, monitoring);
        GraphState state;
        for (const Colour colour : {Colour(0x808080), Colour(0x000000)}) {
            const auto result = SeriesSelection::toggleSeries(state, index, monitoring);
            QCOMPARE(result.has_value(), index >= 0 && index < statCount);
            QVERIFY(!result || (result->labelColour == colour && result->redraw == !monitoring));
            QVERIFY(!result || state.seriesShown[std::size_t(index)] == (colour == 0));
        }
        QCOMPARE(state.seriesShown, (std::array<bool, 4>{true, true, true, true}));
    }

    // The history starts afresh at the new width and keeps the range's scale.
    void pageTextView_switchesWidthAndRebuildsHistory()
    {
        GraphState graph;
        graph.computeScale(393, 113);
        const std::array<Colour, 4> colours{0xFF0000, 0x0000FF, 0xC000C0, 0x008000};
        graph.graphSeries.initHistory(4, colours, graph.xStep, graph.yScale);
        graph.graphSeries.series(0).points[99].y = 5;
        QCOMPARE(PageTextView::lblStatusLabelClick(true, graph, colours), 193);
        QCOMPARE(graph.graphSeries.series(0).points[99], (GraphPoint{191, 226}));
        QCOMPARE(PageTextView::lblStatusLabelClick(false, graph, colours), 393);
        QCOMPARE(graph.graphSeries.series(3).points[99], (GraphPoint{389, 226}));
    }
};

QTEST_MAIN(TestGraphRenderer)
#include "TestGraphRenderer.moc"
