// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/HttpTransfer.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBox.h"
#include "tray/QtTrayIcon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The whole program in a folder of its own; its test captures read the page text box, not a router.
struct Program
{
    Program()
        : controller(window, Platform{tray, transfer, messageBox, clock, folder.path()})
    {
        controller.startUp();
        window.show();
    }

    void capture(const char* downSnr)
    {
        const auto page = u"var st_dw_snr_margin = \"%1\";\nvar st_up_snr_margin = \"12.0\";\n"
                          u"var st_dw_line_attenuation = \"20.0\";\nvar st_up_line_attenuation = \"10.0\";\n"_qs;
        window.ui().pageTextEdit->setPlainText(page.arg(QLatin1String(downSnr)));
        controller.testPage();
    }
    QString dropTime() const { return window.ui().lastDropLabel->text().section(u": "_qs, 1); }

    QTemporaryDir folder;
    QtTrayIcon tray;
    HttpTransfer transfer;
    RecordingMessageBox messageBox;
    FakeClock clock;
    MainWindow window;
    MainController controller;
};

// The longest time the event loop went without running a 50 ms timer since the probe started.
struct StallProbe
{
    StallProbe()
    {
        clock.start();
        sinceTick.start();
        QObject::connect(&timer, &QTimer::timeout, [this] { longestMs = std::max(longestMs, sinceTick.restart()); });
        timer.start(50);
    }
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer timer;
    qint64 longestMs = 0;
};

// On a tray host the test starts: an embedding tray with no session bus; (LINEGAUGE_TRAY_HOST=xfce4-panel)
// a desktop panel's status tray and a notice daemon on a session bus of the test's own; or
// (LINEGAUGE_TRAY_HOST=silent-bus) an embedding tray with slow or silent desktop services on such a bus.
class TestRealTray : public QObject
{
    Q_OBJECT

    const QByteArray m_host = qgetenv("LINEGAUGE_TRAY_HOST");
    const bool m_onPanel = m_host == "xfce4-panel";
    const bool m_onSilentBus = m_host == "silent-bus";
    const QString m_noticeLog = qEnvironmentVariable("LINEGAUGE_NOTICE_LOG");
    QProcess m_trayHost;
    QProcess m_dunst;
    QProcess m_fake;

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
        static const QRegularExpression geometry(uR"(Position: (-?\d+),(-?\d+).*\n\s*Geometry: (\d+)x(\d+))"_qs);
        for (const QRegularExpressionMatch& m : geometry.globalMatch(
                 runTool("xdotool search --onlyvisible --classname " + className + " getwindowgeometry %@"))) {
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

    // A slow or silent desktop service (tests/tray/data/fake-bus-service.py), once it holds its name.
    static void startFakeService(QProcess& service, const QString& arguments)
    {
        service.start(qEnvironmentVariable("LINEGAUGE_PYTHON"),
            QStringList{qEnvironmentVariable("LINEGAUGE_FAKE_BUS_SERVICE")} + arguments.split(u' '));
        QVERIFY2(service.waitForReadyRead(10000) && service.readAll().startsWith("ready"),
            qPrintable("the fake service did not start: " + service.readAllStandardError()));
    }

    static QVariant watcher(const char* property)
    {
        const auto service = u"org.kde.StatusNotifierWatcher"_qs;
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

    static bool balloonShows()
    {
        return std::ranges::any_of(QApplication::topLevelWidgets(),
            [](const QWidget* window) { return window->isVisible() && window->inherits("QBalloonTip"); });
    }

    QString noticeLog() const
    {
        QFile log(m_noticeLog);
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }

    // The fake notification service's log, each notice's texts left out: "notify 0", "answer 1", ...
    QStringList serviceEvents() const
    {
        static const QRegularExpression texts(QStringLiteral(" \\S*\\|.*"));
        return noticeLog().remove(texts).split(u'\n', Qt::SkipEmptyParts);
    }

    void dropInTray(Program& program)
    {
        const QByteArray lineUpImage = m_onPanel ? itemProperty("IconPixmap") : QByteArray();
        program.capture("3.0");
        if (m_onPanel) {
            QTRY_VERIFY2(itemProperty("IconPixmap") != lineUpImage, "the tray kept the image of the line up");
            QTRY_VERIFY2(QFile::exists(m_noticeLog), "no notice reached dunst");
            QCOMPARE(noticeLog(), u"Linegauge\x1f%1\nADSL connection dropped.\x1e"_qs.arg(program.dropTime()));
        } else if (!m_onSilentBus) {
            QTRY_VERIFY(balloonShows());
        }
    }

    void perform(const QString& act, Program& program)
    {
        // The panel sits at the top left and draws the item's icon at the start of its status tray.
        if (act == u"right-click" || act == u"menu")
            clickAt(m_onPanel ? QPoint(16, 16) : dockedIcon().center(), 3);
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
        if (act == u"second notice")
            program.tray.notifyDrop(u"Linegauge"_qs, u"dropped again"_qs);
        if (act == u"show item")
            program.window.showAction()->trigger();
        if (act == u"click") {
            QTRY_VERIFY_WITH_TIMEOUT(serviceEvents().contains(u"answer 1"_qs), 10000);
            // The service's own method clicks the notice the way a click on it would.
            runTool(u"dbus-send --session --print-reply --dest=org.freedesktop.Notifications "
                    "/org/freedesktop/Notifications org.linegauge.TestNotices.Click uint32:1"_qs);
        }
    }

    // Monitors a router that is not there, so a timed capture ends at every one-second tick, and
    // drops the line through the page text between two of them.
    void dropWhileMonitoring(Program& program)
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        program.window.ui().addressEdit->setText(QStringLiteral("127.0.0.1"));
        program.window.ui().portEdit->setText(QString::number(closed.serverPort()));
        closed.close();
        program.window.ui().intervalEdit->setText(QStringLiteral("0"));
        QList<qint64> timedCaptures;
        StallProbe probe;
        QObject::connect(&program.controller, &MainController::captureFinished, &probe.timer, [&](CaptureMode mode) {
            if (mode == CaptureMode::Timed)
                timedCaptures.append(probe.clock.elapsed());
        });
        program.controller.toggleMonitoring();
        QTRY_COMPARE(timedCaptures.size(), qsizetype(2));
        program.capture("3.0");
        QTRY_COMPARE_WITH_TIMEOUT(timedCaptures.size(), qsizetype(5), 5000);
        program.controller.toggleMonitoring();
        // A capture that cannot reach its router ends at once; a stall would show as a wider gap.
        for (qsizetype i = 1; i < timedCaptures.size(); ++i)
            QCOMPARE_LT(timedCaptures.at(i) - timedCaptures.at(i - 1), 1500);
        QCOMPARE_LT(probe.longestMs, 500);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "this test needs an X server (xvfb-run)");
        const QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
        if (!m_onPanel) {
            QVERIFY2(!m_onSilentBus || (bus && !bus->isServiceRegistered(u"org.freedesktop.Notifications"_qs)),
                "this test needs a session bus of its own");
            startHost(m_trayHost, u"trayer --edge top --align left --width 20 --height 32"_qs);
            QTRY_VERIFY2(QSystemTrayIcon::isSystemTrayAvailable(), "trayer started but no system tray appeared");
            return;
        }
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

    void init() { QFile::remove(m_noticeLog); }

    void cleanup()
    {
        m_fake.terminate();
        m_fake.waitForFinished(5000);
    }

    void trayAct_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<bool>("windowBack");
        QTest::addColumn<bool>("dropNotified");
        if (m_onSilentBus) {
            QTest::addColumn<QString>("service");
            QTest::addColumn<QStringList>("serviceLog");
            QTest::newRow("a notice never answered: the tick and the captures keep time, one notice")
                << u"drop while monitoring"_qs << false << true << u"notices never"_qs << QStringList{"notify 0"};
            QTest::newRow("a notice answered late: its click brings the window back")
                << u"click"_qs << true << true << u"notices 3"_qs << QStringList{"notify 0", "answer 1", "close 1"};
            QTest::newRow("a notice answered late: the next notice replaces it")
                << u"second notice"_qs << false << true << u"notices 3"_qs
                << QStringList{"notify 0", "answer 1", "notify 1", "answer 1"};
            QTest::newRow("a notice answered after the window came back: it is closed")
                << u"show item"_qs << true << false << u"notices 3"_qs
                << QStringList{"notify 0", "answer 1", "close 1"};
            return;
        }
        if (m_onPanel) {
            QTest::newRow("the panel's tray menu, first item") << u"menu"_qs << true << false;
            QTest::newRow("drop notice acted on: the window comes back") << u"action"_qs << true << true;
            QTest::newRow("drop notice dismissed: clears the drop") << u"close"_qs << false << false;
            QTest::newRow("drop notice expired: clears the drop") << u"expiry"_qs << false << false;
        } else {
            // The toolkit reports the press as a click on the balloon from inside the icon's own
            // handler; the window must take the icon away only after that handler has returned.
            QTest::newRow("right-click on the icon while the drop balloon shows") << u"right-click"_qs << true << true;
        }
        // Last, as the tray host does not come back.
        QTest::newRow("the tray host ends") << u"host ends"_qs << true << false;
    }

    // The window survives whatever the tray does, and comes back whenever the tray is gone; nothing
    // it does waits on a desktop service, and a late answer from one still counts.
    void trayAct()
    {
        QFETCH(QString, act);
        QFETCH(bool, windowBack);
        QFETCH(bool, dropNotified);
        if (m_onSilentBus) {
            QFETCH(QString, service);
            startFakeService(m_fake, service);
        }
        Program program;
        QVERIFY(QTest::qWaitForWindowExposed(&program.window));
        QTRY_VERIFY2(program.tray.host(), "the session bus never said which tray runs");
        program.window.ui().balloonsCheck->setChecked(true);
        program.capture("12.0");
        program.window.ui().trayButton->click();
        QTRY_VERIFY2(iconInTray(), "the tray never took the icon");
        if (act == u"drop while monitoring")
            dropWhileMonitoring(program);
        else if (act != u"menu" && act != u"host ends")
            dropInTray(program);
        QTest::qWait(500);

        perform(act, program);

        QTRY_COMPARE_WITH_TIMEOUT(program.controller.statistics().dropNoticeShown(), dropNotified, 10000);
        QTRY_COMPARE(program.window.isVisible(), windowBack);
        QVERIFY(!program.window.isMinimized() || !windowBack);
        QTRY_VERIFY2(iconInTray() != windowBack, "the icon stayed in the tray");
        if (!m_onSilentBus) {
            QCOMPARE(program.window.ui().statusLabel->text(),
                act == u"host ends" ? u"The system tray closed: the window is back."_qs : u"Displaying stats"_qs);
            return;
        }
        QFETCH(QStringList, serviceLog);
        QTRY_COMPARE_WITH_TIMEOUT(serviceEvents(), serviceLog, 10000);
        QVERIFY2(!balloonShows(), "a second notice came through the toolkit's balloon");
        QVERIFY2(noticeLog().contains(u"|%1\\nADSL connection dropped.|default,Linegauge\n"_qs.arg(program.dropTime())),
            "the notice does not read as the drop notice, its lines broken by a bare line feed");
    }

    // On a silent status tray watcher the window must show at once and stay usable, tray or none.
    void silentWatcher()
    {
        if (!m_onSilentBus)
            QSKIP("a silent watcher is tried on a session bus of the test's own");
        startFakeService(m_fake, u"watcher"_qs);
        StallProbe probe;
        Program program;
        QVERIFY(QTest::qWaitForWindowExposed(&program.window));
        const qint64 shownMs = probe.clock.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(program.tray.host(), 5000);
        QCOMPARE(*program.tray.host(), TrayHost::Unusable);
        QTest::qWait(500);
        program.window.ui().trayButton->click();
        QVERIFY(program.window.isVisible());
        QCOMPARE(program.window.ui().statusLabel->text(), u"No system tray available: the window stays open."_qs);
        QCOMPARE_LT(shownMs, 1000);
        QCOMPARE_LT(probe.longestMs, 500);
    }
};

QTEST_MAIN(TestRealTray)
#include "TestRealTray.moc"
