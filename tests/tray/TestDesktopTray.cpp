// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "support/RealTrayProgram.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int waitMs = RealTrayProgram::waitMs;
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

enum Act
{
    ClickItem,
    MenuShowItem,
    NoticeAction,
    NoticeClose,
    NoticeExpiry,
    PanelEnds,
};

bool serviceRuns(const QString& name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name);
}

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

// The panel sits at the top left and draws the item's icon at the start of its status tray.
QPoint itemCentre()
{
    return shownWindows({QStringLiteral("--classname"), QStringLiteral("xfce4-panel")}).value(0).topLeft()
        + QPoint(16, 16);
}

// The panel's plugins draw their menus in windows of their own below the panel.
QRect menuBelowPanel()
{
    for (const QRect& window : shownWindows({QStringLiteral("--classname"), QStringLiteral("wrapper-2.0")})) {
        if (window.top() >= 32 && window.height() > 20)
            return window;
    }
    return {};
}

} // namespace

// Under a real X server with a session bus of the test's own: the status tray of a desktop panel
// and a notification daemon.
class TestDesktopTray : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    QString m_noticeLog = m_home.filePath(QStringLiteral("notices.log"));
    QProcess m_panel;
    QProcess m_dunst;

    // The drop while in the tray changes the item's image and tip, and its notice reaches dunst.
    void dropInTray(RealTrayProgram& program)
    {
        const QByteArray lineUpImage = itemProperty(QStringLiteral("IconPixmap"));
        program.capture(false);
        QVERIFY(program.controller.state().dropNotified);
        QTRY_VERIFY2_WITH_TIMEOUT(itemProperty(QStringLiteral("IconPixmap")) != lineUpImage,
            "the tray kept the image of the line up", waitMs);
        QVERIFY(itemProperty(QStringLiteral("ToolTip")).contains("SNR:3/12"));
        QFile log(m_noticeLog);
        QTRY_VERIFY2_WITH_TIMEOUT(log.exists(), "no notice reached dunst", waitMs);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = program.dropText().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(QString::fromUtf8(log.readAll()), QStringLiteral("Linegauge\x1f%1\x1e").arg(text));
    }

    void perform(Act act)
    {
        if (act == ClickItem || act == MenuShowItem)
            clickAt(itemCentre(), act == ClickItem ? 1 : 3);
        if (act == MenuShowItem) {
            QRect menu;
            QTRY_VERIFY2_WITH_TIMEOUT(!(menu = menuBelowPanel()).isNull(), "no tray menu opened", waitMs);
            QTest::qWait(300);
            clickAt(menu.topLeft() + QPoint(30, menu.height() / 4), 1);
        }
        if (act == NoticeAction || act == NoticeClose)
            runTool(
                QStringLiteral("dunstctl"), act == NoticeAction ? QStringList{"action", "0"} : QStringList{"close"});
        if (act == PanelEnds)
            m_panel.kill();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "this test needs an X server (xvfb-run)");
        QVERIFY2(QDBusConnection::sessionBus().isConnected() && !serviceRuns(watcherService),
            "this test needs a session bus of its own (dbus-run-session)");
        QString why;
        QVERIFY2(startHost(m_panel, QStringLiteral("xfce4-panel"), {QStringLiteral("--disable-wm-check")}, why),
            qPrintable(why));
        QTRY_VERIFY2_WITH_TIMEOUT(watcherProperty("IsStatusNotifierHostRegistered").toBool(),
            "xfce4-panel started but registered no status notifier host", 2 * waitMs);

        QFile script(m_home.filePath(QStringLiteral("log-notice.sh")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\nprintf '%s\\037%s\\036' \"$2\" \"$3\" >> '%1'\n").arg(m_noticeLog).toUtf8());
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QFile config(m_home.filePath(QStringLiteral("dunstrc")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(
            "[global]\n    idle_threshold = 0\n[log]\n    summary = \"*\"\n    script = " + script.fileName().toUtf8());
        config.close();
        QVERIFY2(startHost(m_dunst, QStringLiteral("dunst"), {QStringLiteral("-config"), config.fileName()}, why),
            qPrintable(why));
        QTRY_VERIFY2_WITH_TIMEOUT(serviceRuns(QStringLiteral("org.freedesktop.Notifications")),
            "dunst started but took no notifications", waitMs);
    }

    void cleanupTestCase()
    {
        stopHost(m_dunst);
        stopHost(m_panel);
    }

    void trayAct_data()
    {
        QTest::addColumn<Act>("act");
        QTest::addColumn<bool>("windowBack");
        QTest::addColumn<bool>("dropNotified");
        QTest::addColumn<QString>("status");
        const QString shown = QStringLiteral("Displaying stats");
        QTest::newRow("click on the item") << ClickItem << true << false << QStringLiteral("Ready");
        QTest::newRow("the panel's tray menu, first item") << MenuShowItem << true << false << QStringLiteral("Ready");
        QTest::newRow("drop notice acted on: the window comes back") << NoticeAction << true << true << shown;
        QTest::newRow("drop notice dismissed: clears the drop") << NoticeClose << false << false << shown;
        QTest::newRow("drop notice expired: clears the drop") << NoticeExpiry << false << false << shown;
        // Last, as the panel does not come back.
        QTest::newRow("the panel ends") << PanelEnds << true << false
                                        << QStringLiteral("The system tray closed: the window is back.");
    }

    void trayAct()
    {
        QFETCH(Act, act);
        QFETCH(bool, windowBack);
        QFETCH(bool, dropNotified);
        QFETCH(QString, status);
        const bool dropFirst = act == NoticeAction || act == NoticeClose || act == NoticeExpiry;
        QFile::remove(m_noticeLog);
        QTemporaryDir folder;
        RealTrayProgram program(folder.path());
        QVERIFY(program.exposed);
        QCOMPARE(program.shell.hostKind(), QtTrayShell::HostKind::StatusNotifier);
        program.ui().chkUseBalloons->setChecked(true);
        if (dropFirst)
            program.capture(true);
        program.ui().cmdSysTray->click();
        QTRY_VERIFY2_WITH_TIMEOUT(!itemProperty(QStringLiteral("IconPixmap")).isEmpty(),
            "the item never registered with the watcher", waitMs);
        if (dropFirst)
            dropInTray(program);
        QTest::qWait(500);

        perform(act);

        QTRY_COMPARE_WITH_TIMEOUT(program.controller.state().dropNotified, dropNotified, 2 * waitMs);
        QTRY_COMPARE_WITH_TIMEOUT(program.window.isVisible(), windowBack, waitMs);
        QCOMPARE(program.shell.isIconShown(), !windowBack);
        QCOMPARE(program.ui().lblStatus->text(), status);
        QTRY_COMPARE_WITH_TIMEOUT(registeredItems().isEmpty(), windowBack, waitMs);
    }
};

QTEST_MAIN(TestDesktopTray)
#include "TestDesktopTray.moc"
