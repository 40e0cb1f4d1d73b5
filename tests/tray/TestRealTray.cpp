#include "platform/IconRegistry.h"
#include "platform/QtTrayShell.h"
#include "platform/VersionProbe.h"
#include "stats/AppState.h"
#include "support/RecordingStatusLine.h"
#include "tray/StatusImages.h"
#include "tray/SysTray.h"
#include "tray/TrayController.h"
#include "tray/WidgetTrayWindow.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWidget>

namespace {

constexpr int waitMs = 5000;

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(waitMs))
        return {};
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

struct TrayIconWindow
{
    bool found = false;
    QPoint centre;
};

// The icon is docked once its window sits inside the tray host's panel, where the X server knows
// its absolute position.
TrayIconWindow findDockedIcon(const QString& panelId)
{
    const QString tree = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), panelId, QStringLiteral("-tree")});
    const QRegularExpression iconLine(
        QStringLiteral(R"(0x[0-9a-f]+ .*"%1".*\s(\d+)x(\d+)[+-]\d+[+-]\d+\s+\+(-?\d+)\+(-?\d+))")
            .arg(QRegularExpression::escape(QCoreApplication::applicationName())));
    const QRegularExpressionMatch match = iconLine.match(tree);
    if (!match.hasMatch())
        return {};
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    return {true, QPoint(match.captured(3).toInt() + width / 2, match.captured(4).toInt() + height / 2)};
}

} // namespace

// Under a real X server with a stand-alone tray host: the window goes to the tray, its icon docks,
// and a double-click on the icon brings the window back and takes the icon away.
class TestRealTray : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void doubleClickOnIcon_bringsWindowBack();

private:
    QProcess m_trayHost;
    QString m_panelId;
};

void TestRealTray::initTestCase()
{
    QVERIFY2(
        QGuiApplication::platformName() == QLatin1String("xcb"), "this test needs an X server (run it under xvfb-run)");
    m_trayHost.start(QStringLiteral("trayer"),
        QStringLiteral("--edge top --align left --widthtype pixel --width 200 --heighttype pixel --height 32 "
                       "--expand false --transparent false")
            .split(QLatin1Char(' ')));
    QVERIFY2(m_trayHost.waitForStarted(waitMs),
        qPrintable(QStringLiteral("the tray host trayer could not start: ") + m_trayHost.errorString()));
    QTRY_VERIFY2_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable() || m_trayHost.state() == QProcess::NotRunning,
        "the tray host trayer started but no system tray appeared", waitMs);
    QVERIFY2(m_trayHost.state() == QProcess::Running,
        qPrintable(QStringLiteral("the tray host trayer stopped: ") + m_trayHost.readAllStandardError()));
    QTRY_VERIFY_WITH_TIMEOUT(!(m_panelId = run(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^panel$")})
                                               .section(QLatin1Char('\n'), 0, 0)
                                               .trimmed())
                                  .isEmpty(),
        waitMs);
}

void TestRealTray::cleanupTestCase()
{
    m_trayHost.terminate();
    if (!m_trayHost.waitForFinished(waitMs))
        m_trayHost.kill();
}

void TestRealTray::doubleClickOnIcon_bringsWindowBack()
{
    QWidget window;
    window.resize(240, 120);
    window.move(300, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    IconRegistry icons;
    QtTrayShell shell(icons);
    SystemVersionProbe probe;
    SysTray sysTray(shell, probe);
    sysTray.detectShellCapabilities();
    WidgetTrayWindow host(window, icons);
    StatusImages images;
    AppState state;
    state.trayTip = QStringLiteral("Linegauge (Monitor OFF)");
    RecordingStatusLine statusLine;
    TrayController controller(sysTray, host, images, state, statusLine, [](QPoint) {});
    connect(
        &shell, &TrayShell::trayEvent, this, [&controller](int code, QPoint pos) { controller.trayEvent(code, pos); });
    controller.setWindowIcon(StatusImages::smallNormal);

    controller.cmdSysTrayClick();
    QVERIFY(sysTray.iconAdded());
    QVERIFY(!window.isVisible());
    QCOMPARE(shell.toolTip(), state.trayTip);
    TrayIconWindow icon;
    QTRY_VERIFY2_WITH_TIMEOUT(
        (icon = findDockedIcon(m_panelId)).found, "the tray icon never docked in the tray", waitMs);

    const QString at = QStringLiteral("%1 %2").arg(icon.centre.x()).arg(icon.centre.y());
    run(QStringLiteral("xdotool"),
        QStringLiteral("mousemove --sync %1 click --repeat 2 --delay 80 1").arg(at).split(' '));

    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), waitMs);
    QVERIFY(!window.isMinimized());
    QVERIFY(!sysTray.iconAdded());
    QVERIFY(!shell.isIconShown());
    QTRY_VERIFY2_WITH_TIMEOUT(!findDockedIcon(m_panelId).found, "the tray icon stayed in the tray", waitMs);
}

QTEST_MAIN(TestRealTray)
#include "TestRealTray.moc"
