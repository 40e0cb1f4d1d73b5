// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "app/ProgramWindow.h"
#include "support/FileBytes.h"
#include "support/RouterSimulator.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>

namespace {

// Set for the second run of this program, the one that shows the window on the compositor.
const char* const windowFolderVariable = "LINEGAUGE_WAYLAND_WINDOW_FOLDER";
const QString socketName = QStringLiteral("wayland-linegauge");

// A test ended by its time-out runs no destructor; what it started must not outlive it.
const auto endWithTest = [] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); };

} // namespace

// The window on the compositor, in the folder the first run prepared: it starts monitoring against
// the router simulator the settings name, and closes.
class WaylandWindowRun : public QObject
{
    Q_OBJECT

private slots:
    void startMonitoringAndClose()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        ProgramWindow program(qEnvironmentVariable(windowFolderVariable));
        MainWindow& window = program.window();
        QSignalSpy captures(&program.controller(), &MainController::captureFinished);
        program.show();
        QVERIFY2(QTest::qWaitForWindowExposed(&window), "the compositor never showed the window");

        window.ui().monitorButton->click();
        QTRY_COMPARE(captures.count(), 1);
        QCOMPARE(window.ui().statusLabel->text(), QStringLiteral("Monitoring"));
        QCOMPARE(window.ui().countdownLabel->text(), QStringLiteral("Next capture: 00:00:30"));
        QVERIFY(window.close());
    }
};

// A headless compositor of the test's own, the window run on it as a separate process (the
// platform is chosen before the toolkit starts), and the files that run leaves behind.
class TestWaylandWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_runtime = m_dir.filePath(QStringLiteral("runtime"));
    QString m_folder = m_dir.filePath(QStringLiteral("program"));
    QString m_log = m_dir.filePath(QStringLiteral("weston.log"));
    QProcess m_compositor;

    QProcessEnvironment waylandSession() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socketName);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        // The window paints into shared memory; without the GL buffer integration the GL driver, which
        // the sanitizer build finds leaking once it is unloaded, is never loaded.
        environment.insert(QStringLiteral("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION"), QStringLiteral("none"));
        return environment;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid() && QDir().mkpath(m_runtime) && QDir().mkpath(m_folder));
        QVERIFY(QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_compositor.setProcessEnvironment(waylandSession());
        // Its log goes to a file, where it can never fill a pipe nobody reads.
        m_compositor.setProcessChannelMode(QProcess::MergedChannels);
        m_compositor.setStandardOutputFile(m_log);
        m_compositor.setChildProcessModifier(endWithTest);
        m_compositor.start(QStringLiteral("weston"),
            {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + socketName,
                QStringLiteral("--idle-time=0"), QStringLiteral("--no-config")});
        const QString socket = QDir(m_runtime).filePath(socketName);
        QVERIFY2(QTest::qWaitFor(
                     [&] { return QFile::exists(socket) || m_compositor.state() == QProcess::NotRunning; }, 10000),
            "weston opened no socket");
        QVERIFY2(m_compositor.state() == QProcess::Running,
            qPrintable("weston is not running: " + m_compositor.errorString() + u'\n' + fileBytes(m_log)));
    }

    // One that does not end in time is killed with its QProcess.
    void cleanupTestCase()
    {
        m_compositor.terminate();
        QVERIFY(m_compositor.waitForFinished(5000));
    }

    // The interval is typed with a decimal comma and saved with a point.
    void window_monitorsAndClosesWithSettingsSaved()
    {
        RouterSimulator router{QStringLiteral(LINEGAUGE_ROUTERSIM)};
        QVERIFY2(router.start({"--values", "12.5,10.0,30.0,20.0"}), qPrintable(router.errorText()));
        const QString settings = QDir(m_folder).filePath(QStringLiteral("settings.ini"));
        writeFileBytes(settings,
            "[Options]\r\nRouter IP=127.0.0.1\r\nRouter Port=" + QByteArray::number(router.port())
                + "\r\nUsername=admin\r\nMinutes=0,5\r\nOutput filename=stats.csv\r\n");

        QProcess window;
        QProcessEnvironment environment = waylandSession();
        environment.insert(QString::fromLatin1(windowFolderVariable), m_folder);
        window.setProcessEnvironment(environment);
        window.setProcessChannelMode(QProcess::MergedChannels);
        window.setChildProcessModifier(endWithTest);
        window.start(QCoreApplication::applicationFilePath(), {});
        const bool ended = window.waitForFinished(60000);
        const QByteArray output = window.readAll();
        QVERIFY2(ended && window.exitStatus() == QProcess::NormalExit && window.exitCode() == 0, output.constData());

        const QByteArray saved = fileBytes(settings);
        QVERIFY2(saved.contains("\r\nMinutes=0.5\r\n") && saved.contains("\r\nSave to file=1\r\n"), saved.constData());
        QCOMPARE(fileBytes(QDir(m_folder).filePath(QStringLiteral("stats.csv"))).count("\r\n"), 2);
    }
};

// One program, two runs: without the folder variable it is the test, which starts the compositor
// and runs itself again with the variable set to show the window there.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsSet(windowFolderVariable)) {
        QApplication application(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        WaylandWindowRun run;
        return QTest::qExec(&run, argc, argv);
    }
    QCoreApplication application(argc, argv);
    TestWaylandWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestWaylandWindow.moc"
