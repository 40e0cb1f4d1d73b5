#include "app/CaptureCycle.h"
#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"
#include "router/PageFetcher.h"
#include "router/PageParser.h"
#include "stats/LineStatTable.h"
#include "stats/StatsUpdater.h"
#include "support/FakeClock.h"
#include "support/FakeTransfer.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayNotice.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString fullPage
    = QStringLiteral("var st_dw_snr_margin = \"12.50\";\nvar st_up_snr_margin = \"10\";\n"
                     "var st_dw_line_attenuation = \"30.0\";\nvar st_up_line_attenuation = \"20.0\";\n");

// One capture cycle over a transfer that answers at once from its canned replies.
struct Rig
{
    Rig()
        : parser(status, messageBox)
        , fetcher(transfer, status)
        , updater(table, status, display, tray, clock)
        , renderer(graph, surface)
        , cycle({fetcher, parser, updater, renderer, table, status, display, clock})
    {
        surface.resize(393, 113);
        graph.computeScale(surface.width(), surface.height());
        graph.graphSeries.initHistory(statCount, table.seriesColours, graph.xStep, graph.yScale);
    }

    LineStatTable table;
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
    StatsUpdater updater;
    GraphRenderer renderer;
    CaptureCycle cycle;
};

} // namespace

// The order of a capture's steps, as its status texts show them in each mode. Every page from the
// router is offered for the page-text box before it is parsed, whatever it holds.
class TestCaptureCycle : public QObject
{
    Q_OBJECT

private slots:
    void statusSequence_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("page"); // the router's page, or in mode 3 the page-text box
        QTest::addColumn<QString>("csvFile"); // under the capture's folder; "" when not saving
        QTest::addColumn<QStringList>("statuses");

        const QString connect = QStringLiteral("Attempting to connect to router...");
        const QString found = QStringLiteral("Router found...extracting stats");
        const QString shown = QStringLiteral("Displaying stats");
        const QString saving = QStringLiteral("Saving results to file");
        const QString drawing = QStringLiteral("Drawing graph");
        QTest::newRow("timed, saving") << 1 << fullPage << "stats.csv"
                                       << QStringList{connect, found, shown, saving, drawing, "Monitoring"};
        QTest::newRow("timed, not saving")
            << 1 << fullPage << "" << QStringList{connect, found, shown, drawing, "Monitoring"};
        QTest::newRow("timed, file cannot be written")
            << 1 << fullPage << "missing/stats.csv"
            << QStringList{connect, found, shown, saving, drawing, "Could not save results to file!"};
        QTest::newRow("timed, no page") << 1 << ""
                                        << "stats.csv" << QStringList{connect, "Cannot find router!"};
        QTest::newRow("timed, no values") << 1 << "<html></html>"
                                          << "stats.csv" << QStringList{connect, found, "No values found on page"};
        QTest::newRow("timed, login refusal page")
            << 1 << "Server Error: 401 Unauthorized"
            << "stats.csv" << QStringList{connect, found, "Unable to log in to the router."};
        QTest::newRow("test settings") << 2 << fullPage << "stats.csv" << QStringList{connect, found, shown};
        QTest::newRow("test page") << 3 << fullPage << "stats.csv" << QStringList{found, shown};
        QTest::newRow("test page empty") << 3 << ""
                                         << "stats.csv" << QStringList{"No test HTML page found"};
    }

    void statusSequence()
    {
        QFETCH(int, mode);
        QFETCH(QString, page);
        QFETCH(QString, csvFile);
        QFETCH(QStringList, statuses);
        QTemporaryDir folder;
        Rig rig;
        rig.transfer.cannedReplies.append({mode == 3 ? QString() : page, TransferError::None});
        QSignalSpy finished(&rig.cycle, &CaptureCycle::finished);
        QSignalSpy arrived(&rig.cycle, &CaptureCycle::routerPageArrived);

        CaptureInputs inputs;
        inputs.router = {QStringLiteral("127.0.0.1"), QStringLiteral("80"), QStringLiteral("admin"), QString(),
            QStringLiteral("/doc/adsl.htm")};
        inputs.testPage = mode == 3 ? page : QString();
        inputs.saveToFile = !csvFile.isEmpty();
        inputs.csvPath = folder.filePath(csvFile.isEmpty() ? QStringLiteral("stats.csv") : csvFile);
        QVERIFY(rig.cycle.runCapture(CaptureMode(mode), inputs));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(rig.status.texts, statuses);
        QCOMPARE(arrived.count(), mode != 3 && !page.isEmpty() ? 1 : 0);
        if (!arrived.isEmpty())
            QCOMPARE(arrived.first().first().toString(), page);
        // The window shows the value texts exactly as the page wrote them.
        const bool shown = statuses.contains(QStringLiteral("Displaying stats"));
        QCOMPARE(QStringList(rig.display.current.begin(), rig.display.current.end()).join(u'/'),
            shown ? QStringLiteral("12.50/10/30.0/20.0") : QStringLiteral("///"));
        // Whatever an earlier capture left, a new one starts in the normal colour.
        QCOMPARE(rig.status.colours.first(), QColor(0, 0, 0));
    }
};

QTEST_MAIN(TestCaptureCycle)
#include "TestCaptureCycle.moc"
