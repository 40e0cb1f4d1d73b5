// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "platform/QtTrayShell.h"
#include "support/RealTrayProgram.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QWidget>

namespace {

constexpr int waitMs = RealTrayProgram::waitMs;

struct TrayIconWindow
{
    bool found = false;
    QPoint centre;
};

// The icon is docked once its window sits inside the tray host's panel, where the X server knows
// its absolute position.
TrayIconWindow findDockedIcon(const QString& panelId)
{
    const QString tree = runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), panelId, QStringLiteral("-tree")});
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

void clickAt(QPoint at, int button, int count)
{
    runTool(QStringLiteral("xdotool"),
        QStringLiteral("mousemove 600 600 sleep 0.1 mousemove %1 %2 sleep 0.2 click --repeat %3 --delay 80 %4")
            .arg(at.x())
            .arg(at.y())
            .arg(count)
            .arg(button)
            .split(' '));
}

bool balloonShows()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
        return window->isVisible() && QLatin1String(window->metaObject()->className()) == "QBalloonTip";
    });
}

} // namespace

// Under a real X server with a stand-alone embedding tray host (and no session bus): the icon docks,
// the tray's gestures reach the window, and the window survives whatever the tray does.
class TestRealTray : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void windowComesBack_data();
    void windowComesBack();
    void clickOnIconWhileBalloonShows_programLives_data();
    void clickOnIconWhileBalloonShows_programLives();

private:
    TrayIconWindow dockedIcon();

    QProcess m_trayHost;
    QString m_panelId;
};

void TestRealTray::init()
{
    QVERIFY2(
        QGuiApplication::platformName() == QLatin1String("xcb"), "this test needs an X server (run it under xvfb-run)");
    QString why;
    QVERIFY2(startHost(m_trayHost, QStringLiteral("trayer"),
                 QStringLiteral("--edge top --align left --widthtype pixel --width 200 --heighttype pixel "
                                "--height 32 --expand false --transparent false")
                     .split(QLatin1Char(' ')),
                 why),
        qPrintable(why));
    QTRY_VERIFY2_WITH_TIMEOUT(
        QSystemTrayIcon::isSystemTrayAvailable(), "the tray host trayer started but no system tray appeared", waitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!(m_panelId = runTool(QStringLiteral("xdotool"),
                                   {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^panel$")})
                                               .section(QLatin1Char('\n'), 0, 0)
                                               .trimmed())
                                  .isEmpty(),
        waitMs);
}

void TestRealTray::cleanup()
{
    stopHost(m_trayHost);
    QTRY_VERIFY_WITH_TIMEOUT(!QSystemTrayIcon::isSystemTrayAvailable(), waitMs);
}

TrayIconWindow TestRealTray::dockedIcon()
{
    TrayIconWindow icon;
    icon.found = QTest::qWaitFor([&] { return (icon = findDockedIcon(m_panelId)).found; }, waitMs);
    return icon;
}

void TestRealTray::windowComesBack_data()
{
    QTest::addColumn<bool>("hostEnds");
    QTest::addColumn<QString>("status");
    QTest::newRow("double-click on the icon") << false << QStringLiteral("Ready");
    QTest::newRow("the tray host ends") << true << QStringLiteral("The system tray closed: the window is back.");
}

void TestRealTray::windowComesBack()
{
    QFETCH(bool, hostEnds);
    QFETCH(QString, status);
    QTemporaryDir folder;
    RealTrayProgram program(folder.path());
    QVERIFY(program.exposed);
    QCOMPARE(program.shell.hostKind(), QtTrayShell::HostKind::Embedding);
    program.ui().cmdSysTray->click();
    QVERIFY(!program.window.isVisible());
    QCOMPARE(program.shell.toolTip(), QStringLiteral("Linegauge (Monitor OFF)"));
    const TrayIconWindow icon = dockedIcon();
    QVERIFY2(icon.found, "the tray icon never docked in the tray");

    if (hostEnds)
        m_trayHost.kill();
    else
        clickAt(icon.centre, 1, 2);

    QTRY_VERIFY_WITH_TIMEOUT(program.window.isVisible(), waitMs);
    QVERIFY(!program.window.isMinimized());
    QVERIFY(!program.shell.isIconShown());
    QCOMPARE(program.ui().lblStatus->text(), status);
    QTRY_VERIFY2_WITH_TIMEOUT(!findDockedIcon(m_panelId).found, "the tray icon stayed in the tray", waitMs);
}

void TestRealTray::clickOnIconWhileBalloonShows_programLives_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left click") << 1;
    QTest::newRow("right click") << 3;
}

// The toolkit reports a press on the icon as a click on the balloon from inside the icon's own
// handler; the window must take the icon away only after that handler has returned.
void TestRealTray::clickOnIconWhileBalloonShows_programLives()
{
    QFETCH(int, button);
    QTemporaryDir folder;
    RealTrayProgram program(folder.path());
    QVERIFY(program.exposed);
    program.dropInTray();
    QVERIFY(program.controller.state().dropNotified);
    QVERIFY(program.shell.toolTip().contains(QStringLiteral("SNR:3/12")));
    QTRY_VERIFY2_WITH_TIMEOUT(balloonShows(), "the drop balloon never showed", waitMs);
    const TrayIconWindow icon = dockedIcon();
    QVERIFY2(icon.found, "the tray icon never docked in the tray");

    clickAt(icon.centre, button, 1);

    QTRY_VERIFY_WITH_TIMEOUT(program.window.isVisible(), waitMs);
    QVERIFY(!program.shell.isIconShown());
    QVERIFY(program.controller.state().dropNotified);
    QTest::qWait(300);
    program.window.close();
    QFile settings(folder.filePath(QStringLiteral("settings.ini")));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("SysTray Balloons=1"));
}

QTEST_MAIN(TestRealTray)
#include "TestRealTray.moc"
