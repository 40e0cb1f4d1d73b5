// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "platform/QtTrayShell.h"
#include "support/RealTrayProgram.h"

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QWidget>

namespace {

constexpr int waitMs = RealTrayProgram::waitMs;

// Docked, the icon's window shows inside the tray host's panel, the top 32 pixels of the screen.
QList<QRect> dockedIcons()
{
    QList<QRect> icons = shownWindows({QStringLiteral("--classname"), QCoreApplication::applicationName()});
    icons.removeIf([](const QRect& window) { return window.bottom() >= 32; });
    return icons;
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

    QProcess m_trayHost;

private slots:
    void init()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "this test needs an X server (xvfb-run)");
        QString why;
        QVERIFY2(startHost(m_trayHost, QStringLiteral("trayer"),
                     QStringLiteral("--edge top --align left --widthtype pixel --width 200 --heighttype pixel "
                                    "--height 32 --expand false --transparent false")
                         .split(QLatin1Char(' ')),
                     why),
            qPrintable(why));
        QTRY_VERIFY2_WITH_TIMEOUT(
            QSystemTrayIcon::isSystemTrayAvailable(), "trayer started but no system tray appeared", waitMs);
    }

    void cleanup()
    {
        stopHost(m_trayHost);
        QTRY_VERIFY_WITH_TIMEOUT(!QSystemTrayIcon::isSystemTrayAvailable(), waitMs);
    }

    void trayAct_bringsWindowBack_data()
    {
        QTest::addColumn<bool>("dropFirst");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("status");
        QTest::newRow("double-click on the icon") << false << 1 << 2 << QStringLiteral("Ready");
        QTest::newRow("the tray host ends")
            << false << 0 << 0 << QStringLiteral("The system tray closed: the window is back.");
        // The toolkit reports the press as a click on the balloon from inside the icon's own handler;
        // the window must take the icon away only after that handler has returned.
        QTest::newRow("right-click on the icon while the drop balloon shows")
            << true << 3 << 1 << QStringLiteral("Displaying stats");
    }

    void trayAct_bringsWindowBack()
    {
        QFETCH(bool, dropFirst);
        QFETCH(int, button);
        QFETCH(int, clicks);
        QFETCH(QString, status);
        QTemporaryDir folder;
        RealTrayProgram program(folder.path());
        QVERIFY(program.exposed);
        QCOMPARE(program.shell.hostKind(), QtTrayShell::HostKind::Embedding);
        if (dropFirst) {
            program.dropInTray();
            QVERIFY(program.shell.toolTip().contains(QStringLiteral("SNR:3/12")));
            QTRY_VERIFY2_WITH_TIMEOUT(balloonShows(), "the drop balloon never showed", waitMs);
        } else {
            program.ui().cmdSysTray->click();
            QCOMPARE(program.shell.toolTip(), QStringLiteral("Linegauge (Monitor OFF)"));
        }
        QVERIFY(!program.window.isVisible());
        QList<QRect> icon;
        QTRY_VERIFY2_WITH_TIMEOUT(!(icon = dockedIcons()).isEmpty(), "the tray icon never docked in the tray", waitMs);

        if (clicks > 0)
            clickAt(icon.first().center(), button, clicks);
        else
            m_trayHost.kill();

        QTRY_VERIFY_WITH_TIMEOUT(program.window.isVisible(), waitMs);
        QVERIFY(!program.window.isMinimized());
        QVERIFY(!program.shell.isIconShown());
        QCOMPARE(program.controller.state().dropNotified, dropFirst);
        QCOMPARE(program.ui().lblStatus->text(), status);
        QTRY_VERIFY2_WITH_TIMEOUT(dockedIcons().isEmpty(), "the tray icon stayed in the tray", waitMs);
    }
};

QTEST_MAIN(TestRealTray)
#include "TestRealTray.moc"
