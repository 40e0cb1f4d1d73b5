// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "support/ProcessFigures.h"
#include "support/ProgramRig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A window blocked for a whole router time-out would miss this by far.
constexpr qint64 longestAllowedStallMs = 1000;
// The login probe, its answer, and one answer to a challenge the router calls stale.
constexpr int mostRequestsPerCapture = 3;
constexpr qint64 longestAllowedCloseMs = 1000;
constexpr qint64 settingsBound = qint64(1) << 20; // 1 MiB
const QStringList healthy{"--values", "12.5,10.0,30.0,20.0"};
const QString couldNotSave = QStringLiteral("Could not save results to file!");

// Measures how long the event loop went without serving a 50 ms timer.
struct Heartbeat
{
    Heartbeat()
    {
        QObject::connect(
            &timer, &QTimer::timeout, [this] { longestGapMs = std::max(longestGapMs, sinceLast.restart()); });
        sinceLast.start();
        timer.start(50);
    }
    qint64 stallMs() const { return std::max(longestGapMs, sinceLast.elapsed()); }

    QTimer timer;
    QElapsedTimer sinceLast;
    qint64 longestGapMs = 0;
};

// Ends the test process by SIGALRM's default action when a step that must never block has not
// returned in time, so a regression fails at once instead of hanging the test run.
struct BlockWatchdog
{
    BlockWatchdog() { ::alarm(10); }
    ~BlockWatchdog() { ::alarm(0); }
    Q_DISABLE_COPY_MOVE(BlockWatchdog)
};

QList<QByteArray> fileLines(const QString& path)
{
    QList<QByteArray> lines = fileBytes(path).split('\n');
    lines.removeLast();
    return lines;
}

// Every line a whole CSV line: CR LF ended and as many columns as the header.
bool csvIsWhole(const QList<QByteArray>& lines)
{
    return std::all_of(lines.begin(), lines.end(),
        [&](const QByteArray& line) { return line.endsWith('\r') && line.count(',') == lines.first().count(','); });
}

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

QString kindAt(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return info.symLinkTarget();
    return info.isDir() ? QStringLiteral("folder") : info.isFile() ? QStringLiteral("file") : QStringLiteral("fifo");
}

// File permissions do not stop root from writing, so rows that need them are skipped for root.
bool permissionsHold()
{
    return ::geteuid() != 0;
}

} // namespace

// The whole program against every router misbehaviour and every file fault it must survive.
class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void routerFault_data();
    void routerFault();
    void routerErrorBox_doesNotHoldTheSchedule();
    void keysMissingFromPage_areNeitherLoggedNorMeasured();
    void csvFileFault_data();
    void csvFileFault();
    void csvFileCutMidLine_keepsItAndStartsANewLine();
    void settingsFileFault_data();
    void settingsFileFault();
};

void TestFaultMatrix::routerFault_data()
{
    QTest::addColumn<QStringList>("routerOptions");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QByteArray>("csvLine"); // how the capture's CSV line ends; empty when it failed

    const QString lost = QStringLiteral("Cannot find router!");
    const QString late = QStringLiteral("The router did not answer in time.");
    const QString tooLarge = QStringLiteral("Router reply too large for a status page.");
    const QString noValues = QStringLiteral("No values found on page");
    const QString refused = QStringLiteral("Unable to log in to the router.");
    const QString monitoring = QStringLiteral("Monitoring");
    const QByteArray none;
    QTest::newRow("connection refused") << QStringList{"--fault", "refuse"} << lost << none;
    QTest::newRow("router hangs") << QStringList{"--fault", "hang"} << late << none;
    QTest::newRow("slow drip") << QStringList{"--fault", "slow"} << late << none;
    QTest::newRow("huge page") << QStringList{"--fault", "huge", "--huge-mb", "8"} << tooLarge << none;
    QTest::newRow("binary garbage") << QStringList{"--fault", "garbage"} << lost << none;
    QTest::newRow("truncated reply") << QStringList{"--fault", "truncated"} << lost << none;
    QTest::newRow("page not found") << QStringList{"--fault", "404"} << noValues << none;
    QTest::newRow("redirect loop") << QStringList{"--fault", "redirect-loop"} << noValues << none;
    QTest::newRow("login refused page") << QStringList{"--fault", "page401"} << refused << none;
    QTest::newRow("not implemented page") << QStringList{"--fault", "page501"} << "Router page does not exist." << none;
    QTest::newRow("wrong basic login") << QStringList{"--auth", "basic", "--password", "other"} << refused << none;
    QTest::newRow("wrong digest login") << QStringList{"--auth", "digest", "--user", "other"} << refused << none;
    QTest::newRow("login stale every time") << QStringList{"--fault", "auth-stale"} << lost << none;
    QTest::newRow("login under a new realm every time") << QStringList{"--fault", "auth-rotating"} << refused << none;
    QTest::newRow("endless headers") << QStringList{"--fault", "endless-headers"} << tooLarge << none;
    QTest::newRow("endless 100 continue") << QStringList{"--fault", "endless-continue"} << tooLarge << none;
    QTest::newRow("chunked page") << healthy + QStringList{"--fault", "chunked"} << monitoring
                                  << QByteArray(",12.5,10.0,30.0,20.0\r");
    QTest::newRow("right digest login") << healthy + QStringList{"--auth", "digest"} << monitoring
                                        << QByteArray(",12.5,10.0,30.0,20.0\r");
    QTest::newRow("values NA") << healthy + QStringList{"--na", "SD,AU"} << monitoring
                               << QByteArray(",NA,10.0,30.0,NA\r");
    QTest::newRow("values not numbers") << healthy + QStringList{"--non-numeric", "AD"} << monitoring
                                        << QByteArray(",12.5,10.0,n/a dB,20.0\r");
}

void TestFaultMatrix::routerFault()
{
    QFETCH(QStringList, routerOptions);
    QFETCH(QString, status);
    QFETCH(QByteArray, csvLine);
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
    auto program = std::make_unique<ProgramRig>(folder.path());
    const qsizetype threads = ProcessFigures::threads();
    RouterSimulator* router = program->serve(routerOptions);
    QVERIFY(router);
    program->ui().txtPass->setText(QStringLiteral("admin"));
    const QList<qint32> graphBefore = program->newestPoints();

    const Heartbeat heartbeat;
    program->ui().cmdTimer->click();
    QVERIFY(program->waitForCaptures(1));
    QVERIFY2(heartbeat.stallMs() < longestAllowedStallMs, qPrintable(QString::number(heartbeat.stallMs())));
    QCOMPARE(program->status(), status);
    const QList<QByteArray> lines = fileLines(csvPath);
    QVERIFY(csvIsWhole(lines));
    QCOMPARE(lines.size(), csvLine.isEmpty() ? 1 : 2);
    QVERIFY2(lines.last().endsWith(csvLine), lines.last().constData());
    QCOMPARE(program->newestPoints() != graphBefore, !csvLine.isEmpty());
    QCOMPARE(program->ui().lblLastDrop->text(), QStringLiteral("Last connection drop: None this session"));
    QVERIFY(program->controller.isMonitoring());
    QVERIFY(!program->controller.isCapturing());
    const int requests = router->stopAndCountRequests();
    QVERIFY2(requests >= 0 && requests <= mostRequestsPerCapture, qPrintable(QString::number(requests)));

    // Once the router behaves again, the very next timed capture works.
    QVERIFY(program->serve(healthy));
    QVERIFY(program->captureOnce());
    QCOMPARE(program->status(), QStringLiteral("Monitoring"));
    QCOMPARE(fileLines(csvPath).size(), lines.size() + 1);
    QVERIFY(csvIsWhole(fileLines(csvPath)));

    // Closing while a capture meets the fault ends the program at once, with nothing left running.
    router = program->serve(routerOptions);
    QVERIFY(router && program->startCapture());
    QTest::qWait(300);
    QSignalSpy closed(&program->controller, &MainController::closed);
    QElapsedTimer closing;
    closing.start();
    program->window.close();
    QVERIFY(closed.count() == 1 || closed.wait(int(longestAllowedCloseMs)));
    QVERIFY2(closing.elapsed() < longestAllowedCloseMs, qPrintable(QString::number(closing.elapsed())));
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("settings.ini"))));
    QVERIFY(router->stopAndCountRequests() <= mostRequestsPerCapture);
    program.reset();
    QVERIFY(ProcessFigures::threads() <= threads);
}

void TestFaultMatrix::routerErrorBox_doesNotHoldTheSchedule()
{
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    const RouterSimulator* router = program.serve({"--fault", "page401"});
    QVERIFY(router);
    const QString status = QStringLiteral("Unable to log in to the router.");

    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QVERIFY(program.messageBox.isShowing());
    // With the box still open the schedule goes on, and further error replies open no second box.
    QVERIFY(program.captureOnce());
    QCOMPARE(program.status(), status);
    QCOMPARE(program.messageBox.texts, QStringList{status});
    QVERIFY(program.serve(healthy));
    QVERIFY(program.captureOnce());
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(fileLines(folder.filePath(QStringLiteral("stats.csv"))).size(), 2);

    program.messageBox.clickOk();
    program.pointAt(*router);
    QVERIFY(program.captureOnce());
    QCOMPARE(program.messageBox.texts, (QStringList{status, status}));
}

void TestFaultMatrix::keysMissingFromPage_areNeitherLoggedNorMeasured()
{
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
    ProgramRig program(folder.path());
    const RouterSimulator* partial = program.serve(healthy + QStringList{"--missing", "SU"});
    QVERIFY(partial);
    const QString minimumBefore = program.ui().lblMin_1->text();

    // Up SNR has had no number yet: its 0.0 start value is neither a minimum nor a drop.
    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QVERIFY(fileLines(csvPath).last().endsWith(",12.5,NA,30.0,20.0\r"));
    QCOMPARE(program.ui().lblMin_1->text(), minimumBefore);
    QCOMPARE(program.ui().lblLastDrop->text(), QStringLiteral("Last connection drop: None this session"));

    QVERIFY(program.serve(healthy));
    QVERIFY(program.captureOnce());
    QVERIFY(program.controller.state().lineUp);
    // The window keeps the last Up SNR text; the log records only what this page held.
    program.pointAt(*partial);
    QVERIFY(program.captureOnce());
    QCOMPARE(program.ui().lblStats_1->text(), QStringLiteral("10.0"));
    QVERIFY(fileLines(csvPath).last().endsWith(",12.5,NA,30.0,20.0\r"));
    QCOMPARE(fileLines(csvPath).size(), 4);
}

void TestFaultMatrix::csvFileFault_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("disk full") << "/dev/full";
    QTest::newRow("folder where the file should be") << "stats.csv";
    QTest::newRow("read-only folder") << "locked/stats.csv";
    QTest::newRow("FIFO without a reader") << "fifo.csv";
    QTest::newRow("FIFO whose reader stopped reading") << "stalled.csv";
}

void TestFaultMatrix::csvFileFault()
{
    QFETCH(QString, fileName);
    if (fileName.startsWith(QLatin1String("locked")) && !permissionsHold())
        QSKIP("running as root");
    QTemporaryDir folder;
    const QString locked = folder.filePath(QStringLiteral("locked"));
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("stats.csv")) && QDir(folder.path()).mkpath(locked));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(makeFifo(folder.filePath(QStringLiteral("fifo.csv"))));
    QVERIFY(makeFifo(folder.filePath(QStringLiteral("stalled.csv"))));
    const int stalledReader = fullFifo(folder.filePath(QStringLiteral("stalled.csv")));
    ProgramRig program(folder.path());
    QVERIFY(program.serve(healthy));
    program.ui().txtFilename->setText(fileName);
    const QList<qint32> graphBefore = program.newestPoints();

    const BlockWatchdog watchdog;
    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QCOMPARE(program.status(), couldNotSave);
    QVERIFY(program.newestPoints() != graphBefore);
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("stats.csv"))).isDir());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("locked/stats.csv"))));
    // The next capture tries again and says so again; nothing else was harmed.
    QVERIFY(program.captureOnce());
    QCOMPARE(program.status(), couldNotSave);
    QVERIFY(program.controller.isMonitoring());
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ::close(stalledReader);
}

void TestFaultMatrix::csvFileCutMidLine_keepsItAndStartsANewLine()
{
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
    const QByteArray cut = "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n05/03/2026,07:0";
    QVERIFY(writeFile(csvPath, cut));
    ProgramRig program(folder.path());
    QVERIFY(program.serve(healthy));

    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(fileBytes(csvPath), cut + "\r\n05/03/2026,07:08:09,12.5,10.0,30.0,20.0\r\n");
}

void TestFaultMatrix::settingsFileFault_data()
{
    QTest::addColumn<QString>("kind"); // what stands where settings.ini belongs
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("routerIp");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QByteArrayList>("keptLines");
    QTest::addColumn<bool>("saved");

    const QByteArray options = "[Options]\r\nRouter IP=192.0.2.7\r\n";
    const QByteArray tweaks = "[Tweaks]\r\nSNR threshold=4.5\r\n";
    const QByteArray padded = options + QByteArray(settingsBound - options.size(), '\n');
    const QString ready = QStringLiteral("Ready");
    const QString unreadable = QStringLiteral("Cannot read settings.ini: not loaded or saved.");
    const QString defaultIp = QStringLiteral("10.0.0.2");
    QTest::newRow("cut mid-line") << "file" << options + tweaks + "Stats pa"
                                  << "192.0.2.7" << ready << QByteArrayList{tweaks, "Stats pa"} << true;
    QTest::newRow("cut mid-value") << "file" << tweaks + "[Options]\r\nRouter IP=192.0."
                                   << "192.0." << ready << QByteArrayList{tweaks, "Router IP=192.0."} << true;
    QTest::newRow("cut mid-section name") << "file" << options + "[Twea"
                                          << "192.0.2.7" << ready << QByteArrayList{"[Twea"} << true;
    QTest::newRow("blank lines up to the bound")
        << "file" << padded << "192.0.2.7" << ready << QByteArrayList{options} << true;
    QTest::newRow("blank lines one byte over the bound")
        << "file" << padded + '\n'
        << defaultIp << unreadable << QByteArrayList{padded + '\n'} << false;
    QTest::newRow("file read-only") << "read-only file" << options + tweaks << "192.0.2.7" << ready
                                    << QByteArrayList{options + tweaks} << false;
    QTest::newRow("folder read-only") << "file in read-only folder" << options + tweaks << "192.0.2.7"
                                      << "Folder not writable: settings and CSV not kept."
                                      << QByteArrayList{options + tweaks} << false;
    QTest::newRow("folder where the file should be")
        << "folder" << QByteArray() << defaultIp << unreadable << QByteArrayList{} << false;
    QTest::newRow("link to /dev/zero") << "/dev/zero" << QByteArray() << defaultIp << unreadable << QByteArrayList{}
                                       << false;
    QTest::newRow("FIFO without a writer")
        << "fifo" << QByteArray() << defaultIp << unreadable << QByteArrayList{} << false;
}

void TestFaultMatrix::settingsFileFault()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(QString, routerIp);
    QFETCH(QString, status);
    QFETCH(QByteArrayList, keptLines);
    QFETCH(bool, saved);
    if (kind.contains(QLatin1String("read-only")) && !permissionsHold())
        QSKIP("running as root");
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("program"));
    const QString path = folder + QStringLiteral("/settings.ini");
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("program")));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir(folder).mkpath(QStringLiteral("settings.ini")));
    else if (kind == QLatin1String("fifo"))
        QVERIFY(makeFifo(path));
    else if (kind.startsWith(u'/'))
        QVERIFY(QFile::link(kind, path));
    else
        QVERIFY(writeFile(path, content));
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
    QVERIFY(kind != QLatin1String("read-only file") || QFile::setPermissions(path, QFile::ReadOwner));
    QVERIFY(kind != QLatin1String("file in read-only folder") || QFile::setPermissions(folder, readOnly));
    {
        const BlockWatchdog watchdog;
        ProgramRig program(folder);
        QCOMPARE(program.ui().txtIP->text(), routerIp);
        QCOMPARE(program.status(), status);
        program.ui().txtUser->setText(QStringLiteral("operator"));
        program.window.close();
    }
    QFile::setPermissions(folder, readOnly | QFile::WriteOwner);
    // Whatever stood there still does; only a settings file that could be read is written.
    QCOMPARE(kindAt(path), kind.contains(QLatin1String("file")) ? QStringLiteral("file") : kind);
    const QByteArray after = QFileInfo(path).isFile() ? fileBytes(path) : QByteArray();
    for (const QByteArray& line : keptLines)
        QVERIFY2(after.contains(line), line.constData());
    QCOMPARE(after.contains("Username=operator"), saved);
}

QTEST_MAIN(TestFaultMatrix)
#include "TestFaultMatrix.moc"
