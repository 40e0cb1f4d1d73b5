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

// A window blocked for a whole router time-out would miss these by far.
constexpr qint64 longestAllowedStallMs = 1000;
constexpr qint64 longestAllowedCloseMs = 1000;
// The login probe and its answer.
constexpr int mostRequestsPerCapture = 2;
const QStringList healthy{"--values", "12.5,10.0,30.0,20.0"};
const QByteArray healthyLine = csvLine("12.5,10.0,30.0,20.0");
const QByteArray settingsOptions = "[Options]\r\nRouter IP=192.0.2.7\r\n";
const QString couldNotSave = QStringLiteral("Could not save results to file!");
const QString loginFailed = QStringLiteral("Unable to log in to the router.");

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

// A device where a file belongs. Root gets a node of its own: a save that wrongly replaced a link's
// target would replace the system's /dev/zero.
bool makeDevice(const QString& path)
{
    if (permissionsHold())
        return QFile::link(QStringLiteral("/dev/zero"), path);
    return ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 5)) == 0;
}

} // namespace

// The whole program against the router and file faults only the whole program can show: a frozen
// window, a close during a fetch, pipes and devices where its files belong.
class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void routerFault_data();
    void routerFault();
    void csvFileIsAPipe_data();
    void csvFileIsAPipe();
    void settingsFileFault_data();
    void settingsFileFault();
};

void TestFaultMatrix::routerFault_data()
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

void TestFaultMatrix::routerFault()
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
    program->ui().txtPass->setText(QStringLiteral("admin"));
    const GraphPoint graphBefore = program->newestPoint();

    const Heartbeat heartbeat;
    program->ui().cmdTimer->click();
    // The error box does not hold up monitoring, so a second error reply must not pile up boxes.
    QVERIFY(program->waitForCaptures(1) && program->captureOnce());
    QVERIFY2(heartbeat.stallMs() < longestAllowedStallMs, qPrintable(QString::number(heartbeat.stallMs())));
    QCOMPARE(program->status(), status);
    QCOMPARE(program->messageBox.texts, status == loginFailed ? QStringList{status} : QStringList());
    const QByteArray log = csvHeader + (captured ? healthyLine + healthyLine : QByteArray());
    QCOMPARE(fileBytes(csvPath), log);
    QCOMPARE(program->newestPoint() != graphBefore, captured);
    QCOMPARE(program->ui().lblLastDrop->text(), QStringLiteral("Last connection drop: None this session"));
    QVERIFY(program->controller.isMonitoring());
    const int requests = router->stopAndCountRequests();
    QVERIFY2(requests >= 0 && requests <= 2 * mostRequestsPerCapture, qPrintable(QString::number(requests)));

    // Once the router behaves again, the very next timed capture works.
    QVERIFY(program->serve(healthy) && program->captureOnce());
    QCOMPARE(program->status(), QStringLiteral("Monitoring"));
    QCOMPARE(fileBytes(csvPath), log + healthyLine);

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

void TestFaultMatrix::csvFileIsAPipe_data()
{
    QTest::addColumn<bool>("readerStalled");
    QTest::newRow("FIFO without a reader") << false;
    QTest::newRow("FIFO whose reader stopped reading") << true;
}

// A pipe where the CSV file belongs neither takes the lines nor blocks the window; each capture
// tries again and says so again.
void TestFaultMatrix::csvFileIsAPipe()
{
    QFETCH(bool, readerStalled);
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
    QVERIFY(makeFifo(csvPath));
    const int reader = readerStalled ? fullFifo(csvPath) : -1;
    ProgramRig program(folder.path());
    QVERIFY(program.serve(healthy));
    const GraphPoint graphBefore = program.newestPoint();

    const BlockWatchdog watchdog;
    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QCOMPARE(program.status(), couldNotSave);
    QVERIFY(program.newestPoint() != graphBefore);
    QVERIFY(program.captureOnce());
    QCOMPARE(program.status(), couldNotSave);
    QVERIFY(program.controller.isMonitoring());
    if (reader >= 0)
        ::close(reader);
}

void TestFaultMatrix::settingsFileFault_data()
{
    QTest::addColumn<QString>("kind"); // what stands where settings.ini belongs
    QTest::addColumn<QString>("status");
    const QString unreadable = QStringLiteral("Cannot read settings.ini: not loaded or saved.");
    QTest::newRow("file in a read-only folder") << "file"
                                                << "Folder not writable: settings and CSV not kept.";
    QTest::newRow("folder") << "folder" << unreadable;
    QTest::newRow("device") << "device" << unreadable;
    QTest::newRow("FIFO without a writer") << "fifo" << unreadable;
}

// Whatever stands where the settings file belongs is neither waited on nor replaced at close, and
// the user hears at start that changes will not be kept.
void TestFaultMatrix::settingsFileFault()
{
    QFETCH(QString, kind);
    QFETCH(QString, status);
    const bool file = kind == QLatin1String("file");
    if (file && !permissionsHold())
        QSKIP("running as root");
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("program"));
    const QString path = folder + QStringLiteral("/settings.ini");
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("program")));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir(folder).mkpath(QStringLiteral("settings.ini")));
    else if (kind == QLatin1String("fifo"))
        QVERIFY(makeFifo(path));
    else if (kind == QLatin1String("device"))
        QVERIFY(makeDevice(path));
    else
        QVERIFY(writeFile(path, settingsOptions) && QFile::setPermissions(folder, readOnly));
    {
        const BlockWatchdog watchdog;
        ProgramRig program(folder);
        QCOMPARE(program.ui().txtIP->text(), file ? QStringLiteral("192.0.2.7") : QStringLiteral("10.0.0.2"));
        QCOMPARE(program.status(), status);
        program.ui().txtUser->setText(QStringLiteral("operator"));
        program.window.close();
    }
    QFile::setPermissions(folder, readOnly | QFile::WriteOwner);
    QVERIFY(QFileInfo::exists(path) && QFileInfo(path).isFile() == file);
    QVERIFY(!file || fileBytes(path) == settingsOptions);
}

QTEST_MAIN(TestFaultMatrix)
#include "TestFaultMatrix.moc"
