// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "support/RealTrayProgram.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>

namespace {

constexpr int waitMs = RealTrayProgram::waitMs;
const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

// The panel holds nothing but its status tray, at the top left of the screen.
constexpr char panelConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="length" type="uint" value="20"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty"><property name="plugin-1" type="string" value="systray"/></property>
</channel>
)";

QVariant watcherProperty(const char* name)
{
    QDBusInterface watcher(
        watcherService, QStringLiteral("/StatusNotifierWatcher"), watcherService, QDBusConnection::sessionBus());
    return watcher.property(name);
}

// A property of this program's item, read by another client the way the panel reads it.
QByteArray itemProperty(const QString& name)
{
    const QString item = watcherProperty("RegisteredStatusNotifierItems").toStringList().value(0);
    QProcess reader;
    reader.start(QStringLiteral("dbus-send"),
        {QStringLiteral("--session"), QStringLiteral("--print-reply"), "--dest=" + item.section('/', 0, 0),
            "/" + item.section('/', 1), QStringLiteral("org.freedesktop.DBus.Properties.Get"),
            QStringLiteral("string:org.kde.StatusNotifierItem"), "string:" + name});
    if (!QTest::qWaitFor([&reader] { return reader.state() == QProcess::NotRunning; }, waitMs))
        return {};
    return reader.readAllStandardOutput();
}

bool serviceRuns(const QString& name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name);
}

bool writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions permissions = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
        && (!permissions || file.setPermissions(permissions));
}

} // namespace

// Under a real X server with a session bus of its own: the status tray of a desktop panel and a
// notification daemon. The bus is started before the toolkit looks for one (see main).
class TestDesktopTray : public QObject
{
    Q_OBJECT

public:
    explicit TestDesktopTray(QString home)
        : m_home(std::move(home))
    { }

private slots:
    void initTestCase();
    void cleanupTestCase();
    void dropNotice_data();
    void dropNotice();
    void windowComesBack_data();
    void windowComesBack();

private:
    QPoint itemCentre();
    QRect menuBelowPanel();

    QString m_home;
    QString m_noticeLog;
    QProcess m_panel;
    QProcess m_dunst;
};

void TestDesktopTray::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "this test needs an X server (xvfb-run)");
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "the test's own session bus is not there");
    QString why;
    QVERIFY2(startHost(m_panel, QStringLiteral("xfce4-panel"), {QStringLiteral("--disable-wm-check")}, why),
        qPrintable(why));
    QTRY_VERIFY2_WITH_TIMEOUT(watcherProperty("IsStatusNotifierHostRegistered").toBool(),
        "xfce4-panel started but registered no status notifier host", 2 * waitMs);

    m_noticeLog = m_home + QStringLiteral("/notices.log");
    const QString script = m_home + QStringLiteral("/log-notice.sh");
    QVERIFY(writeFile(script,
        QStringLiteral("#!/bin/sh\nprintf '%s\\037%s\\036' \"$2\" \"$3\" >> '%1'\n").arg(m_noticeLog).toUtf8(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString config = m_home + QStringLiteral("/dunstrc");
    QVERIFY(writeFile(config,
        QStringLiteral("[global]\n    idle_threshold = 0\n[log]\n    summary = \"*\"\n    script = %1\n")
            .arg(script)
            .toUtf8()));
    QVERIFY2(startHost(m_dunst, QStringLiteral("dunst"), {QStringLiteral("-config"), config}, why), qPrintable(why));
    QTRY_VERIFY2_WITH_TIMEOUT(serviceRuns(QStringLiteral("org.freedesktop.Notifications")),
        "dunst started but took no notifications", waitMs);
}

void TestDesktopTray::cleanupTestCase()
{
    stopHost(m_dunst);
    stopHost(m_panel);
}

namespace {

QRect windowGeometry(const QString& id)
{
    const QString info = runTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const QRegularExpression geometry(QStringLiteral(
        R"(Absolute upper-left X:\s+(-?\d+)[\s\S]*Y:\s+(-?\d+)[\s\S]*Width:\s+(\d+)[\s\S]*Height:\s+(\d+))"));
    const QRegularExpressionMatch match = geometry.match(info);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(), match.captured(4).toInt()};
}

// The shown windows of one program, by the class name X knows them by.
QList<QRect> shownWindows(const QString& className)
{
    QList<QRect> windows;
    const QStringList ids = runTool(QStringLiteral("xdotool"),
        {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--classname"), className})
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& id : ids)
        windows.append(windowGeometry(id.trimmed()));
    return windows;
}

void clickAt(QPoint at, int button)
{
    runTool(QStringLiteral("xdotool"),
        QStringLiteral("mousemove 600 600 sleep 0.1 mousemove %1 %2 sleep 0.2 click %3")
            .arg(at.x())
            .arg(at.y())
            .arg(button)
            .split(' '));
}

} // namespace

// The status tray draws the item's icon at its start; the panel sits at the top left.
QPoint TestDesktopTray::itemCentre()
{
    const QList<QRect> panels = shownWindows(QStringLiteral("xfce4-panel"));
    return panels.isEmpty() ? QPoint() : panels.first().topLeft() + QPoint(16, 16);
}

// The panel's plugins draw their menus in windows of their own below the panel.
QRect TestDesktopTray::menuBelowPanel()
{
    for (const QRect& window : shownWindows(QStringLiteral("wrapper-2.0"))) {
        if (window.top() >= 32 && window.height() > 20)
            return window;
    }
    return {};
}

void TestDesktopTray::dropNotice_data()
{
    QTest::addColumn<QStringList>("act");
    QTest::addColumn<bool>("windowBack");
    QTest::addColumn<bool>("dropNotified");
    QTest::newRow("acted on: the window comes back") << QStringList{"action", "0"} << true << true;
    QTest::newRow("dismissed: clears the drop") << QStringList{"close"} << false << false;
    QTest::newRow("expired: clears the drop") << QStringList() << false << false;
}

void TestDesktopTray::dropNotice()
{
    QFETCH(QStringList, act);
    QFETCH(bool, windowBack);
    QFETCH(bool, dropNotified);
    QFile::remove(m_noticeLog);
    QTemporaryDir folder;
    RealTrayProgram program(folder.path());
    QVERIFY(program.exposed);
    program.ui().chkUseBalloons->setChecked(true);
    program.capture(true);
    program.ui().cmdSysTray->click();
    QTRY_VERIFY_WITH_TIMEOUT(!itemProperty(QStringLiteral("IconPixmap")).isEmpty(), waitMs);
    const QByteArray lineUpImage = itemProperty(QStringLiteral("IconPixmap"));
    program.capture(false);
    QVERIFY(program.controller.state().dropNotified);
    QTRY_VERIFY2_WITH_TIMEOUT(
        itemProperty(QStringLiteral("IconPixmap")) != lineUpImage, "the tray kept the image of the line up", waitMs);
    QVERIFY(itemProperty(QStringLiteral("ToolTip")).contains("SNR:3/12"));

    QFile log(m_noticeLog);
    QTRY_VERIFY2_WITH_TIMEOUT(log.exists(), "no notice reached dunst", waitMs);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QString text = program.dropText();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(QString::fromUtf8(log.readAll()), QStringLiteral("Linegauge\x1f%1\x1e").arg(text));
    if (!act.isEmpty())
        runTool(QStringLiteral("dunstctl"), act);

    QTRY_COMPARE_WITH_TIMEOUT(program.controller.state().dropNotified, dropNotified, 2 * waitMs);
    QTRY_COMPARE_WITH_TIMEOUT(program.window.isVisible(), windowBack, waitMs);
    QCOMPARE(program.shell.isIconShown(), !windowBack);
}

void TestDesktopTray::windowComesBack_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("status");
    QTest::newRow("click on the item") << 1 << QStringLiteral("Ready");
    QTest::newRow("right-click opens the tray menu, whose first item brings it back") << 3 << QStringLiteral("Ready");
    // Last, as the panel does not come back.
    QTest::newRow("the panel ends") << 0 << QStringLiteral("The system tray closed: the window is back.");
}

void TestDesktopTray::windowComesBack()
{
    QFETCH(int, button);
    QFETCH(QString, status);
    QTemporaryDir folder;
    RealTrayProgram program(folder.path());
    QVERIFY(program.exposed);
    QCOMPARE(program.shell.hostKind(), QtTrayShell::HostKind::StatusNotifier);
    program.ui().cmdSysTray->click();
    QTRY_VERIFY2_WITH_TIMEOUT(!watcherProperty("RegisteredStatusNotifierItems").toStringList().isEmpty(),
        "the item never registered with the watcher", waitMs);
    QTest::qWait(500);

    if (button == 0)
        m_panel.kill();
    else
        clickAt(itemCentre(), button);
    if (button == 3) {
        QRect menu;
        QTRY_VERIFY2_WITH_TIMEOUT(!(menu = menuBelowPanel()).isNull(), "no tray menu opened", waitMs);
        QTest::qWait(300);
        clickAt(menu.topLeft() + QPoint(30, menu.height() / 4), 1);
    }

    QTRY_VERIFY_WITH_TIMEOUT(program.window.isVisible(), waitMs);
    QVERIFY(!program.shell.isIconShown());
    QCOMPARE(program.ui().lblStatus->text(), status);
    QTRY_VERIFY_WITH_TIMEOUT(watcherProperty("RegisteredStatusNotifierItems").toStringList().isEmpty(), waitMs);
}

// The session bus is this test's own, started before the toolkit looks for one, so nothing from the
// environment it runs in takes part; the panel's settings service starts on it with our settings.
int main(int argc, char* argv[])
{
    QTemporaryDir home;
    if (!home.isValid()
        || !writeFile(home.filePath(QStringLiteral("xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml")), panelConfig)) {
        std::fprintf(stderr, "could not write the panel's settings\n");
        return 1;
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    FILE* launch = popen("dbus-launch --sh-syntax", "r");
    QByteArray launched;
    char buffer[512];
    while (launch && std::fgets(buffer, sizeof buffer, launch))
        launched += buffer;
    const int launchStatus = launch ? pclose(launch) : -1;
    const QRegularExpressionMatch address = QRegularExpression(QStringLiteral("DBUS_SESSION_BUS_ADDRESS='([^']+)'"))
                                                .match(QString::fromLocal8Bit(launched));
    const QRegularExpressionMatch pid
        = QRegularExpression(QStringLiteral("DBUS_SESSION_BUS_PID=(\\d+)")).match(QString::fromLocal8Bit(launched));
    if (launchStatus != 0 || !address.hasMatch() || !pid.hasMatch()) {
        std::fprintf(stderr, "dbus-launch could not start a session bus: %s\n", launched.constData());
        return 1;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.captured(1).toLocal8Bit());
    int result = 1;
    {
        QApplication application(argc, argv);
        TestDesktopTray test(home.path());
        result = QTest::qExec(&test, argc, argv);
    }
    ::kill(pid.captured(1).toInt(), SIGTERM);
    return result;
}

#include "TestDesktopTray.moc"
