// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "platform/QtTrayShell.h"
#include "support/RealTrayProgram.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QFile>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QWidget>

namespace {

constexpr int waitMs = RealTrayProgram::waitMs;
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

QVariant watcherProperty(const char* name)
{
    QDBusInterface watcher(
        watcherService, QStringLiteral("/StatusNotifierWatcher"), watcherService, QDBusConnection::sessionBus());
    return watcher.property(name);
}

QStringList registeredItems()
{
    return watcherProperty("RegisteredStatusNotifierItems").toStringList();
}

// A property of this program's item, read by another client the way the panel reads it.
QByteArray itemProperty(const QString& name)
{
    const QString item = registeredItems().value(0);
    return runTool(QStringLiteral("dbus-send"),
        {QStringLiteral("--session"), QStringLiteral("--print-reply"), "--dest=" + item.section('/', 0, 0),
            "/" + item.section('/', 1), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
            QStringLiteral("string:org.kde.StatusNotifierItem"), "string:" + name});
}

// Docked, the icon's window shows inside the embedding tray's panel, the top 32 pixels of the screen.
QList<QRect> dockedIcons()
{
    QList<QRect> icons = shownWindows(QCoreApplication::applicationName());
    icons.removeIf([](const QRect& window) { return window.bottom() >= 32; });
    return icons;
}

// The desktop panel's plugins draw their menus in windows of their own below the panel.
QRect menuBelowPanel()
{
    for (const QRect& window : shownWindows(QStringLiteral("wrapper-2.0"))) {
        if (window.top() >= 32 && window.height() > 20)
            return window;
    }
    return {};
}

bool balloonShows()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
        return window->isVisible() && QLatin1String(window->metaObject()->className()) == "QBalloonTip";
    });
}

} // namespace

// Under a real X server, the whole program on a tray host the test starts: a stand-alone embedding
// tray with no session bus, or (run with LINEGAUGE_TRAY_HOST=xfce4-panel) the status tray of a
// desktop panel and a notification daemon on a session bus of the test's own. The icon shows, the
// tray's gestures reach the window, and the window survives whatever the tray does.
class TestRealTray : public QObject
{
    Q_OBJECT

    const bool m_onPanel = qgetenv("LINEGAUGE_TRAY_HOST") == "xfce4-panel";
    const QString m_noticeLog = qEnvironmentVariable("LINEGAUGE_NOTICE_LOG");
    QProcess m_trayHost;
    QProcess m_dunst;

    bool iconInTray() { return m_onPanel ? !registeredItems().isEmpty() : !dockedIcons().isEmpty(); }

    // The panel sits at the top left and draws the item's icon at the start of its status tray.
    QPoint iconCentre()
    {
        if (m_onPanel)
            return shownWindows(QStringLiteral("xfce4-panel")).value(0).topLeft() + QPoint(16, 16);
        return dockedIcons().value(0).center();
    }

    // The drop while in the tray changes the icon's image and tip and shows a notice.
    void dropInTray(RealTrayProgram& program)
    {
        const QByteArray lineUpImage = itemProperty(QStringLiteral("IconPixmap"));
        program.capture(false);
        QVERIFY(program.controller.state().dropNotified);
        QVERIFY(program.shell.toolTip().contains(QStringLiteral("SNR:3/12")));
        if (!m_onPanel) {
            QTRY_VERIFY2_WITH_TIMEOUT(balloonShows(), "the drop balloon never showed", waitMs);
            return;
        }
        QTRY_VERIFY2_WITH_TIMEOUT(itemProperty(QStringLiteral("IconPixmap")) != lineUpImage,
            "the tray kept the image of the line up", waitMs);
        QVERIFY(itemProperty(QStringLiteral("ToolTip")).contains("SNR:3/12"));
        QFile log(m_noticeLog);
        QTRY_VERIFY2_WITH_TIMEOUT(log.exists(), "no notice reached dunst", waitMs);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = program.dropText().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(QString::fromUtf8(log.readAll()), QStringLiteral("Linegauge\x1f%1\x1e").arg(text));
    }

    void perform(const QString& act)
    {
        if (act == u"double-click")
            clickAt(iconCentre(), 1, 2);
        if (act == u"click" || act == u"right-click")
            clickAt(iconCentre(), act == u"click" ? 1 : 3);
        if (act == u"menu") {
            clickAt(iconCentre(), 3);
            QRect menu;
            QTRY_VERIFY2_WITH_TIMEOUT(!(menu = menuBelowPanel()).isNull(), "no tray menu opened", waitMs);
            QTest::qWait(300);
            clickAt(menu.topLeft() + QPoint(30, menu.height() / 4), 1);
        }
        if (act == u"action" || act == u"close")
            runTool(QStringLiteral("dunstctl"), act == u"action" ? QStringList{"action", "0"} : QStringList{"close"});
        if (act == u"host ends")
            m_trayHost.kill();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "this test needs an X server (xvfb-run)");
        QString why;
        if (!m_onPanel) {
            QVERIFY2(startHost(m_trayHost,
                         u"trayer --edge top --align left --widthtype pixel --width 200 "
                         u"--heighttype pixel --height 32 --expand false --transparent false"_qs,
                         why),
                qPrintable(why));
            QTRY_VERIFY2_WITH_TIMEOUT(
                QSystemTrayIcon::isSystemTrayAvailable(), "trayer started but no system tray appeared", waitMs);
            return;
        }
        const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        QVERIFY2(bus && !bus->isServiceRegistered(watcherService), "this test needs a session bus of its own");
        QVERIFY2(startHost(m_trayHost, u"xfce4-panel --disable-wm-check"_qs, why), qPrintable(why));
        QTRY_VERIFY2_WITH_TIMEOUT(watcherProperty("IsStatusNotifierHostRegistered").toBool(),
            "xfce4-panel started but registered no status notifier host", 2 * waitMs);
        QVERIFY2(startHost(m_dunst, u"dunst"_qs, why), qPrintable(why));
        QTRY_VERIFY2_WITH_TIMEOUT(bus->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")),
            "dunst started but took no notifications", waitMs);
    }

    void cleanupTestCase()
    {
        stopHost(m_dunst);
        stopHost(m_trayHost);
    }

    void trayAct_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<bool>("dropFirst");
        QTest::addColumn<bool>("windowBack");
        if (m_onPanel) {
            QTest::newRow("click on the item") << u"click"_qs << false << true;
            QTest::newRow("the panel's tray menu, first item") << u"menu"_qs << false << true;
            QTest::newRow("drop notice acted on: the window comes back") << u"action"_qs << true << true;
            QTest::newRow("drop notice dismissed: clears the drop") << u"close"_qs << true << false;
            QTest::newRow("drop notice expired: clears the drop") << u"expiry"_qs << true << false;
        } else {
            QTest::newRow("double-click on the icon") << u"double-click"_qs << false << true;
            // The toolkit reports the press as a click on the balloon from inside the icon's own
            // handler; the window must take the icon away only after that handler has returned.
            QTest::newRow("right-click on the icon while the drop balloon shows") << u"right-click"_qs << true << true;
        }
        // Last, as the tray host does not come back.
        QTest::newRow("the tray host ends") << u"host ends"_qs << false << true;
    }

    void trayAct()
    {
        QFETCH(QString, act);
        QFETCH(bool, dropFirst);
        QFETCH(bool, windowBack);
        QFile::remove(m_noticeLog);
        QTemporaryDir folder;
        RealTrayProgram program(folder.path());
        QVERIFY(program.exposed);
        QCOMPARE(program.shell.hostKind(),
            m_onPanel ? QtTrayShell::HostKind::StatusNotifier : QtTrayShell::HostKind::Embedding);
        program.ui().chkUseBalloons->setChecked(true);
        program.capture(true);
        program.ui().cmdSysTray->click();
        QVERIFY(!program.window.isVisible());
        QTRY_VERIFY2_WITH_TIMEOUT(iconInTray(), "the tray never took the icon", waitMs);
        if (dropFirst)
            dropInTray(program);
        QTest::qWait(500);

        perform(act);

        const bool dropNotified = dropFirst && windowBack;
        QTRY_COMPARE_WITH_TIMEOUT(program.controller.state().dropNotified, dropNotified, 2 * waitMs);
        QTRY_COMPARE_WITH_TIMEOUT(program.window.isVisible(), windowBack, waitMs);
        QVERIFY(!program.window.isMinimized() || !windowBack);
        QCOMPARE(program.shell.isIconShown(), !windowBack);
        // Only the tray going away has something to say.
        QCOMPARE(program.ui().lblStatus->text(),
            act == u"host ends" ? QStringLiteral("The system tray closed: the window is back.")
                                : u"Displaying stats"_qs);
        QTRY_VERIFY2_WITH_TIMEOUT(iconInTray() != windowBack, "the icon stayed in the tray", waitMs);
    }
};

QTEST_MAIN(TestRealTray)
#include "TestRealTray.moc"
