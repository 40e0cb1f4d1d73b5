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
        AppState app;
        GraphState graph;
        graph.computeScale(393, 113);
        const std::array<Colour, 4> colours{0xFF0000, 0x0000FF, 0xC000C0, 0x008000};
        graph.graphSeries.initHistory(3, colours, graph.xStep, graph.yScale);
        graph.graphSeries.series(0).points[99].y = 5;
        QCOMPARE(PageTextView::lblStatusLabelClick(app, graph, colours), 193);
        QVERIFY(app.debugView);
        QCOMPARE(graph.graphSeries.series(0).points[99], (GraphPoint{191, 226}));
        QCOMPARE(PageTextView::lblStatusLabelClick(app, graph, colours), 393);
        QVERIFY(!app.debugView);
        QCOMPARE(graph.graphSeries.series(3).points[99], (GraphPoint{389, 226}));
    }
};

QTEST_GUILESS_MAIN(TestGraphOptions)
#include "TestGraphOptions.moc"
