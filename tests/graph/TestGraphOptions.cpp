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
    // Markers (M) and Labels (L).
    void markersAndLabels_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("markers"); // Labels shows the opposite

        QTest::newRow("no settings, choose labels") << "-L" << false;
        QTest::newRow("no settings, choose markers") << "-M" << true;
        QTest::newRow("markers checked, choose markers") << "mM" << false;
        QTest::newRow("labels checked, choose labels") << "lL" << true;
        QTest::newRow("markers chosen twice") << "mMM" << true;
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
        QVERIFY(!options.drawOptions().grid && !options.autoRange());
    }

    void toggleSeries_data()
    {
        QTest::addColumn<bool>("shownBefore");
        QTest::addColumn<bool>("monitoring");
        QTest::addColumn<Colour>("colour");

        QTest::newRow("hide while stopped") << true << false << Colour(0x808080);
        QTest::newRow("show while monitoring") << false << true << Colour(0x000000);
    }

    // While monitoring runs the next capture draws the new selection, so only a stopped graph redraws.
    void toggleSeries()
    {
        QFETCH(bool, shownBefore);
        QFETCH(bool, monitoring);
        QFETCH(Colour, colour);

        GraphState state;
        state.seriesShown[2] = shownBefore;
        const auto result = SeriesSelection::toggleSeries(state, 2, monitoring);
        QVERIFY(result.has_value());
        QCOMPARE(result->labelColour, colour);
        QCOMPARE(result->redraw, !monitoring);
        QCOMPARE(state.seriesShown, (std::array<bool, 4>{true, true, !shownBefore, true}));
    }

    void toggleSeries_outsideIndexChangesNothing()
    {
        GraphState state;
        QVERIFY(!SeriesSelection::toggleSeries(state, 4, false).has_value());
        QVERIFY(!SeriesSelection::toggleSeries(state, -1, false).has_value());
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
