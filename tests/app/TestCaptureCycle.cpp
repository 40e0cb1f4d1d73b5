#include "app/CaptureCycle.h"
#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"
#include "router/PageFetcher.h"
#include "router/PageParser.h"
#include "stats/AppState.h"
#include "stats/LineStatTable.h"
#include "stats/StatsLine.h"
#include "stats/StatsUpdater.h"
#include "support/FakeClock.h"
#include "support/FakeTransfer.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayNotice.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString fullPage
    = QStringLiteral("var st_dw_snr_margin = \"12.5\";\nvar st_up_snr_margin = \"10.0\";\n"
                     "var st_dw_line_attenuation = \"30.0\";\nvar st_up_line_attenuation = \"20.0\";\n");

// One capture cycle over a transfer that answers at once from its canned replies.
struct Rig
{
    Rig()
        : parser(table, status, messageBox)
        , fetcher(transfer, parser, status, state)
        , statsLine(table, state, status, display, clock)
        , updater(table, state, status, display, tray, clock)
        , renderer(graph, surface)
        , cycle({fetcher, parser, statsLine, updater, renderer, table, state, status})
    {
        surface.resize(393, 113);
        graph.computeScale(surface.scaleWidth(), surface.scaleHeight());
        graph.graphSeries.initHistory(statCount - 1, table.seriesColours, graph.xStep, graph.yScale);
    }

    LineStatTable table;
    AppState state;
    RecordingStatusLine status;
    RecordingMessageBox messageBox;
    RecordingStatsDisplay display;
    RecordingTrayNotice tray;
    FakeClock clock;
    FakeTransfer transfer;
    GraphState graph;
    GraphSurface surface;
    PageParser parser;
    PageFetcher fetcher;
    StatsLine statsLine;
    StatsUpdater updater;
    GraphRenderer renderer;
    CaptureCycle cycle;
};

CaptureInputs inputsWith(const QString& testPage, bool saveToFile)
{
    CaptureInputs inputs;
    inputs.router = {QStringLiteral("127.0.0.1"), QStringLiteral("80"), QStringLiteral("admin"), QString()};
    inputs.testPage = testPage;
    inputs.saveToFile = saveToFile;
    return inputs;
}

} // namespace

// The order of a capture's steps, as its status texts show them, and what each mode leaves behind.
class TestCaptureCycle : public QObject
{
    Q_OBJECT

private slots:
    void statusSequence_data();
    void statusSequence();
    void captureWhileOneWaits_startsNothing();
    void unwritableCsv_isReportedAndCaptureGoesOn();
};

void TestCaptureCycle::statusSequence_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("routerPage");
    QTest::addColumn<QString>("testPage");
    QTest::addColumn<bool>("saveToFile");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<int>("csvLines");
    QTest::addColumn<bool>("graphMoves");

    const QString connect = QStringLiteral("Attempting to connect to router...");
    const QString found = QStringLiteral("Router found...extracting stats");
    const QString shown = QStringLiteral("Displaying stats");
    QTest::newRow("timed, saving") << 1 << fullPage << "" << true
                                   << QStringList{connect, found, shown, "Saving results to file", shown,
                                          "Drawing graph", "Monitoring"}
                                   << 1 << true;
    QTest::newRow("timed, not saving") << 1 << fullPage << "" << false
                                       << QStringList{connect, found, shown, "Drawing graph", "Monitoring"} << 0
                                       << true;
    QTest::newRow("timed, no page") << 1 << ""
                                    << "" << true << QStringList{connect, "Cannot find router!"} << 0 << false;
    QTest::newRow("timed, no values") << 1 << "<html></html>"
                                      << "" << true << QStringList{connect, found, "No values found on page"} << 0
                                      << false;
    QTest::newRow("test settings") << 2 << fullPage << "" << true << QStringList{connect, found, shown} << 0 << false;
    QTest::newRow("test page") << 3 << "" << fullPage << true << QStringList{found, shown} << 0 << false;
    QTest::newRow("test page empty") << 3 << ""
                                     << "" << true << QStringList{"No test HTML page found"} << 0 << false;
}

void TestCaptureCycle::statusSequence()
{
    QFETCH(int, mode);
    QFETCH(QString, routerPage);
    QFETCH(QString, testPage);
    QFETCH(bool, saveToFile);
    QFETCH(QStringList, statuses);
    QFETCH(int, csvLines);
    QFETCH(bool, graphMoves);
    QTemporaryDir folder;
    Rig rig;
    rig.state.outputPath = folder.filePath(QStringLiteral("stats.csv"));
    rig.transfer.cannedReplies.append({routerPage, TransferError::None});
    const GraphPoint newestBefore = rig.graph.graphSeries.series(0).points.back();
    QSignalSpy finished(&rig.cycle, &CaptureCycle::finished);

    QVERIFY(rig.cycle.runCapture(CaptureMode(mode), inputsWith(testPage, saveToFile)));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(rig.status.texts, statuses);
    QFile csv(rig.state.outputPath);
    QCOMPARE(csv.open(QIODevice::ReadOnly) ? int(csv.readAll().count('\n')) : 0, csvLines);
    QCOMPARE(rig.graph.graphSeries.series(0).points.back() != newestBefore, graphMoves);
    QCOMPARE(rig.status.colours.first(), Colour(0));
}

void TestCaptureCycle::captureWhileOneWaits_startsNothing()
{
    Rig rig;
    QVERIFY(rig.cycle.runCapture(CaptureMode::TestSettings, inputsWith(QString(), false)));
    QVERIFY(rig.cycle.isRunning());
    QVERIFY(!rig.cycle.runCapture(CaptureMode::TestPage, inputsWith(fullPage, false)));
    QCOMPARE(rig.transfer.openCount(), 1);
    rig.cycle.cancel();
    QVERIFY(!rig.cycle.isRunning());
    QVERIFY(rig.display.current[0].isEmpty());
}

void TestCaptureCycle::unwritableCsv_isReportedAndCaptureGoesOn()
{
    Rig rig;
    rig.state.outputPath = QStringLiteral("/dev/full");
    rig.transfer.cannedReplies.append({fullPage, TransferError::None});
    const GraphPoint newestBefore = rig.graph.graphSeries.series(0).points.back();
    QVERIFY(rig.cycle.runCapture(CaptureMode::Timed, inputsWith(QString(), true)));
    QCOMPARE(rig.status.last(), QStringLiteral("Could not save results to file!"));
    QVERIFY(rig.graph.graphSeries.series(0).points.back() != newestBefore);
}

QTEST_MAIN(TestCaptureCycle)
#include "TestCaptureCycle.moc"
