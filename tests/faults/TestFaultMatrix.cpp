// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "support/ProcessFigures.h"
#include "support/ProgramRig.h"

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
#include <unistd.h>

namespace {

// A window blocked for a whole router time-out would miss this by far.
constexpr qint64 longestAllowedStallMs = 1000;
// The login probe, its answer, and one answer to a challenge the router calls stale.
constexpr int mostRequestsPerCapture = 3;
constexpr qint64 longestAllowedCloseMs = 1000;

// Measures how long the event loop went without serving a 50 ms timer.
struct Heartbeat
{
    Heartbeat()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            longestGapMs = std::max(longestGapMs, sinceLast.restart());
            ++ticks;
        });
        sinceLast.start();
        timer.start(50);
    }

    qint64 stallMs() { return std::max(longestGapMs, sinceLast.elapsed()); }

    QTimer timer;
    QElapsedTimer sinceLast;
    qint64 longestGapMs = 0;
    int ticks = 0;
};

QList<QByteArray> fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every line a whole CSV line: CR LF ended and as many columns as the header.
bool csvIsWhole(const QList<QByteArray>& lines)
{
    if (lines.isEmpty())
        return true;
    const qsizetype columns = lines.first().count(',');
    for (const QByteArray& line : lines) {
        if (!line.endsWith('\r') || line.count(',') != columns)
            return false;
    }
    return true;
}

QList<qint32> newestPoints(const MainController& controller)
{
    QList<qint32> ys;
    for (int i = 0; i < statCount; ++i)
        ys.append(controller.graph().graphSeries.series(i).points.back().y);
    return ys;
}

// Ends the test process by SIGALRM's default action when a step that must never block has not
// returned in time, so a regression fails at once instead of hanging the test run.
struct BlockWatchdog
{
    BlockWatchdog() { ::alarm(10); }
    ~BlockWatchdog() { ::alarm(0); }
    Q_DISABLE_COPY_MOVE(BlockWatchdog)
};

constexpr qint64 settingsBound = qint64(1) << 20; // 1 MiB

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

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

} // namespace

// The whole program against every router misbehaviour and every file fault it must survive.
class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void routerFault_data();
    void routerFault();
    void closeDuringRouterFault_data();
    void closeDuringRouterFault();
    void routerErrorBox_doesNotHoldTheSchedule_data();
    void routerErrorBox_doesNotHoldTheSchedule();
    void keysMissingFromPage_areNeitherLoggedNorMeasured();
    void csvFileFault_data();
    void csvFileFault();
    void csvFileCutMidLine_keepsItAndStartsANewLine();
    void settingsFileFault_data();
    void settingsFileFault();
    void settingsPathNotASettingsFile_data();
    void settingsPathNotASettingsFile();

private:
    const QString m_simulator = QStringLiteral(LINEGAUGE_ROUTERSIM);
    std::unique_ptr<RouterSimulator> m_healthy;
};

void TestFaultMatrix::initTestCase()
{
    m_healthy = std::make_unique<RouterSimulator>(m_simulator);
    QVERIFY2(m_healthy->start({"--values", "12.5,10.0,30.0,20.0"}), qPrintable(m_healthy->errorText()));
}

void TestFaultMatrix::routerFault_data()
{
    QTest::addColumn<QStringList>("routerOptions");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("captured");

    const QString admin = QStringLiteral("admin");
    const QString wrong = QStringLiteral("wrong");
    QTest::newRow("connection refused") << QStringList{"--fault", "refuse"} << admin << admin << "Cannot find router!"
                                        << false;
    QTest::newRow("router hangs") << QStringList{"--fault", "hang"} << admin << admin
                                  << "The router did not answer in time." << false;
    QTest::newRow("slow drip") << QStringList{"--fault", "slow"} << admin << admin
                               << "The router did not answer in time." << false;
    QTest::newRow("huge page") << QStringList{"--fault", "huge", "--huge-mb", "8"} << admin << admin
                               << "Router reply too large for a status page." << false;
    QTest::newRow("binary garbage") << QStringList{"--fault", "garbage"} << admin << admin << "Cannot find router!"
                                    << false;
    QTest::newRow("truncated reply") << QStringList{"--fault", "truncated"} << admin << admin << "Cannot find router!"
                                     << false;
    QTest::newRow("page not found") << QStringList{"--fault", "404"} << admin << admin << "No values found on page"
                                    << false;
    QTest::newRow("redirect loop") << QStringList{"--fault", "redirect-loop"} << admin << admin
                                   << "No values found on page" << false;
    QTest::newRow("chunked page") << QStringList{"--fault", "chunked"} << admin << admin << "Monitoring" << true;
    QTest::newRow("login refused page") << QStringList{"--fault", "page401"} << admin << admin
                                        << "Unable to log in to the router." << false;
    QTest::newRow("not implemented page")
        << QStringList{"--fault", "page501"} << admin << admin << "Router page does not exist." << false;
    QTest::newRow("wrong basic login") << QStringList{"--auth", "basic"} << admin << wrong
                                       << "Unable to log in to the router." << false;
    QTest::newRow("wrong digest login") << QStringList{"--auth", "digest"} << wrong << admin
                                        << "Unable to log in to the router." << false;
    QTest::newRow("right digest login") << QStringList{"--auth", "digest"} << admin << admin << "Monitoring" << true;
    QTest::newRow("values NA") << QStringList{"--values", "12.5,10.0,30.0,20.0", "--na", "SD,AU"} << admin << admin
                               << "Monitoring" << true;
    QTest::newRow("keys missing") << QStringList{"--values", "12.5,10.0,30.0,20.0", "--missing", "SU"} << admin << admin
                                  << "Monitoring" << true;
    QTest::newRow("login stale every time")
        << QStringList{"--fault", "auth-stale"} << admin << admin << "Cannot find router!" << false;
    QTest::newRow("login under a new realm every time")
        << QStringList{"--fault", "auth-rotating"} << admin << admin << "Unable to log in to the router." << false;
    QTest::newRow("endless headers") << QStringList{"--fault", "endless-headers"} << admin << admin
                                     << "Router reply too large for a status page." << false;
    QTest::newRow("endless 100 continue") << QStringList{"--fault", "endless-continue"} << admin << admin
                                          << "Router reply too large for a status page." << false;
    QTest::newRow("values not numbers") << QStringList{"--values", "12.5,10.0,30.0,20.0", "--non-numeric", "AD"}
                                        << admin << admin << "Monitoring" << true;
}

void TestFaultMatrix::routerFault()
{
    QFETCH(QStringList, routerOptions);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, status);
    QFETCH(bool, captured);
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start(routerOptions), qPrintable(router.errorText()));
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
    ProgramRig program(folder.path());
    program.pointAt(router);
    program.ui().txtUser->setText(user);
    program.ui().txtPass->setText(password);
    const QList<qint32> graphBefore = newestPoints(program.controller);

    Heartbeat heartbeat;
    QElapsedTimer elapsed;
    elapsed.start();
    program.ui().cmdTimer->click();
    QVERIFY(QTest::qWaitFor([&] { return program.captures.count() == 1; }, 3 * ProgramRig::transferTimeoutMs));
    QVERIFY2(heartbeat.stallMs() < longestAllowedStallMs,
        qPrintable(QStringLiteral("event loop stalled %1 ms").arg(heartbeat.stallMs())));
    QVERIFY(heartbeat.ticks >= elapsed.elapsed() / longestAllowedStallMs);

    QCOMPARE(program.status(), status);
    const QList<QByteArray> lines = fileLines(csvPath);
    QVERIFY(csvIsWhole(lines));
    QCOMPARE(lines.size(), captured ? 2 : 1);
    QCOMPARE(newestPoints(program.controller) != graphBefore, captured);
    QVERIFY(program.controller.isMonitoring());
    QVERIFY(!program.controller.isCapturing());
    const int requests = router.stopAndCountRequests();
    QVERIFY2(requests >= 0 && requests <= mostRequestsPerCapture, qPrintable(QString::number(requests)));

    // Once the router behaves again, the very next timed capture works.
    program.pointAt(*m_healthy);
    program.ui().txtUser->clear();
    program.ui().txtPass->clear();
    QVERIFY(program.captureOnce());
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(fileLines(csvPath).size(), lines.size() + 1);
    QVERIFY(csvIsWhole(fileLines(csvPath)));
}

void TestFaultMatrix::closeDuringRouterFault_data()
{
    QTest::addColumn<QStringList>("routerOptions");
    QTest::newRow("router hangs") << QStringList{"--fault", "hang"};
    QTest::newRow("slow drip") << QStringList{"--fault", "slow"};
    QTest::newRow("login stale every time") << QStringList{"--fault", "auth-stale"};
    QTest::newRow("endless headers") << QStringList{"--fault", "endless-headers"};
    QTest::newRow("endless 100 continue") << QStringList{"--fault", "endless-continue"};
}

void TestFaultMatrix::closeDuringRouterFault()
{
    QFETCH(QStringList, routerOptions);
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start(routerOptions), qPrintable(router.errorText()));
    QTemporaryDir folder;
    auto program = std::make_unique<ProgramRig>(folder.path());
    const qsizetype threads = ProcessFigures::threads();
    program->pointAt(router);
    program->ui().cmdTimer->click();
    QTest::qWait(300);

    QSignalSpy closed(&program->controller, &MainController::closed);
    QElapsedTimer elapsed;
    elapsed.start();
    program->window.close();
    QVERIFY(closed.count() == 1 || closed.wait(int(longestAllowedCloseMs)));
    QVERIFY2(elapsed.elapsed() < longestAllowedCloseMs, qPrintable(QString::number(elapsed.elapsed())));
    program.reset();
    QVERIFY(ProcessFigures::threads() <= threads);
    QVERIFY(router.stopAndCountRequests() <= mostRequestsPerCapture);
}

void TestFaultMatrix::routerErrorBox_doesNotHoldTheSchedule_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("status");
    QTest::newRow("login refused page") << "page401"
                                        << "Unable to log in to the router.";
    QTest::newRow("not implemented page") << "page501"
                                          << "Router page does not exist.";
}

void TestFaultMatrix::routerErrorBox_doesNotHoldTheSchedule()
{
    QFETCH(QString, fault);
    QFETCH(QString, status);
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start({"--fault", fault}), qPrintable(router.errorText()));
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    program.pointAt(router);

    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QVERIFY(program.messageBox.isShowing());
    // With the box still open the schedule goes on, and further error replies open no second box.
    for (int capture = 2; capture <= 3; ++capture) {
        QVERIFY(program.captureOnce());
        QCOMPARE(program.status(), status);
    }
    QCOMPARE(program.messageBox.texts, QStringList{status});
    program.pointAt(*m_healthy);
    QVERIFY(program.captureOnce());
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(fileLines(folder.filePath(QStringLiteral("stats.csv"))).size(), 2);

    program.messageBox.clickOk();
    program.pointAt(router);
    QVERIFY(program.captureOnce());
    QCOMPARE(program.messageBox.texts, (QStringList{status, status}));
}

void TestFaultMatrix::keysMissingFromPage_areNeitherLoggedNorMeasured()
{
    RouterSimulator partial(m_simulator);
    QVERIFY2(partial.start({"--values", "12.5,10.0,30.0,20.0", "--missing", "SU"}), qPrintable(partial.errorText()));
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
    ProgramRig program(folder.path());
    program.pointAt(partial);
    const QString minimumBefore = program.ui().lblMin_1->text();
    const QString lastDropBefore = program.ui().lblLastDrop->text();

    // Up SNR has had no number yet: its 0.0 start value is neither a minimum nor a drop.
    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QVERIFY(fileLines(csvPath).last().endsWith(",12.5,NA,30.0,20.0\r"));
    QCOMPARE(program.ui().lblMin_1->text(), minimumBefore);
    QCOMPARE(program.ui().lblLastDrop->text(), lastDropBefore);

    program.pointAt(*m_healthy);
    QVERIFY(program.captureOnce());
    QVERIFY(program.controller.state().lineUp);
    // The window keeps the last Up SNR text; the log records only what this page held.
    program.pointAt(partial);
    QVERIFY(program.captureOnce());
    QCOMPARE(program.ui().lblStats_1->text(), QStringLiteral("10.0"));
    QVERIFY(fileLines(csvPath).last().endsWith(",12.5,NA,30.0,20.0\r"));
    QCOMPARE(fileLines(csvPath).size(), 4);
}

void TestFaultMatrix::csvFileFault_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("needsPermissions");
    QTest::newRow("disk full") << "/dev/full" << false;
    QTest::newRow("folder where the file should be") << "stats.csv" << false;
    QTest::newRow("read-only folder") << "locked/stats.csv" << true;
    QTest::newRow("FIFO without a reader") << "fifo.csv" << false;
    QTest::newRow("FIFO whose reader stopped reading") << "stalled.csv" << false;
}

void TestFaultMatrix::csvFileFault()
{
    QFETCH(QString, fileName);
    QFETCH(bool, needsPermissions);
    if (needsPermissions && runningAsRoot())
        QSKIP("running as root: file permissions do not stop root from writing");
    QTemporaryDir folder;
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("stats.csv")));
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("locked")));
    QVERIFY(QFile::setPermissions(folder.filePath(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(makeFifo(folder.filePath(QStringLiteral("fifo.csv"))));
    QVERIFY(makeFifo(folder.filePath(QStringLiteral("stalled.csv"))));
    const int stalledReader = fullFifo(folder.filePath(QStringLiteral("stalled.csv")));
    ProgramRig program(folder.path());
    program.pointAt(*m_healthy);
    program.ui().txtFilename->setText(fileName);
    const QList<qint32> graphBefore = newestPoints(program.controller);

    const BlockWatchdog watchdog;
    program.ui().cmdTimer->click();
    QVERIFY(QTest::qWaitFor([&] { return program.captures.count() == 1; }, 3 * ProgramRig::transferTimeoutMs));
    QCOMPARE(program.status(), QStringLiteral("Could not save results to file!"));
    QVERIFY(newestPoints(program.controller) != graphBefore);
    QVERIFY(program.controller.isMonitoring());
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("stats.csv"))).isDir());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("locked/stats.csv"))));

    // The next capture tries again and says so again; nothing else was harmed.
    QVERIFY(program.captureOnce());
    QCOMPARE(program.status(), QStringLiteral("Could not save results to file!"));
    QVERIFY(program.controller.isMonitoring());
    QFile::setPermissions(
        folder.filePath(QStringLiteral("locked")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ::close(stalledReader);
}

void TestFaultMatrix::csvFileCutMidLine_keepsItAndStartsANewLine()
{
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
    const QByteArray cut = "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n05/03/2026,07:0";
    QVERIFY(writeFile(csvPath, cut));
    ProgramRig program(folder.path());
    program.pointAt(*m_healthy);

    program.ui().cmdTimer->click();
    QVERIFY(QTest::qWaitFor([&] { return program.captures.count() == 1; }, 3 * ProgramRig::transferTimeoutMs));
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    const QByteArray bytes = fileBytes(csvPath);
    QVERIFY(bytes.startsWith(cut + "\r\n"));
    QCOMPARE(fileLines(csvPath).size(), 3);
    QVERIFY(csvIsWhole(fileLines(csvPath).mid(2)));
}

void TestFaultMatrix::settingsFileFault_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("lock");
    QTest::addColumn<QString>("routerIp");
    QTest::addColumn<QByteArrayList>("keptLines");

    const QByteArray tweaks = "[Tweaks]\r\nSNR threshold=4.5\r\n";
    QTest::newRow("cut mid-line") << QByteArray("[Options]\r\nRouter IP=192.0.2.7\r\n" + tweaks + "Stats pa") << ""
                                  << "192.0.2.7" << QByteArrayList{tweaks, "Stats pa"};
    QTest::newRow("cut mid-value") << QByteArray(tweaks + "[Options]\r\nRouter IP=192.0.") << ""
                                   << "192.0." << QByteArrayList{tweaks, "Router IP=192.0."};
    QTest::newRow("cut mid-section name") << QByteArray("[Options]\r\nRouter IP=192.0.2.7\r\n[Twea") << ""
                                          << "192.0.2.7" << QByteArrayList{"[Twea"};
    QTest::newRow("folder where the file should be") << QByteArray() << "replaced"
                                                     << "10.0.0.2" << QByteArrayList{};
    QTest::newRow("file read-only") << QByteArray("[Options]\r\nRouter IP=192.0.2.7\r\n" + tweaks) << "file"
                                    << "192.0.2.7" << QByteArrayList{tweaks};
    QTest::newRow("folder read-only") << QByteArray("[Options]\r\nRouter IP=192.0.2.7\r\n" + tweaks) << "folder"
                                      << "192.0.2.7" << QByteArrayList{tweaks};
}

void TestFaultMatrix::settingsFileFault()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, lock);
    QFETCH(QString, routerIp);
    QFETCH(QByteArrayList, keptLines);
    const bool needsPermissions = lock == QLatin1String("file") || lock == QLatin1String("folder");
    if (needsPermissions && runningAsRoot())
        QSKIP("running as root: file permissions do not stop root from writing");
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("program"));
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("program")));
    const QString path = QDir(folder).filePath(QStringLiteral("settings.ini"));
    if (lock == QLatin1String("replaced"))
        QVERIFY(QDir(folder).mkpath(QStringLiteral("settings.ini")));
    else
        QVERIFY(writeFile(path, content));
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
    if (lock == QLatin1String("file"))
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    if (lock == QLatin1String("folder"))
        QVERIFY(QFile::setPermissions(folder, readOnly));
    {
        ProgramRig program(folder);
        QCOMPARE(program.ui().txtIP->text(), routerIp);
        if (lock == QLatin1String("folder"))
            QCOMPARE(program.status(), QStringLiteral("Folder not writable: settings and CSV not kept."));
        if (lock == QLatin1String("replaced"))
            QCOMPARE(program.status(), QStringLiteral("Cannot read settings.ini: not loaded or saved."));
        program.ui().txtUser->setText(QStringLiteral("operator"));
        program.window.close();
    }
    QFile::setPermissions(folder, readOnly | QFile::WriteOwner);
    QCOMPARE(QFileInfo(path).isDir(), lock == QLatin1String("replaced"));
    const QByteArray saved = fileBytes(path);
    for (const QByteArray& line : keptLines)
        QVERIFY2(saved.contains(line), saved.constData());
    if (lock.isEmpty()) {
        ProgramRig restarted(folder);
        QCOMPARE(restarted.ui().txtUser->text(), QStringLiteral("operator"));
        QCOMPARE(restarted.ui().txtIP->text(), routerIp);
    }
}

void TestFaultMatrix::settingsPathNotASettingsFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("read");
    QTest::newRow("link to /dev/zero") << "/dev/zero" << false;
    QTest::newRow("link to /dev/urandom") << "/dev/urandom" << false;
    QTest::newRow("FIFO without a writer") << "fifo" << false;
    QTest::newRow("blank lines one byte over the bound") << "over" << false;
    QTest::newRow("blank lines up to the bound") << "at" << true;
}

void TestFaultMatrix::settingsPathNotASettingsFile()
{
    QFETCH(QString, kind);
    QFETCH(bool, read);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.ini"));
    const QByteArray keys = "[Options]\r\nRouter IP=192.0.2.7\r\n";
    const QByteArray padded = keys + QByteArray(settingsBound - keys.size() + (kind == QLatin1String("over")), '\n');
    if (kind.startsWith(u'/'))
        QVERIFY(QFile::link(kind, path));
    else if (kind == QLatin1String("fifo"))
        QVERIFY(makeFifo(path));
    else
        QVERIFY(writeFile(path, padded));

    {
        const BlockWatchdog watchdog;
        ProgramRig program(folder.path());
        QCOMPARE(program.ui().txtIP->text() == QLatin1String("192.0.2.7"), read);
        if (!read)
            QCOMPARE(program.status(), QStringLiteral("Cannot read settings.ini: not loaded or saved."));
        program.ui().txtUser->setText(QStringLiteral("operator"));
        program.window.close();
    }
    // Left alone at close: the link, the FIFO and the oversized file are what they were.
    const QFileInfo after(path);
    QCOMPARE(after.isSymLink(), kind.startsWith(u'/'));
    QCOMPARE(QFileInfo(path).isFile(), kind == QLatin1String("over") || kind == QLatin1String("at"));
    if (kind == QLatin1String("over"))
        QCOMPARE(fileBytes(path), padded);
    if (kind == QLatin1String("at"))
        QVERIFY(fileBytes(path).contains("Username=operator"));
}

QTEST_MAIN(TestFaultMatrix)
#include "TestFaultMatrix.moc"
