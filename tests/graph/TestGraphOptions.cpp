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
    void markersAndLabels_data();
    void markersAndLabels();
    void toggleSeries_data();
    void toggleSeries();
    void toggleSeries_outsideIndexChangesNothing();
    void pageTextView_switchesWidthAndRebuildsHistory();
};

void TestGraphOptions::markersAndLabels_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<bool>("markersAfter");
    QTest::addColumn<bool>("labelsAfter");

    const QString none = QStringLiteral("none");
    const QString markers = QStringLiteral("markers");
    const QString labels = QStringLiteral("labels");
    QTest::newRow("no settings, choose labels") << none << "L" << false << true;
    QTest::newRow("no settings, choose markers") << none << "M" << true << false;
    QTest::newRow("markers checked, choose markers") << markers << "M" << false << true;
    QTest::newRow("markers checked, choose labels") << markers << "L" << false << true;
    QTest::newRow("labels checked, choose labels") << labels << "L" << true << false;
    QTest::newRow("labels checked, choose markers") << labels << "M" << true << false;
    QTest::newRow("markers chosen twice") << markers << "MM" << true << false;
}

void TestGraphOptions::markersAndLabels()
{
    QFETCH(QString, start);
    QFETCH(QString, clicks);
    QFETCH(bool, markersAfter);
    QFETCH(bool, labelsAfter);

    GraphOptions options;
    if (start != QLatin1String("none"))
        options.loadSettings(start == QLatin1String("markers"), false, false);
    for (const QChar click : clicks) {
        if (click == QLatin1Char('M'))
            options.mnMarkersClick();
        else
            options.mnLabelsClick();
    }
    QCOMPARE(options.markers(), markersAfter);
    QCOMPARE(options.labels(), labelsAfter);
    QCOMPARE(options.drawOptions().markers, markersAfter);
    QVERIFY(!options.drawOptions().grid);
    QVERIFY(!options.autoRange());
}

void TestGraphOptions::toggleSeries_data()
{
    QTest::addColumn<bool>("shownBefore");
    QTest::addColumn<bool>("monitoring");
    QTest::addColumn<Colour>("colour");
    QTest::addColumn<bool>("redraw");

    QTest::newRow("hide while stopped") << true << false << Colour(0x808080) << true;
    QTest::newRow("hide while monitoring") << true << true << Colour(0x808080) << false;
    QTest::newRow("show while stopped") << false << false << Colour(0x000000) << true;
    QTest::newRow("show while monitoring") << false << true << Colour(0x000000) << false;
}

void TestGraphOptions::toggleSeries()
{
    QFETCH(bool, shownBefore);
    QFETCH(bool, monitoring);
    QFETCH(Colour, colour);
    QFETCH(bool, redraw);

    GraphState state;
    state.seriesShown[2] = shownBefore;
    const auto result = SeriesSelection::toggleSeries(state, 2, monitoring);
    QVERIFY(result.has_value());
    QCOMPARE(result->labelColour, colour);
    QCOMPARE(result->redraw, redraw);
    QCOMPARE(state.seriesShown[2], !shownBefore);
    QVERIFY(state.seriesShown[0] && state.seriesShown[1] && state.seriesShown[3]);
}

void TestGraphOptions::toggleSeries_outsideIndexChangesNothing()
{
    GraphState state;
    QVERIFY(!SeriesSelection::toggleSeries(state, 4, false).has_value());
    QVERIFY(!SeriesSelection::toggleSeries(state, -1, false).has_value());
    QCOMPARE(state.seriesShown, (std::array<bool, 4>{true, true, true, true}));
}

void TestGraphOptions::pageTextView_switchesWidthAndRebuildsHistory()
{
    AppState app;
    GraphState graph;
    graph.computeScale(393, 113);
    const std::array<Colour, 4> colours{0xFF0000, 0x0000FF, 0xC000C0, 0x008000};
    graph.graphSeries.initHistory(3, colours, graph.xStep, graph.yScale);
    graph.graphSeries.series(0).points[99].y = 5;
    const float yScale = graph.yScale;

    QCOMPARE(PageTextView::lblStatusLabelClick(app, graph, colours), 193);
    QVERIFY(app.debugView);
    QCOMPARE(graph.xStep, float(193 / 100.0));
    QCOMPARE(graph.graphSeries.series(0).points[50].x, 96);
    QCOMPARE(graph.graphSeries.series(0).points[99], (GraphPoint{191, 226}));
    QCOMPARE(graph.graphSeries.series(3).colour, Colour(0x008000));
    QCOMPARE(graph.yScale, yScale);

    QCOMPARE(PageTextView::lblStatusLabelClick(app, graph, colours), 393);
    QVERIFY(!app.debugView);
    QCOMPARE(graph.graphSeries.series(0).points[99], (GraphPoint{389, 226}));
}

QTEST_GUILESS_MAIN(TestGraphOptions)
#include "TestGraphOptions.moc"
