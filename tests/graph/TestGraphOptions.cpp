#include "graph/GraphOptions.h"
#include "graph/GraphState.h"
#include "graph/PageTextView.h"
#include "graph/SeriesSelection.h"
#include "stats/AppState.h"

#include <QTest>

// The graph menu's check marks, the series selection by label clicks and the page-text view switch.
class TestGraphOptions : public QObject
{
    Q_OBJECT

private slots:
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

    // While monitoring runs the next capture draws the new selection, so only a stopped graph redraws.
    void toggleSeries_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("monitoring");
        QTest::addColumn<int>("colour"); // -1: the click lies outside the series and changes nothing
        QTest::newRow("hide while stopped") << 2 << false << 0x808080;
        QTest::newRow("hide while monitoring") << 3 << true << 0x808080;
        QTest::newRow("past the last") << 4 << false << -1;
        QTest::newRow("before the first") << -1 << false << -1;
    }

    void toggleSeries()
    {
        QFETCH(int, index);
        QFETCH(bool, monitoring);
        QFETCH(int, colour);
        GraphState state;
        const auto result = SeriesSelection::toggleSeries(state, index, monitoring);
        QCOMPARE(result ? int(result->labelColour) : -1, colour);
        QVERIFY(!result || result->redraw == !monitoring);
        for (int i = 0; i < statCount; ++i)
            QCOMPARE(state.seriesShown[std::size_t(i)], i != index);
        if (result) {
            QCOMPARE(SeriesSelection::toggleSeries(state, index, monitoring)->labelColour, Colour(0));
            QVERIFY(state.seriesShown[std::size_t(index)]);
        }
    }

    // The history starts afresh at the new width and keeps the range's scale.
    void pageTextView_switchesWidthAndRebuildsHistory()
    {
        AppState app;
        GraphState graph;
        graph.computeScale(393, 113);
        const std::array<Colour, 4> colours{0xFF0000, 0x0000FF, 0xC000C0, 0x008000};
        graph.graphSeries.initHistory(3, colours, graph.xStep, graph.yScale);
        graph.graphSeries.series(0).points[99].y = 5;
        QCOMPARE(PageTextView::lblStatusLabelClick(app, graph, colours), 193);
        QVERIFY(app.debugView);
        QCOMPARE(graph.graphSeries.series(0).points[50].x, 96);
        QCOMPARE(graph.graphSeries.series(0).points[99], (GraphPoint{191, 226}));
        QCOMPARE(graph.graphSeries.series(3).colour, Colour(0x008000));
        QCOMPARE(PageTextView::lblStatusLabelClick(app, graph, colours), 393);
        QVERIFY(!app.debugView);
        QCOMPARE(graph.graphSeries.series(0).points[99], (GraphPoint{389, 226}));
    }
};

QTEST_GUILESS_MAIN(TestGraphOptions)
#include "TestGraphOptions.moc"
