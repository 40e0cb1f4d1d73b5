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
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// A window blocked for a whole router time-out would miss this by far.
constexpr qint64 longestAllowedStallMs = 1000;
// The login probe, its answer, and one answer to a challenge the router calls stale.
constexpr int mostRequestsPerCapture = 3;
constexpr qint64 longestAllowedCloseMs = 1000;
constexpr qint64 settingsBound = qint64(1) << 20; // 1 MiB
const QStringList healthy{"--values", "12.5,10.0,30.0,20.0"};
const QByteArray settingsOptions = "[Options]\r\nRouter IP=192.0.2.7\r\n";
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
bool permissionsHold()
{
    return ::geteuid() != 0;
}

QString kindAt(const QString& path)
{
    struct stat info
    { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("nothing");
    if (S_ISDIR(info.st_mode) || S_ISREG(info.st_mode))
        return S_ISDIR(info.st_mode) ? QStringLiteral("folder") : QStringLiteral("file");
    return S_ISFIFO(info.st_mode) ? QStringLiteral("fifo") : QStringLiteral("device");
}

// A device where a file belongs. Root gets a node of its own: a save that wrongly replaced a link's
// target would replace the system's /dev/zero.
bool makeDevice(const QString& path)
{
    if (permissionsHold())
        return QFile::link(QStringLiteral("/dev/zero"), path);
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 5)) == 0;
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
    QTest::addColumn<QByteArray>("logged"); // the values of the capture's CSV line; none when it failed

    const QByteArray none;
    QTest::newRow("connection refused") << QStringList{"--fault", "refuse"} << "Cannot find router!" << none;
    QTest::newRow("router hangs") << QStringList{"--fault", "hang"} << "The router did not answer in time." << none;
    QTest::newRow("slow drip") << QStringList{"--fault", "slow"} << "The router did not answer in time." << none;
    QTest::newRow("huge page") << QStringList{"--fault", "huge", "--huge-mb", "8"}
                               << "Router reply too large for a status page." << none;
    QTest::newRow("page not found") << QStringList{"--fault", "404"} << "No values found on page" << none;
    QTest::newRow("login refused page") << QStringList{"--fault", "page401"} << "Unable to log in to the router."
                                        << none;
    QTest::newRow("login stale every time") << QStringList{"--fault", "auth-stale"} << "Cannot find router!" << none;
    QTest::newRow("right digest login") << healthy + QStringList{"--auth", "digest"} << "Monitoring"
                                        << QByteArray("12.5,10.0,30.0,20.0");
    QTest::newRow("values NA") << healthy + QStringList{"--na", "SD,AU"} << "Monitoring"
                               << QByteArray("NA,10.0,30.0,NA");
    // Up SNR has had no number yet: its 0.0 start value is neither logged nor a drop.
    QTest::newRow("keys missing") << healthy + QStringList{"--missing", "SU"} << "Monitoring"
                                  << QByteArray("12.5,NA,30.0,20.0");
}

void TestFaultMatrix::routerFault()
{
    QFETCH(QStringList, routerOptions);
    QFETCH(QString, status);
    QFETCH(QByteArray, logged);
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
    // Only the router's error pages raise a message box.
    const bool errorPage = QTest::currentDataTag() == QLatin1String("login refused page");
    QCOMPARE(program->messageBox.texts, errorPage ? QStringList{status} : QStringList());
    const QByteArray log = csvHeader + (logged.isNull() ? QByteArray() : csvLine(logged));
    QCOMPARE(fileBytes(csvPath), log);
    QCOMPARE(program->newestPoints() != graphBefore, !logged.isNull());
    QCOMPARE(program->ui().lblLastDrop->text(), QStringLiteral("Last connection drop: None this session"));
    QVERIFY(program->controller.isMonitoring());
    const int requests = router->stopAndCountRequests();
    QVERIFY2(requests >= 0 && requests <= mostRequestsPerCapture, qPrintable(QString::number(requests)));

    // Once the router behaves again, the very next timed capture works.
    QVERIFY(program->serve(healthy) && program->captureOnce());
    QCOMPARE(program->status(), QStringLiteral("Monitoring"));
    QCOMPARE(fileBytes(csvPath), log + csvLine("12.5,10.0,30.0,20.0"));

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
    QVERIFY(program.waitForCaptures(1) && program.messageBox.isShowing());
    // With the box still open the schedule goes on, and further error replies open no second box.
    QVERIFY(program.captureOnce());
    QCOMPARE(program.status(), status);
    QVERIFY(program.serve(healthy) && program.captureOnce());
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(program.messageBox.texts, QStringList{status});

    program.messageBox.clickOk();
    program.pointAt(*router);
    QVERIFY(program.captureOnce());
    QCOMPARE(program.messageBox.texts, (QStringList{status, status}));
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
    QVERIFY(writeFile(csvPath, csvHeader + "05/03/2026,07:0"));
    ProgramRig program(folder.path());
    QVERIFY(program.serve(healthy));
    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(fileBytes(csvPath), csvHeader + "05/03/2026,07:0\r\n" + csvLine("12.5,10.0,30.0,20.0"));
}

void TestFaultMatrix::settingsFileFault_data()
{
    QTest::addColumn<QString>("kind"); // what stands where settings.ini belongs
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("saved");

    const QByteArray padded = settingsOptions + QByteArray(settingsBound - settingsOptions.size(), '\n');
    const QByteArray tweaked = settingsOptions + "[Tweaks]\r\nSNR threshold=4.5\r\n";
    const QString ready = QStringLiteral("Ready");
    const QString unreadable = QStringLiteral("Cannot read settings.ini: not loaded or saved.");
    QTest::newRow("cut mid-line") << "file" << tweaked + "Stats pa" << true << ready << true;
    QTest::newRow("blank lines up to the bound") << "file" << padded << true << ready << true;
    QTest::newRow("blank lines one byte over the bound") << "file" << padded + '\n' << false << unreadable << false;
    QTest::newRow("file read-only") << "read-only file" << tweaked << true << ready << false;
    QTest::newRow("folder read-only") << "file in read-only folder" << tweaked << true
                                      << "Folder not writable: settings and CSV not kept." << false;
    QTest::newRow("folder where the file should be") << "folder" << QByteArray() << false << unreadable << false;
    QTest::newRow("device") << "device" << QByteArray() << false << unreadable << false;
    QTest::newRow("FIFO without a writer") << "fifo" << QByteArray() << false << unreadable << false;
}

void TestFaultMatrix::settingsFileFault()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, content);
    QFETCH(bool, loaded);
    QFETCH(QString, status);
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
    else if (kind == QLatin1String("device"))
        QVERIFY(makeDevice(path));
    else
        QVERIFY(writeFile(path, content));
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
    QVERIFY(kind != QLatin1String("read-only file") || QFile::setPermissions(path, QFile::ReadOwner));
    QVERIFY(kind != QLatin1String("file in read-only folder") || QFile::setPermissions(folder, readOnly));
    {
        const BlockWatchdog watchdog;
        ProgramRig program(folder);
        QCOMPARE(program.ui().txtIP->text(), loaded ? QStringLiteral("192.0.2.7") : QStringLiteral("10.0.0.2"));
        QCOMPARE(program.status(), status);
        program.ui().txtUser->setText(QStringLiteral("operator"));
        program.window.close();
    }
    QFile::setPermissions(folder, readOnly | QFile::WriteOwner);
    // Whatever stood there still does; only a settings file that was read is written, and it keeps
    // all the user wrote after its options.
    QCOMPARE(kindAt(path), kind.contains(QLatin1String("file")) ? QStringLiteral("file") : kind);
    const QByteArray after = QFileInfo(path).isFile() ? fileBytes(path) : QByteArray();
    QCOMPARE(after.contains("Username=operator"), saved);
    if (saved)
        QVERIFY(after.endsWith(content.mid(settingsOptions.size())));
    else
        QCOMPARE(after, content);
}

QTEST_MAIN(TestFaultMatrix)
#include "TestFaultMatrix.moc"
