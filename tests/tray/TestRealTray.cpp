// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/HttpTransfer.h"
#include "platform/IconRegistry.h"
#include "platform/QtTrayShell.h"
#include "platform/VersionProbe.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBox.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

// The whole program in a folder of its own; its captures read the page text box, not a router.
struct Program
{
    explicit Program(const QString& folder)
        : shell(icons)
        , controller(window, Platform{shell, probe, icons, transfer, messageBox, clock, folder})
    {
        controller.formLoad();
        window.show();
    }

    void capture(const char* downSnr)
    {
        const auto page = u"var st_dw_snr_margin = \"%1\";\nvar st_up_snr_margin = \"12.0\";\n"
                          u"var st_dw_line_attenuation = \"20.0\";\nvar st_up_line_attenuation = \"10.0\";\n"_qs;
        window.ui().txtDebug->setPlainText(page.arg(QLatin1String(downSnr)));
        controller.cmdTestPageClick();
    }

    IconRegistry icons;
    QtTrayShell shell;
    SystemVersionProbe probe;
    HttpTransfer transfer;
    RecordingMessageBox messageBox;
    FakeClock clock;
    MainWindow window;
    MainController controller;
};

// On a tray host the test starts: an embedding tray with no session bus, or (LINEGAUGE_TRAY_HOST=xfce4-panel)
// a desktop panel's status tray and a notice daemon on a session bus of the test's own.
class TestRealTray : public QObject
{
    Q_OBJECT

    const bool m_onPanel = qgetenv("LINEGAUGE_TRAY_HOST") == "xfce4-panel";
    const QString m_noticeLog = qEnvironmentVariable("LINEGAUGE_NOTICE_LOG");
    QProcess m_trayHost;
    QProcess m_dunst;

    // Serves this program's events meanwhile: the tool may be asking it something over the session bus.
    static QByteArray runTool(const QString& command)
    {
        QProcess tool;
        tool.start(command.section(' ', 0, 0), command.section(' ', 1).split(' '));
        const bool ended = QTest::qWaitFor([&tool] { return tool.state() == QProcess::NotRunning; }, 5000);
        return ended ? tool.readAllStandardOutput() : QByteArray();
    }

    // The first window of that class that the X server shows and `fits`, in screen coordinates.
    static QRect shownWindow(const QString& className, bool (*fits)(const QRect&))
    {
        const QString found
            = runTool("xdotool search --onlyvisible --classname " + className + " getwindowgeometry %@");
        const QRegularExpression geometry(QStringLiteral(R"(Position: (-?\d+),(-?\d+).*\n\s*Geometry: (\d+)x(\d+))"));
        for (const QRegularExpressionMatch& m : geometry.globalMatch(found)) {
            const QRect window(
                m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
            if (fits(window))
                return window;
        }
        return {};
    }

    static void clickAt(QPoint at, int button)
    {
        runTool(QString::asprintf(
            "xdotool mousemove 600 600 sleep 0.1 mousemove %d %d sleep 0.2 click %d", at.x(), at.y(), button));
    }

    static void startHost(QProcess& host, const QString& command)
    {
        host.setProcessChannelMode(QProcess::MergedChannels);
        host.start(command.section(' ', 0, 0), command.section(' ', 1).split(' '));
        QVERIFY2(host.waitForStarted(5000), qPrintable(command + " could not start: " + host.errorString()));
        QVERIFY2(!host.waitForFinished(500), qPrintable(command + " stopped at once: " + host.readAll()));
    }

    static QVariant watcher(const char* property)
    {
        const QString service = QStringLiteral("org.kde.StatusNotifierWatcher");
        return QDBusInterface(service, u"/StatusNotifierWatcher"_qs, service).property(property);
    }
    static QString registeredItem() { return watcher("RegisteredStatusNotifierItems").toStringList().value(0); }

    // A property of this program's item, read by another client the way the panel reads it.
    static QByteArray itemProperty(const char* name)
    {
        const QString item = registeredItem();
        return runTool("dbus-send --session --print-reply --dest=" + item.section('/', 0, 0) + " /"
            + item.section('/', 1)
            + " org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierItem string:" + name);
    }

    // Docked, the icon's window shows inside the embedding tray's panel, the top 32 pixels of the screen.
    static QRect dockedIcon()
    {
        return shownWindow(QCoreApplication::applicationName(), [](const QRect& icon) { return icon.bottom() < 32; });
    }
    bool iconInTray() { return m_onPanel ? !registeredItem().isEmpty() : !dockedIcon().isNull(); }

    // The panel sits at the top left and draws the item's icon at the start of its status tray.
    QPoint iconCentre() { return m_onPanel ? QPoint(16, 16) : dockedIcon().center(); }

    static bool balloonShows()
    {
        return std::ranges::any_of(QApplication::topLevelWidgets(),
            [](const QWidget* window) { return window->isVisible() && window->inherits("QBalloonTip"); });
    }

    void dropInTray(Program& program)
    {
        const QByteArray lineUpImage = m_onPanel ? itemProperty("IconPixmap") : QByteArray();
        program.capture("3.0");
        QVERIFY(program.shell.toolTip().contains(QStringLiteral("SNR:3/12")));
        if (!m_onPanel) {
            QTRY_VERIFY(balloonShows());
            return;
        }
        QTRY_VERIFY2(itemProperty("IconPixmap") != lineUpImage, "the tray kept the image of the line up");
        QFile log(m_noticeLog);
        QTRY_VERIFY2(log.exists(), "no notice reached dunst");
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString when = program.window.ui().lblLastDrop->text().section(u": "_qs, 1);
        QCOMPARE(QString::fromUtf8(log.readAll()), u"Linegauge\x1f%1\nADSL connection dropped.\x1e"_qs.arg(when));
    }

    void perform(const QString& act)
    {
        if (act == u"right-click" || act == u"menu")
            clickAt(iconCentre(), 3);
        if (act == u"menu") {
            // The panel's plugins draw their menus in windows of their own below the panel.
            const auto below = [](const QRect& window) { return window.top() >= 32 && window.height() > 20; };
            QRect menu;
            QTRY_VERIFY2(!(menu = shownWindow(u"wrapper-2.0"_qs, below)).isNull(), "no tray menu opened");
            QTest::qWait(300);
            clickAt(menu.topLeft() + QPoint(30, menu.height() / 4), 1);
        }
        if (act == u"action" || act == u"close")
            runTool("dunstctl " + act + (act == u"action" ? " 0" : ""));
        if (act == u"host ends")
            m_trayHost.kill();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "this test needs an X server (xvfb-run)");
        if (!m_onPanel) {
            startHost(m_trayHost, u"trayer --edge top --align left --width 20 --height 32"_qs);
            QTRY_VERIFY2(QSystemTrayIcon::isSystemTrayAvailable(), "trayer started but no system tray appeared");
            return;
        }
        const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        QVERIFY2(bus && !bus->isServiceRegistered(u"org.kde.StatusNotifierWatcher"_qs),
            "this test needs a session bus of its own");
        startHost(m_trayHost, u"xfce4-panel --disable-wm-check"_qs);
        QTRY_VERIFY2_WITH_TIMEOUT(watcher("IsStatusNotifierHostRegistered").toBool(),
            "xfce4-panel started but registered no status notifier host", 10000);
        startHost(m_dunst, u"dunst"_qs);
        QTRY_VERIFY2(bus->isServiceRegistered(u"org.freedesktop.Notifications"_qs), "dunst took no notifications");
    }

    void cleanupTestCase()
    {
        for (QProcess* host : {&m_dunst, &m_trayHost}) {
            host->terminate();
            host->waitForFinished(5000);
        }
    }

    void trayAct_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<bool>("windowBack");
        if (m_onPanel) {
            QTest::newRow("the panel's tray menu, first item") << u"menu"_qs << true;
            QTest::newRow("drop notice acted on: the window comes back") << u"action"_qs << true;
            QTest::newRow("drop notice dismissed: clears the drop") << u"close"_qs << false;
            QTest::newRow("drop notice expired: clears the drop") << u"expiry"_qs << false;
        } else {
            // The toolkit reports the press as a click on the balloon from inside the icon's own
            // handler; the window must take the icon away only after that handler has returned.
            QTest::newRow("right-click on the icon while the drop balloon shows") << u"right-click"_qs << true;
        }
        // Last, as the tray host does not come back.
        QTest::newRow("the tray host ends") << u"host ends"_qs << true;
    }

    // The window survives whatever the tray does, and comes back whenever the tray is gone.
    void trayAct()
    {
        QFETCH(QString, act);
        QFETCH(bool, windowBack);
        const bool dropFirst = act != u"menu" && act != u"host ends";
        QFile::remove(m_noticeLog);
        QTemporaryDir folder;
        Program program(folder.path());
        QVERIFY(QTest::qWaitForWindowExposed(&program.window));
        program.window.ui().chkUseBalloons->setChecked(true);
        program.capture("12.0");
        program.window.ui().cmdSysTray->click();
        QTRY_VERIFY2(iconInTray(), "the tray never took the icon");
        if (dropFirst)
            dropInTray(program);
        QTest::qWait(500);

        perform(act);

        QTRY_COMPARE_WITH_TIMEOUT(program.controller.statistics().dropNoticeShown(), dropFirst && windowBack, 10000);
        QTRY_COMPARE(program.window.isVisible(), windowBack);
        QVERIFY(!program.window.isMinimized() || !windowBack);
        QCOMPARE(program.shell.isIconShown(), !windowBack);
        QCOMPARE(program.window.ui().lblStatus->text(),
            act == u"host ends" ? u"The system tray closed: the window is back."_qs : u"Displaying stats"_qs);
        QTRY_VERIFY2(iconInTray() != windowBack, "the icon stayed in the tray");
    }
};

QTEST_MAIN(TestRealTray)
#include "TestRealTray.moc"
