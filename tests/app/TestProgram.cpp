// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "app/CaptureCycle.h"
#include "app/CommandLine.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/MonitorSchedule.h"
#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"
#include "platform/HttpTransfer.h"
#include "report/ReportCommand.h"
#include "router/PageFetcher.h"
#include "router/PageParser.h"
#include "stats/LineStatTable.h"
#include "stats/StatsUpdater.h"
#include "support/FakeClock.h"
#include "support/FakeTransfer.h"
#include "support/FileBytes.h"
#include "support/ProcessFigures.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayIcon.h"
#include "support/RecordingTrayNotice.h"
#include "support/RouterSimulator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace {

using Request = CommandLine::Request;

const QByteArray csvHeader = "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n";
const QStringList healthy{"--values", "12.5,10.0,30.0,20.0"};
// A capture of the healthy router at the rig's clock time.
const QByteArray healthyLine = "05/03/2026,07:08:09,12.5,10.0,30.0,20.0\r\n";
const QString couldNotSave = QStringLiteral("Could not save results to file!");
const QString loginFailed = QStringLiteral("Unable to log in to the router.");
// A window blocked for a whole router time-out would miss this by far.
constexpr qint64 longestAllowedBlockMs = 1000;
// The login probe and its answer.
constexpr int mostRequestsPerCapture = 2;

// The whole program in a folder of its own, with a recording tray and message box, and router
// simulators on loopback. Its timer never fires on its own: tests tick by hand, counting every tick.
struct ProgramRig
{
    static constexpr int transferTimeoutMs = 1500;

    explicit ProgramRig(const QString& folder)
        : controller(window, Platform{trayIcon, transfer, messageBox, clock, folder, 3600 * 1000})
    {
        controller.startUp();
    }

    Ui::MainWindow& ui() { return window.ui(); }
    QString status() { return ui().statusLabel->text(); }

    // Starts a router simulator with these options and points the program at it; null if it did not.
    RouterSimulator* serve(const QStringList& options)
    {
        auto router = std::make_unique<RouterSimulator>(QStringLiteral(LINEGAUGE_ROUTERSIM));
        if (!router->start(options)) {
            qWarning("router simulator: %s", qPrintable(router->errorText()));
            return nullptr;
        }
        ui().addressEdit->setText(QStringLiteral("127.0.0.1"));
        ui().portEdit->setText(QString::number(router->port()));
        return routers.emplace_back(std::move(router)).get();
    }

    bool waitForCaptures(int count)
    {
        return QTest::qWaitFor([&] { return captures.count() >= count; }, 3 * transferTimeoutMs);
    }

    // Ticks until the next timed capture has started (or already ended): the ticks it took, or 0.
    int startCapture()
    {
        const qsizetype before = captures.count();
        for (int ticks = 1; ticks <= 1000; ++ticks) {
            controller.onTick();
            if (controller.isCapturing() || captures.count() > before)
                return ticks;
        }
        return 0;
    }

    bool captureOnce()
    {
        const int before = int(captures.count());
        return startCapture() > 0 && waitForCaptures(before + 1);
    }

    GraphPoint newestPoint() const { return controller.graph().graphSeries.series(0).points.back(); }

    std::vector<std::unique_ptr<RouterSimulator>> routers;
    RecordingTrayIcon trayIcon;
    HttpTransfer transfer{transferTimeoutMs};
    RecordingMessageBox messageBox;
    FakeClock clock;
    MainWindow window;
    MainController controller;
    QSignalSpy captures{&controller, &MainController::captureFinished};
};

// The FIFO's reader end, held open but never read, with the pipe filled to the brim.
int fullFifo(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int reader = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
    const int writer = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
    const QByteArray block(4096, 'x');
    while (::write(writer, block.constData(), std::size_t(block.size())) > 0) { }
    ::close(writer);
    return reader;
}

// File permissions do not stop root from writing, so rows that need them are skipped for root.
const bool permissionsHold = ::geteuid() != 0;

constexpr float tickMinutes = 1000.0f / 60000.0f;
// A window that stays shown hands over every tick on its own.
constexpr int neverHidden = 100000;

float minutesLeftAfter(float interval, int ticks)
{
    MonitorSchedule schedule;
    schedule.start(interval, tickMinutes);
    schedule.addTicks(ticks);
    return schedule.minutesLeft();
}

const QString fullPage
    = QStringLiteral("var st_dw_snr_margin = \"12.50\";\nvar st_up_snr_margin = \"10\";\n"
                     "var st_dw_line_attenuation = \"30.0\";\nvar st_up_line_attenuation = \"20.0\";\n");

// One capture cycle over a transfer that answers at once from its canned replies.
struct CycleRig
{
    CycleRig()
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
    PageParser parser{status, messageBox};
    PageFetcher fetcher{transfer, status};
    StatsUpdater updater{table, status, display, tray, clock};
    GraphRenderer renderer{graph, surface};
    CaptureCycle cycle{{fetcher, parser, updater, renderer, table, status, display, clock}};
};

} // namespace

// The program from its parts to the whole: the command line, the schedule's arithmetic (its float
// quirks deliberate), a capture's steps, then the window against router simulators on loopback with
// the faults only the whole program shows: a frozen window, a close during a fetch, pipes and devices
// where its files belong.
class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { ::alarm(0); }

    void request_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Request>("request");
        QTest::newRow("nothing opens the window") << QStringList() << Request::window;
        QTest::newRow("toolkit options open the window") << QStringList{"-platform", "offscreen"} << Request::window;
        QTest::newRow("version after other arguments") << QStringList{"-style", "x", "--version"} << Request::version;
        QTest::newRow("help before version wins") << QStringList{"--help", "--version"} << Request::help;
        QTest::newRow("version before help wins") << QStringList{"--version", "--help"} << Request::version;
        QTest::newRow("version with the report") << QStringList{"--report", "--version"} << Request::version;
        QTest::newRow("report after its options") << QStringList{"--csv", "log.csv", "--report"} << Request::report;
        QTest::newRow("report named as a value of another option") << QStringList{"--csv=--report"} << Request::window;
    }

    void request()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Request, request);
        QCOMPARE(CommandLine::requestOf(QStringList{QStringLiteral("linegauge")} + arguments), request);
    }

    void captureTick_data()
    {
        QTest::addColumn<float>("interval");
        QTest::addColumn<int>("hiddenAfter");
        QTest::addColumn<int>("shownAfter"); // ticks asleep before the window is shown; -1: stays hidden
        QTest::addColumn<int>("captureTick");
        QTest::newRow("five minutes") << 5.0f << neverHidden << -1 << 300;
        QTest::newRow("negative captures on every tick") << -2.0f << neverHidden << -1 << 1;
        QTest::newRow("reached exactly on a tick, captures on that tick") << tickMinutes << neverHidden << -1 << 1;
        QTest::newRow("one minute, hidden throughout") << 1.0f << 0 << -1 << 61;
        QTest::newRow("five minutes, hidden after 10 ticks") << 5.0f << 10 << -1 << 300;
        QTest::newRow("hidden then shown: capture at the same tick") << 1.0f << 5 << 20 << 61;
        QTest::newRow("shown again on the tick before the capture") << 5.0f << 100 << 199 << 300;
        QTest::newRow("shown before a tick passed") << 0.5f << 3 << 0 << 30;
        QTest::newRow("longer than one sleep") << 90.0f << 0 << -1 << 5400;
        QTest::newRow("zero captures on the first tick") << 0.0f << 0 << -1 << 1;
        QTest::newRow("reached exactly on a tick while hidden") << tickMinutes << 0 << -1 << 1;
    }

    // Hidden, the ticker sleeps for ticksUntilDue() ticks and hands them over at once; shown again,
    // it hands over those that passed and ticks one by one. Either way the capture comes on time.
    void captureTick()
    {
        QFETCH(float, interval);
        QFETCH(int, hiddenAfter);
        QFETCH(int, shownAfter);
        QFETCH(int, captureTick);
        MonitorSchedule schedule;
        schedule.start(interval, tickMinutes);
        int tick = 0;
        bool due = false;
        // The controller's handling of ticks handed over at once: the last one may fall due.
        const auto handOver = [&](int count) {
            tick += count;
            schedule.addTicks(count - 1);
            due = schedule.tick();
        };
        while (!due && tick < hiddenAfter)
            handOver(1);
        while (!due && tick < neverHidden) {
            const int asleep = schedule.ticksUntilDue(3600);
            if (shownAfter >= 0 && shownAfter < asleep)
                break;
            handOver(asleep);
        }
        if (!due && shownAfter > 0)
            handOver(shownAfter);
        while (!due && tick < neverHidden)
            handOver(1);
        QCOMPARE(tick, captureTick);
    }

    void countdownText_data()
    {
        QTest::addColumn<float>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("full minute") << 1.0f << "00:01:00";
        QTest::newRow("one minute, tick before the capture") << minutesLeftAfter(1.0f, 60) << "00:00:00";
        QTest::newRow("five minutes, tick before the capture") << minutesLeftAfter(5.0f, 299) << "00:00:01";
        QTest::newRow("more than a day") << 1500.5f << "25:00:30";
        QTest::newRow("negative shows zero") << -3.0f << "00:00:00";
        QTest::newRow("not a number shows zero") << std::numeric_limits<float>::quiet_NaN() << "00:00:00";
    }

    void countdownText()
    {
        QFETCH(float, minutes);
        QFETCH(QString, text);
        QCOMPARE(MonitorSchedule::countdownText(minutes), text);
    }

    // A refused text starts no monitoring; only a written 0 polls at every tick.
    void intervalFrom_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("minutes"); // -1: refused
        QTest::newRow("trailing words") << "2 minutes" << 2.0f;
        QTest::newRow("leading blanks, decimal point") << "  0.5" << 0.5f;
        QTest::newRow("decimal comma") << "0,5" << 0.5f;
        QTest::newRow("decimal comma before words") << "1,5 min" << 1.5f;
        QTest::newRow("fraction only, comma") << ",25" << 0.25f;
        QTest::newRow("zero written as such") << "0" << 0.0f;
        QTest::newRow("zero with a fraction") << "-0,00" << 0.0f;
        QTest::newRow("empty box") << "" << -1.0f;
        QTest::newRow("words first") << "abc" << -1.0f;
        QTest::newRow("comma alone") << "," << -1.0f;
        QTest::newRow("negative") << "-2" << -1.0f;
        QTest::newRow("too small for a float") << "0," + QString(60, u'0') + "1" << -1.0f;
        QTest::newRow("too large for a float") << QString(50, QLatin1Char('9')) << -1.0f;
    }

    void intervalFrom()
    {
        QFETCH(QString, text);
        QFETCH(float, minutes);
        QCOMPARE(MonitorSchedule::intervalFrom(text).value_or(-1.0f), minutes);
    }

    void statusSequence_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("page"); // the router's page, or in mode 3 the page-text box
        QTest::addColumn<QString>("csvFile"); // under the capture's folder; "" when not saving
        QTest::addColumn<QStringList>("statuses");

        const QString connect = QStringLiteral("Attempting to connect to router...");
        const QString found = QStringLiteral("Router found...extracting stats");
        const QString shown = QStringLiteral("Displaying stats");
        const QString save = QStringLiteral("Saving results to file");
        const QString draw = QStringLiteral("Drawing graph");
        const QString csv = QStringLiteral("stats.csv");
        const QString done = QStringLiteral("Monitoring");
        QTest::newRow("timed, saving") << 1 << fullPage << csv << QStringList{connect, found, shown, save, draw, done};
        QTest::newRow("timed, not saving") << 1 << fullPage << "" << QStringList{connect, found, shown, draw, done};
        QTest::newRow("timed, file cannot be written")
            << 1 << fullPage << "missing/stats.csv" << QStringList{connect, found, shown, save, draw, couldNotSave};
        QTest::newRow("timed, no page") << 1 << "" << csv << QStringList{connect, "Cannot find router!"};
        QTest::newRow("timed, no values")
            << 1 << "<html></html>" << csv << QStringList{connect, found, "No values found on page"};
        QTest::newRow("timed, login refusal page")
            << 1 << "Server Error: 401 Unauthorized" << csv << QStringList{connect, found, loginFailed};
        QTest::newRow("test settings") << 2 << fullPage << csv << QStringList{connect, found, shown};
        QTest::newRow("test page") << 3 << fullPage << csv << QStringList{found, shown};
        QTest::newRow("test page empty") << 3 << "" << csv << QStringList{"No test HTML page found"};
    }

    void statusSequence()
    {
        QFETCH(int, mode);
        QFETCH(QString, page);
        QFETCH(QString, csvFile);
        QFETCH(QStringList, statuses);
        QTemporaryDir folder;
        CycleRig rig;
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
        QVERIFY(arrived.isEmpty() || arrived.first().first().toString() == page);
        // The window shows the value texts exactly as the page wrote them.
        QCOMPARE(QStringList(rig.display.current.begin(), rig.display.current.end()).join(u'/'),
            statuses.contains(QStringLiteral("Displaying stats")) ? QStringLiteral("12.50/10/30.0/20.0") : "///");
        // Whatever an earlier capture left, a new one starts in the normal colour.
        QCOMPARE(rig.status.colours.first(), QColor(0, 0, 0));
    }

    // The report started from the desktop's menu says on screen why no page came, naming the log, as
    // it says on its error output.
    void reportProblemIsTold()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("stats.csv"));
        QStringList told;
        QString errorText;
        QTextStream errors(&errorText);
        QCOMPARE(ReportCommand::runAndTell({QStringLiteral("--csv"), path, QStringLiteral("--open")}, dir.path(),
                     errors, [&told](const QString& problem) { told << problem; }),
            int(ReportCommand::logUnusable));
        errors.flush();
        QCOMPARE(told, QStringList{errorText.trimmed()});
        QVERIFY2(told.first().contains(path), qPrintable(told.first()));
    }

    // A CSV file the last run left cut mid-line keeps its piece, and the captures start a new line.
    // Test captures show values but never write the CSV file; "Test Page" parses the page-text box,
    // and a router page goes into that box only while the page-text view is on.
    void timedCaptures_writeOneLineEach()
    {
        QTemporaryDir folder;
        const QString csvPath
            = writeFileBytes(folder.filePath(QStringLiteral("stats.csv")), csvHeader + "05/03/2026,07:0");
        ProgramRig program(folder.path());
        QCOMPARE(program.status(), QStringLiteral("Ready"));
        QCOMPARE(program.window.windowTitle(), QStringLiteral("Linegauge by Orvell - 1.0.3"));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("settings.ini"))));
        QVERIFY(program.serve(healthy));
        const QString typedPage = QStringLiteral("var st_up_snr_margin = \"NA\";\n");
        program.ui().pageTextEdit->setPlainText(typedPage);
        program.ui().testPageButton->click();
        QCOMPARE(program.ui().currentValue1->text(), QStringLiteral("NA"));
        program.ui().testSettingsButton->click();
        QVERIFY(program.waitForCaptures(2));
        QCOMPARE(program.ui().currentValue2->text(), QStringLiteral("30.0"));
        QCOMPARE(program.ui().pageTextEdit->toPlainText(), typedPage);
        QTest::mouseClick(program.ui().statusCaption, Qt::LeftButton);
        program.ui().testSettingsButton->click();
        QVERIFY(program.waitForCaptures(3));
        QVERIFY(program.ui().pageTextEdit->toPlainText().contains(QStringLiteral("st_dw_line_attenuation")));

        program.ui().monitorButton->click();
        QVERIFY(program.waitForCaptures(4));
        QCOMPARE(program.status(), QStringLiteral("Monitoring"));
        QCOMPARE(program.ui().countdownLabel->text(), QStringLiteral("Next capture: 00:01:00"));
        QVERIFY(!program.ui().routerGroup->isEnabled());
        // Sixty ticks of 1/60 minute stay just below one minute.
        QCOMPARE(program.startCapture(), 61);
        QVERIFY(program.waitForCaptures(5));
        program.ui().monitorButton->click();
        QCOMPARE(program.status(), QStringLiteral("Stopped Monitoring"));
        QVERIFY(program.ui().countdownLabel->isHidden());
        QCOMPARE(fileBytes(csvPath), csvHeader + "05/03/2026,07:0\r\n" + healthyLine + healthyLine);
        QCOMPARE(program.ui().minimumValue0->text(), QStringLiteral("12.5"));
        // Without auto range the graph keeps its range.
        QCOMPARE(program.controller.graph().graphMax, GraphState::defaultGraphMax);
        // A screen reader hears the values, and of the graph only the series it shows.
        QCOMPARE(program.ui().maximumValue3->accessibleName(), QStringLiteral("Up Attenuation maximum: 20.0"));
        QTest::mouseClick(program.ui().currentValue1, Qt::LeftButton);
        QCOMPARE(program.ui().graphSurface->accessibleDescription(),
            "Graph showing the last 100 intervals: Down SNR 12.5, Down Attenuation 30.0, Up Attenuation 20.0");
    }

    void dropWhileInTray_raisesOneBalloon_data()
    {
        QTest::addColumn<Qt::CheckState>("balloonBox");
        QTest::newRow("balloons ticked") << Qt::Checked;
        QTest::newRow("balloon box greyed: no balloon") << Qt::PartiallyChecked;
    }

    // Captures go up, down, down: one drop.
    void dropWhileInTray_raisesOneBalloon()
    {
        QFETCH(Qt::CheckState, balloonBox);
        const bool ticked = balloonBox == Qt::Checked;
        QTemporaryDir folder;
        ProgramRig program(folder.path());
        QVERIFY(program.serve(healthy + QStringList{"--drop-every", "3", "--drop-length", "2"}));
        program.ui().balloonsCheck->setCheckState(balloonBox);
        program.ui().saveCheck->setChecked(false);
        program.ui().trayButton->click();
        QVERIFY(program.window.isHidden());

        program.controller.toggleMonitoring();
        QVERIFY(program.waitForCaptures(1));
        for (int capture = 2; capture <= 4; ++capture)
            QVERIFY(program.captureOnce());
        QCOMPARE(program.trayIcon.notices.size(), ticked ? 1 : 0);
        QCOMPARE(program.controller.statistics().dropNoticeShown(), ticked);
        QVERIFY(program.ui().lastDropLabel->text().startsWith(QStringLiteral("Last connection drop: ")));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("stats.csv"))));
    }

    // What the program does not know stays in the file, and a close that changed nothing rewrites it
    // byte for byte.
    void settings_surviveCloseAndRestart()
    {
        QTemporaryDir folder;
        const QByteArray tweaks = "; tuned by hand\r\n[Tweaks]\r\nSNR threshold=4.5\r\nStats page=/status.htm\r\n";
        const QString path = writeFileBytes(folder.filePath(QStringLiteral("settings.ini")),
            "[Options]\r\nRouter IP=127.0.0.1\r\nMarkers=True\r\n" + tweaks);
        {
            ProgramRig program(folder.path());
            QCOMPARE(program.ui().addressEdit->text(), QStringLiteral("127.0.0.1"));
            QVERIFY(program.window.markersAction()->isChecked());
            program.ui().userEdit->setText(QStringLiteral("operator"));
            program.ui().passwordEdit->setText(QStringLiteral("secret"));
            program.window.close();
        }
        const QByteArray saved = fileBytes(path);
        QVERIFY(saved.contains(tweaks));
        ProgramRig restarted(folder.path());
        QCOMPARE((QStringList{restarted.ui().userEdit->text(), restarted.ui().passwordEdit->text()}),
            (QStringList{"operator", "secret"}));
        restarted.window.close();
        QCOMPARE(fileBytes(path), saved);
    }

    // Without an interval in the settings file the box stays empty, which is no interval at all: it
    // is refused while a test capture hangs, which starts no second one. A written 0 is taken, and
    // monitoring captures at once, then once per tick, never in a burst while a capture waits.
    void zeroIntervalAfterHangingTest_capturesAtOnceAndOncePerTick()
    {
        QTemporaryDir folder;
        writeFileBytes(folder.filePath(QStringLiteral("settings.ini")),
            "[Options]\r\nOutput filename=stats.csv\r\n[Tweaks]\r\nAuto Range=true\r\n");
        ProgramRig program(folder.path());
        QCOMPARE(program.ui().intervalEdit->text(), QString());
        QVERIFY(program.serve({"--fault", "hang"}));
        program.ui().testSettingsButton->click();
        QTest::qWait(200);
        QVERIFY(program.controller.isCapturing());
        program.ui().pageTextEdit->setPlainText(QStringLiteral("var st_dw_snr_margin = \"9.5\";\n"));
        program.ui().testPageButton->click();
        QCOMPARE(program.ui().currentValue0->text(), QString());

        program.ui().monitorButton->click();
        QVERIFY(!program.controller.isMonitoring() && program.controller.isCapturing());
        QCOMPARE(program.status(), QStringLiteral("Interval must be a number of minutes above 0."));
        program.ui().intervalEdit->setText(QStringLiteral("0"));
        QVERIFY(program.serve(healthy));
        program.ui().monitorButton->click();
        QVERIFY(QTest::qWaitFor([&] { return program.status() == QLatin1String("Monitoring"); }, 3000));
        QCOMPARE(program.ui().currentValue0->text(), QStringLiteral("12.5"));
        QCOMPARE(program.controller.graph().graphMax, 30.0f);
        QCOMPARE(fileBytes(folder.filePath(QStringLiteral("stats.csv"))), csvHeader + healthyLine);
        const qsizetype before = program.captures.count();
        for (int tick = 0; tick < 3; ++tick)
            program.controller.onTick();
        QVERIFY(program.waitForCaptures(int(before) + 1));
        QTest::qWait(100);
        QCOMPARE(program.captures.count(), before + 1);
        QCOMPARE(program.status(), QStringLiteral("Monitoring"));
        QCOMPARE(program.ui().countdownLabel->text(), QStringLiteral("Next capture: 00:00:00"));
    }

    void routerFault_data()
    {
        QTest::addColumn<QStringList>("routerOptions");
        QTest::addColumn<QString>("status");
        QTest::newRow("connection refused") << QStringList{"--fault", "refuse"} << "Cannot find router!";
        QTest::newRow("router hangs") << QStringList{"--fault", "hang"} << "The router did not answer in time.";
        QTest::newRow("huge page") << QStringList{"--fault", "huge", "--huge-mb", "8"}
                                   << "Router reply too large for a status page.";
        QTest::newRow("login refused page") << QStringList{"--fault", "page401"} << loginFailed;
        QTest::newRow("right digest login") << healthy + QStringList{"--auth", "digest"} << "Monitoring";
    }

    // A faulty router neither freezes the window nor stops monitoring, and its error box does not
    // pile up; the very next capture after it behaves again works, and a close while a capture meets
    // the fault ends the program at once, with nothing left running.
    void routerFault()
    {
        QFETCH(QStringList, routerOptions);
        QFETCH(QString, status);
        const bool captured = status == QLatin1String("Monitoring");
        QTemporaryDir folder;
        const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
        auto program = std::make_unique<ProgramRig>(folder.path());
        const qsizetype threads = ProcessFigures::threads();
        RouterSimulator* router = program->serve(routerOptions);
        QVERIFY(router);
        program->ui().passwordEdit->setText(QStringLiteral("admin"));
        const GraphPoint graphBefore = program->newestPoint();

        // How long the event loop went without serving a 50 ms timer.
        QTimer heartbeat;
        QElapsedTimer sinceBeat;
        qint64 stallMs = 0;
        connect(&heartbeat, &QTimer::timeout, [&] { stallMs = std::max(stallMs, sinceBeat.restart()); });
        sinceBeat.start();
        heartbeat.start(50);
        program->ui().monitorButton->click();
        QVERIFY(program->waitForCaptures(1) && program->captureOnce());
        stallMs = std::max(stallMs, sinceBeat.elapsed());
        QCOMPARE_LT(stallMs, longestAllowedBlockMs);
        QCOMPARE(program->status(), status);
        QCOMPARE(program->messageBox.texts, status == loginFailed ? QStringList{status} : QStringList());
        const QByteArray log = csvHeader + (captured ? healthyLine + healthyLine : QByteArray());
        QCOMPARE(fileBytes(csvPath), log);
        QCOMPARE(program->newestPoint() != graphBefore, captured);
        QCOMPARE(program->ui().lastDropLabel->text(), QStringLiteral("Last connection drop: None this session"));
        QVERIFY(program->controller.isMonitoring());
        const int requests = router->stopAndCountRequests();
        QVERIFY2(requests >= 0 && requests <= 2 * mostRequestsPerCapture, qPrintable(QString::number(requests)));

        QVERIFY(program->serve(healthy) && program->captureOnce());
        QCOMPARE(program->status(), QStringLiteral("Monitoring"));
        QCOMPARE(fileBytes(csvPath), log + healthyLine);

        router = program->serve(routerOptions);
        QVERIFY(router && program->startCapture() > 0);
        QTest::qWait(300);
        QSignalSpy closed(&program->controller, &MainController::closed);
        QElapsedTimer closing;
        closing.start();
        program->window.close();
        QVERIFY(closed.count() == 1 || closed.wait(int(longestAllowedBlockMs)));
        QCOMPARE_LT(closing.elapsed(), longestAllowedBlockMs);
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("settings.ini"))));
        QVERIFY(router->stopAndCountRequests() <= mostRequestsPerCapture);
        program.reset();
        QVERIFY(ProcessFigures::threads() <= threads);
    }

    void fileFault_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind"); // what stands where the file belongs
        QTest::addColumn<QString>("status");
        const QString settings = QStringLiteral("settings.ini");
        const QString csv = QStringLiteral("stats.csv");
        const QString unreadable = QStringLiteral("Cannot read settings.ini: not loaded or saved.");
        const QString notWritable = QStringLiteral("Folder not writable: settings and CSV not kept.");
        QTest::newRow("settings file in a read-only folder") << settings << "file" << notWritable;
        QTest::newRow("settings file is a folder") << settings << "folder" << unreadable;
        QTest::newRow("settings file is a device") << settings << "device" << unreadable;
        QTest::newRow("settings file is a FIFO without a writer") << settings << "fifo" << unreadable;
        QTest::newRow("CSV file is a FIFO without a reader") << csv << "fifo" << couldNotSave;
        QTest::newRow("CSV file is a FIFO whose reader stopped reading") << csv << "full fifo" << couldNotSave;
    }

    // Whatever stands where a file of the program belongs is neither waited on nor replaced. The user
    // hears at start that settings will not be kept; each capture retries the CSV file, the graph goes on.
    void fileFault()
    {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, status);
        const bool settings = file == QLatin1String("settings.ini");
        const bool regular = kind == QLatin1String("file");
        if (regular && !permissionsHold)
            QSKIP("running as root");
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("program"));
        const QString path = folder + u'/' + file;
        const QByteArray options = "[Options]\r\nRouter IP=192.0.2.7\r\n";
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("program")));
        // Root gets a device node of its own: a save that wrongly replaced a link's target would
        // replace the system's /dev/zero.
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir(folder).mkpath(file));
        else if (kind == QLatin1String("device"))
            QVERIFY(permissionsHold ? QFile::link(QStringLiteral("/dev/zero"), path)
                                    : ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 5)) == 0);
        else if (regular)
            writeFileBytes(path, options);
        else
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        const int reader = kind == QLatin1String("full fifo") ? fullFifo(path) : -1;
        QVERIFY(!settings || QFile::setPermissions(folder, readOnly));
        {
            // A step that blocks ends the process by SIGALRM's default action instead of hanging the run.
            ::alarm(10);
            ProgramRig program(folder);
            QCOMPARE(
                program.ui().addressEdit->text(), regular ? QStringLiteral("192.0.2.7") : QStringLiteral("10.0.0.2"));
            if (!settings) {
                QVERIFY(program.serve(healthy));
                const GraphPoint graphBefore = program.newestPoint();
                program.ui().monitorButton->click();
                QVERIFY(program.waitForCaptures(1));
                QCOMPARE(program.status(), status);
                QVERIFY(program.newestPoint() != graphBefore);
                QVERIFY(program.captureOnce() && program.controller.isMonitoring());
            }
            QCOMPARE(program.status(), status);
            program.ui().userEdit->setText(QStringLiteral("operator"));
            program.window.close();
        }
        QFile::setPermissions(folder, readOnly | QFile::WriteOwner);
        QVERIFY(QFileInfo::exists(path) && QFileInfo(path).isFile() == regular);
        QVERIFY(!regular || fileBytes(path) == options);
        if (reader >= 0)
            ::close(reader);
    }
};

QTEST_MAIN(TestProgram)
#include "TestProgram.moc"
