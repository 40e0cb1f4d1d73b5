// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/HttpTransfer.h"
#include "support/FakeClock.h"
#include "support/FileBytes.h"
#include "support/ProcessFigures.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingTrayIcon.h"
#include "support/RouterSimulator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace {

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

// The whole program in a folder of its own, with a tray and message box that record instead of
// show, and router simulators on loopback. The monitoring timer never fires on its own: tests tick
// by hand, so every tick is counted.
struct ProgramRig
{
    static constexpr int transferTimeoutMs = 1500;

    explicit ProgramRig(const QString& folder)
        : transfer(transferTimeoutMs)
        , controller(window, Platform{trayIcon, transfer, messageBox, clock, folder, 3600 * 1000})
        , captures(&controller, &MainController::captureFinished)
    {
        controller.startUp();
    }

    Ui::MainWindow& ui() { return window.ui(); }
    QString status() { return ui().statusLabel->text(); }

    // Starts a router simulator with these options and points the program at it; null when it
    // did not start.
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

    // Ticks the schedule until the next timed capture has started (or already ended); the ticks it
    // took, or 0 when none started.
    int startCapture()
    {
        const qsizetype before = captures.count();
        int ticks = 0;
        while (ticks < 1000 && !controller.isCapturing() && captures.count() == before) {
            controller.onTick();
            ++ticks;
        }
        return controller.isCapturing() || captures.count() > before ? ticks : 0;
    }

    bool captureOnce()
    {
        const int before = int(captures.count());
        return startCapture() > 0 && waitForCaptures(before + 1);
    }

    GraphPoint newestPoint() const { return controller.graph().graphSeries.series(0).points.back(); }

    std::vector<std::unique_ptr<RouterSimulator>> routers;
    RecordingTrayIcon trayIcon;
    HttpTransfer transfer;
    RecordingMessageBox messageBox;
    FakeClock clock;
    MainWindow window;
    MainController controller;
    QSignalSpy captures;
};

// Ends the test process by SIGALRM's default action when a step that must never block has not
// returned in time, so a regression fails at once instead of hanging the test run.
struct BlockWatchdog
{
    BlockWatchdog() { ::alarm(10); }
    ~BlockWatchdog() { ::alarm(0); }
    Q_DISABLE_COPY_MOVE(BlockWatchdog)
};

bool makeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

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

// A device where a file belongs. Root gets a node of its own: a save that wrongly replaced a link's
// target would replace the system's /dev/zero.
bool makeDevice(const QString& path)
{
    if (permissionsHold)
        return QFile::link(QStringLiteral("/dev/zero"), path);
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 5)) == 0;
}

} // namespace

// The whole program driven through its window against router simulators on loopback, and against
// the faults only the whole program can show: a frozen window, a close during a fetch, pipes and
// devices where its files belong.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
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
        QCOMPARE(program.ui().maximumValue3->text(), QStringLiteral("20.0"));
        // Without auto range the graph keeps its range.
        QCOMPARE(program.controller.graph().graphMax, GraphState::defaultGraphMax);
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
            QCOMPARE(program.controller.settings().snrThreshold, 4.5f);
            program.ui().userEdit->setText(QStringLiteral("operator"));
            program.ui().passwordEdit->setText(QStringLiteral("secret"));
            program.window.close();
        }
        const QByteArray saved = fileBytes(path);
        QVERIFY(saved.contains(tweaks));
        ProgramRig restarted(folder.path());
        QCOMPARE((QStringList{restarted.ui().userEdit->text(), restarted.ui().passwordEdit->text()}),
            (QStringList{"operator", "secret"}));
        QCOMPARE(restarted.controller.settings().statsPage, QStringLiteral("/status.htm"));
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
        QVERIFY2(stallMs < longestAllowedBlockMs, qPrintable(QString::number(stallMs)));
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
        QVERIFY2(closing.elapsed() < longestAllowedBlockMs, qPrintable(QString::number(closing.elapsed())));
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
        const QString unreadable = QStringLiteral("Cannot read settings.ini: not loaded or saved.");
        QTest::newRow("settings file in a read-only folder") << "settings.ini"
                                                             << "file"
                                                             << "Folder not writable: settings and CSV not kept.";
        QTest::newRow("settings file is a folder") << "settings.ini"
                                                   << "folder" << unreadable;
        QTest::newRow("settings file is a device") << "settings.ini"
                                                   << "device" << unreadable;
        QTest::newRow("settings file is a FIFO without a writer") << "settings.ini"
                                                                  << "fifo" << unreadable;
        QTest::newRow("CSV file is a FIFO without a reader") << "stats.csv"
                                                             << "fifo" << couldNotSave;
        QTest::newRow("CSV file is a FIFO whose reader stopped reading") << "stats.csv"
                                                                         << "full fifo" << couldNotSave;
    }

    // Whatever stands where a file of the program belongs is neither waited on nor replaced. The user
    // hears at start that settings will not be kept; each capture tries the CSV file again and says
    // so again, and the graph goes on.
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
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir(folder).mkpath(file));
        else if (kind == QLatin1String("device"))
            QVERIFY(makeDevice(path));
        else if (regular)
            writeFileBytes(path, options);
        else
            QVERIFY(makeFifo(path));
        const int reader = kind == QLatin1String("full fifo") ? fullFifo(path) : -1;
        QVERIFY(!settings || QFile::setPermissions(folder, readOnly));
        {
            const BlockWatchdog watchdog;
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

QTEST_MAIN(TestEndToEnd)
#include "TestEndToEnd.moc"
