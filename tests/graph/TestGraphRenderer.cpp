#include "graph/GraphOptions.h"
#include "graph/GraphPainter.h"
#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"
#include "graph/PageTextView.h"
#include "graph/SeriesSelection.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();

// A graph of 393 by 113 pixels at the default range, showing one series.
struct Rig
{
    GraphSurface surface;
    GraphState state;
    GraphRenderer renderer{state, surface};

    Rig()
    {
        surface.resize(393, 113);
        state.computeScale(393, 113);
        state.graphSeries.initHistory(4, LineStatTable().seriesColours, state.xStep, state.yScale);
        state.seriesShown = {true, false, false, false};
    }
};

constexpr QSize sampleSize(120, 60);

// Where the sample's series code stands, at scale 1.
QRect sampleCode()
{
    return {QPoint(70, 10), GraphPainter::textSize(QStringLiteral("AD"))};
}

// A grid line each way, and a series running flat, then slanting up to its newest point, drawn
// twice: once with its marker there, once with its code apart from it.
GraphFrame sampleFrame()
{
    GraphFrame::Series series{QColor(192, 0, 192), {}, true, QStringLiteral("AD"), sampleCode().topLeft()};
    for (int k = 0; k < SeriesRecord::pointCount; ++k)
        series.points[std::size_t(k)] = k < 80 ? QPoint(k / 2, 50) : QPoint(k - 40, 50 - 2 * (k - 80));
    GraphFrame frame{{QLine(0, 40, 120, 40), QLine(100, 0, 100, 60)}, {series, series}};
    frame.series[1].marker = false;
    return frame;
}

// The picture drawn on the first screen, then moved to the screen of that scale (null if none).
QImage pictureAtScale(const GraphFrame& frame, qreal scale)
{
    GraphSurface surface;
    surface.resize(sampleSize);
    surface.showFrame(frame);
    surface.grab(); // on the screen at scale 1 first
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto screen
        = std::ranges::find_if(screens, [scale](const QScreen* s) { return s->devicePixelRatio() == scale; });
    if (screen == screens.end())
        return {};
    surface.winId();
    surface.windowHandle()->setScreen(*screen);
    surface.grab(); // a paint, as the screen would ask for after the move
    return surface.image();
}

// The part of a picture at that scale that shows the area given in pixels at scale 1.
QImage partAtScale(const QImage& picture, QRect area, qreal scale)
{
    QImage part = picture.copy(QRectF(QPointF(area.topLeft()) * scale, QSizeF(area.size()) * scale).toAlignedRect());
    part.setDevicePixelRatio(1.0);
    return part.convertToFormat(QImage::Format_RGB32);
}

// The pixels that are not background, and the rectangle that holds them.
std::pair<int, QRect> ink(const QImage& picture)
{
    int count = 0;
    QRect bounds;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != qRgb(255, 255, 255)) {
                ++count;
                bounds |= QRect(x, y, 1, 1);
            }
    return {count, bounds};
}

} // namespace

// The graph's picture at every scale and size, its history, menu marks and series selection.
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
        QTest::newRow("code instead of the marker") << 50.0f << false << "code.png";
    }

    // Eleven grid columns over a narrower history; a zigzag's marker or code at its newest point.
    void picture()
    {
        QFETCH(float, graphMax);
        QFETCH(bool, markers);
        QFETCH(QString, fixture);
        Rig rig;
        rig.state.computeXStep(380);
        QVERIFY(rig.renderer.setGraphRange(graphMax));
        for (int r = 0; r < 2; ++r)
            for (int k = 0; k < SeriesRecord::pointCount; ++k)
                rig.state.graphSeries.series(r).points[std::size_t(k)] = {k * 3, 10 + (k % 2) * 40 + r * 20};
        rig.state.graphSeries.series(0).points[99] = {360, 100};
        rig.renderer.drawGraph({}, true, {true, markers});
        QCOMPARE(rig.surface.image().convertToFormat(QImage::Format_RGB32),
            QImage(QStringLiteral(LINEGAUGE_TEST_DATA "/graph/") + fixture).convertToFormat(QImage::Format_RGB32));
    }

    // Rows at scale 2 also name an area and whether it is drawn again rather than enlarged.
    void atScale_data()
    {
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<bool>("redrawn");
        QTest::newRow("one and a half") << 1.5 << QRect() << false;
        QTest::newRow("one and three quarters") << 1.75 << QRect() << false;
        QTest::newRow("two, code") << 2.0 << sampleCode() << true;
        QTest::newRow("two, slanting line") << 2.0 << QRect(46, 20, 10, 15) << true;
        QTest::newRow("two, marker") << 2.0 << QRect(55, 8, 9, 9) << true;
        QTest::newRow("two, flat line") << 2.0 << QRect(5, 48, 25, 5) << false;
        QTest::newRow("two, horizontal grid line") << 2.0 << QRect(62, 37, 30, 6) << false;
        QTest::newRow("two, vertical grid line") << 2.0 << QRect(97, 5, 6, 25) << false;
        QTest::newRow("two, background") << 2.0 << QRect(70, 45, 25, 12) << false;
    }

    // The frame is drawn again, not enlarged: text, slants and markers differ from the enlarged scale-1
    // picture, straight lines and background do not, and ink stays where it was. Lines grow to two whole
    // device pixels along their length. The code is drawn from the font at that resolution: same place
    // and box grown by the scale, but less ink than an enlarged picture.
    void atScale()
    {
        QFETCH(qreal, scale);
        QFETCH(QRect, area);
        QFETCH(bool, redrawn);
        const QImage single = pictureAtScale(sampleFrame(), 1.0);
        const QImage scaled = pictureAtScale(sampleFrame(), scale);
        if (area.isValid()) {
            QCOMPARE(scaled.size(), sampleSize * 2);
            const QImage expected = partAtScale(single.scaled(sampleSize * 2), area, 2.0);
            const QImage actual = partAtScale(scaled, area, 2.0);
            QCOMPARE(actual != expected, redrawn);
            QCOMPARE(ink(actual).first > 0, ink(expected).first > 0);
        }
        const QImage down = partAtScale(scaled, QRect(97, 5, 6, 25), scale).transformed(QTransform().rotate(90));
        for (const QImage& line : {partAtScale(scaled, QRect(62, 37, 30, 6), scale), down})
            for (int x = 0; x < line.width(); ++x)
                QCOMPARE(ink(line.copy(x, 0, 1, line.height())).first, 2);
        const auto [singleInk, singleBounds] = ink(partAtScale(single, sampleCode(), 1.0));
        const auto [scaledInk, scaledBounds] = ink(partAtScale(scaled, sampleCode(), scale));
        QCOMPARE_LE(std::abs(scaledBounds.left() - singleBounds.left() * scale), 0.5);
        QCOMPARE_LE(std::abs(scaledBounds.top() - singleBounds.top() * scale), 0.5);
        QCOMPARE_GE(scaledBounds.width(), int(singleBounds.width() * scale));
        QCOMPARE_GE(scaledBounds.height(), int(singleBounds.height() * scale));
        QCOMPARE_GE(scaledInk, singleInk * scale * 0.9);
        QCOMPARE_LT(scaledInk, singleInk * scale * scale);
    }

    void resized_data()
    {
        QTest::addColumn<QList<int>>("widths");
        QTest::addColumn<int>("cut");
        QTest::newRow("narrowed and widened again") << QList<int>{60, 120} << 60;
        QTest::newRow("widened") << QList<int>{150} << 120;
    }

    // A new size keeps the picture's corner; what a narrower one cut off stays white until the next frame.
    void resized()
    {
        QFETCH(QList<int>, widths);
        QFETCH(int, cut);
        GraphSurface surface;
        surface.resize(sampleSize);
        surface.showFrame(sampleFrame());
        const QImage before = surface.image();
        for (const int width : widths) {
            surface.resize(width, sampleSize.height());
            surface.grab(); // the resize reaches a hidden surface with its next paint
        }
        const QImage after = surface.image();
        QCOMPARE(after.width(), widths.last());
        QCOMPARE(after.copy(0, 0, cut, after.height()), before.copy(0, 0, cut, before.height()));
        QCOMPARE(ink(after.copy(cut, 0, after.width() - cut, after.height())).first, 0);
    }

    // Every series, shown or not, shifts and takes its newest point (25 dB lies 56.4999 px down).
    void capture()
    {
        Rig rig;
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
        QTest::newRow("infinite") << std::numeric_limits<float>::infinity();
        QTest::newRow("too small for the scale") << 1.0e-38f;
    }

    // A new top that gives no scale changes nothing; one kept in the settings gives way to the default.
    void unusableTop()
    {
        QFETCH(float, top);
        Rig rig;
        QVERIFY(rig.renderer.setGraphRange(40.0f));
        QVERIFY(!rig.renderer.setGraphRange(top));
        QCOMPARE(rig.state.graphMax, 40.0f);
        QCOMPARE(rig.state.yScale, float(113 / 40.0));
        rig.state.graphMax = top;
        rig.state.computeScale(393, 113);
        QCOMPARE(rig.state.graphMax, 50.0f);
        QCOMPARE(rig.state.yScale, float(113 / 50.0));
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

    // Steps: settings' Markers mark (m, l, - none), then clicks on Markers (M) and Labels (L).
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
            click == u'M' ? options.toggleMarkers() : options.toggleLabels();
        QCOMPARE(options.markers(), markers);
        QCOMPARE(options.labels(), !markers);
        QCOMPARE(options.drawOptions().markers, markers);
    }

    // Two clicks on a label hide the series and show it again; only a stopped graph redraws at once.
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
        for (const QColor& colour : {QColor(128, 128, 128), QColor(0, 0, 0)}) {
            const auto result = SeriesSelection::toggleSeries(state, index, monitoring);
            QCOMPARE(result.has_value(), index >= 0 && index < statCount);
            QVERIFY(!result || (result->labelColour == colour && result->redraw == !monitoring));
            QVERIFY(!result || state.seriesShown[std::size_t(index)] == (colour == Qt::black));
        }
        QCOMPARE(state.seriesShown, (std::array<bool, 4>{true, true, true, true}));
    }

    // The history starts afresh at the new width, with as many records as statistics, and keeps the
    // range's scale; with too few colours the last draws black, not past them. No count leaves none.
    void pageTextView_switchesWidthAndRebuildsHistory()
    {
        GraphState graph;
        graph.computeScale(393, 113);
        const LineStatTable table;
        const auto colours = std::span(table.seriesColours).first(3);
        graph.graphSeries.initHistory(6, colours, graph.xStep, graph.yScale);
        graph.graphSeries.series(0).points[99].y = 5;
        QCOMPARE(PageTextView::togglePageText(true, graph, colours), 193);
        QCOMPARE(graph.graphSeries.series(0).points[99], (GraphPoint{191, 226}));
        QCOMPARE(PageTextView::togglePageText(false, graph, colours), 393);
        QCOMPARE(graph.graphSeries.size(), statCount);
        QCOMPARE(graph.graphSeries.series(3).points[99], (GraphPoint{389, 226}));
        QCOMPARE(graph.graphSeries.series(3).colour, QColor(0, 0, 0));
        graph.graphSeries.initHistory(-1, colours, 2.5f, 0.125f);
        QCOMPARE(graph.graphSeries.size(), 0);
    }
};

QTEST_MAIN(TestGraphRenderer)
#include "TestGraphRenderer.moc"
