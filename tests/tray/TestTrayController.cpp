#include "platform/TrayShell.h"
#include "platform/VersionProbe.h"
#include "stats/AppState.h"
#include "stats/StatusTexts.h"
#include "support/FakeTrayWindow.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayShell.h"
#include "tray/StatusImages.h"
#include "tray/SysTray.h"
#include "tray/SysTrayNotice.h"
#include "tray/TrayController.h"

#include <QImage>
#include <QTest>

#include <memory>
#include <optional>

// The window must never get lost in the tray, and the drop notice must clear only the ways the user
// acknowledges it.
class TestTrayController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void trayEvent_inTray_data();
    void trayEvent_inTray();
    void trayEvent_whileShown_doesNothing_data();
    void trayEvent_whileShown_doesNothing();
    void trayLost_bringsWindowBackFromTrayOnly_data();
    void trayLost_bringsWindowBackFromTrayOnly();
    void sendToTray_twice_addsAndHidesOnce();
    void sendToTray_noTrayAvailable_keepsWindowShown();
    void mnShow_restoresClearsNoticeAndActivates();
    void chkUseBalloons_onlyTickedEnables_data();
    void chkUseBalloons_onlyTickedEnables();
    void setWindowIcon_reachesTrayAtNextModify_unknownKeyIgnored();
    void statusImages_screenColours_data();
    void statusImages_screenColours();

private:
    void sendToTray();

    std::optional<StatusImages> m_images;
    RecordingTrayShell m_shell;
    FixedVersionProbe m_probe{VersionProbe::pack(5, 0, true)};
    FakeTrayWindow m_window;
    AppState m_state;
    RecordingStatusLine m_statusLine;
    QList<QPoint> m_menuPositions;
    std::unique_ptr<SysTray> m_tray;
    std::unique_ptr<TrayController> m_controller;
};

void TestTrayController::initTestCase()
{
    m_images.emplace();
    connect(
        &m_shell, &TrayShell::trayEvent, this, [this](int code, QPoint pos) { m_controller->trayEvent(code, pos); });
    connect(&m_shell, &TrayShell::trayLost, this, [this] { m_controller->trayLost(); });
}

void TestTrayController::init()
{
    m_shell.calls.clear();
    m_shell.trayAvailable = true;
    m_window = {};
    m_state = {};
    m_state.trayTip = QStringLiteral("Linegauge (Monitor OFF)");
    m_statusLine = {};
    m_menuPositions.clear();
    m_tray = std::make_unique<SysTray>(m_shell, m_probe);
    m_tray->detectShellCapabilities();
    m_controller = std::make_unique<TrayController>(
        *m_tray, m_window, *m_images, m_state, m_statusLine, [this](QPoint pos) { m_menuPositions.append(pos); });
}

void TestTrayController::sendToTray()
{
    m_controller->cmdSysTrayClick();
    QVERIFY(m_tray->iconAdded());
    QVERIFY(!m_window.visible);
    QVERIFY(m_window.minimised);
}

void TestTrayController::trayEvent_inTray_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<bool>("menuShown");
    QTest::addColumn<bool>("dropNotifiedAfter");
    QTest::newRow("double-click restores, drop notice stays") << 515 << true << false << true;
    QTest::newRow("right button up shows the tray menu") << 517 << false << true << true;
    QTest::newRow("balloon timed out clears the drop notice") << 1028 << false << false << false;
    QTest::newRow("balloon clicked restores, drop notice stays") << 1029 << true << false << true;
    QTest::newRow("single click does nothing") << 0x202 << false << false << true;
    QTest::newRow("mouse move does nothing") << 0x200 << false << false << true;
    QTest::newRow("balloon shown does nothing") << 0x402 << false << false << true;
    QTest::newRow("unknown code does nothing") << -1 << false << false << true;
}

void TestTrayController::trayEvent_inTray()
{
    QFETCH(int, code);
    QFETCH(bool, restored);
    QFETCH(bool, menuShown);
    QFETCH(bool, dropNotifiedAfter);
    sendToTray();
    m_state.dropNotified = true;
    const QPoint mouse(300, 740);

    m_shell.report(code, mouse);

    QCOMPARE(m_window.visible, restored);
    QCOMPARE(m_window.minimised, !restored);
    QCOMPARE(m_tray->iconAdded(), !restored);
    QCOMPARE(m_shell.operations().contains(TrayShell::NimDelete), restored);
    QCOMPARE(m_menuPositions, menuShown ? QList<QPoint>{mouse} : QList<QPoint>{});
    QCOMPARE(m_state.dropNotified, dropNotifiedAfter);
    QCOMPARE(m_window.activations, 0);
}

void TestTrayController::trayEvent_whileShown_doesNothing_data()
{
    trayEvent_inTray_data();
}

void TestTrayController::trayEvent_whileShown_doesNothing()
{
    QFETCH(int, code);
    m_state.dropNotified = true;
    m_shell.report(code, QPoint(5, 5));
    QVERIFY(m_shell.calls.isEmpty());
    QVERIFY(m_menuPositions.isEmpty());
    QVERIFY(m_state.dropNotified);
    QVERIFY(m_window.visible);
}

void TestTrayController::trayLost_bringsWindowBackFromTrayOnly_data()
{
    QTest::addColumn<bool>("inTray");
    QTest::newRow("in the tray: the window comes back and says so") << true;
    QTest::newRow("shown: nothing happens") << false;
}

void TestTrayController::trayLost_bringsWindowBackFromTrayOnly()
{
    QFETCH(bool, inTray);
    if (inTray)
        sendToTray();
    m_state.dropNotified = true;

    m_shell.reportTrayLost();

    QVERIFY(m_window.visible);
    QVERIFY(!m_window.minimised);
    QVERIFY(!m_tray->iconAdded());
    QVERIFY(m_state.dropNotified);
    QCOMPARE(m_shell.operations().contains(TrayShell::NimDelete), inTray);
    QCOMPARE(m_statusLine.last(), inTray ? QString::fromLatin1(StatusTexts::systemTrayGone) : QString());
}

void TestTrayController::sendToTray_twice_addsAndHidesOnce()
{
    sendToTray();
    m_window.visible = true;
    m_controller->cmdSysTrayClick();
    QCOMPARE(m_shell.operations(), (QList<quint32>{TrayShell::NimAdd, TrayShell::NimSetVersion}));
    QVERIFY(m_window.visible);
}

void TestTrayController::sendToTray_noTrayAvailable_keepsWindowShown()
{
    m_shell.trayAvailable = false;
    m_controller->cmdSysTrayClick();
    QVERIFY(m_shell.calls.isEmpty());
    QVERIFY(!m_tray->iconAdded());
    QVERIFY(m_window.visible);
    QVERIFY(!m_window.minimised);
    QCOMPARE(m_statusLine.last(), QString::fromLatin1(StatusTexts::noSystemTray));
}

void TestTrayController::mnShow_restoresClearsNoticeAndActivates()
{
    sendToTray();
    m_state.dropNotified = true;
    m_controller->mnShowClick();
    QVERIFY(m_window.visible);
    QVERIFY(!m_window.minimised);
    QVERIFY(!m_state.dropNotified);
    QVERIFY(!m_tray->iconAdded());
    QCOMPARE(m_shell.operations().constLast(), quint32(TrayShell::NimDelete));
    QCOMPARE(m_window.activations, 1);
}

void TestTrayController::chkUseBalloons_onlyTickedEnables_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("useBalloons");
    QTest::newRow("ticked") << int(Qt::Checked) << true;
    QTest::newRow("unticked") << int(Qt::Unchecked) << false;
    QTest::newRow("greyed") << int(Qt::PartiallyChecked) << false;
}

void TestTrayController::chkUseBalloons_onlyTickedEnables()
{
    QFETCH(int, state);
    QFETCH(bool, useBalloons);
    m_state.useBalloons = !useBalloons;
    m_controller->chkUseBalloonsClick(TrayController::checkBoxValue(Qt::CheckState(state)));
    QCOMPARE(m_state.useBalloons, useBalloons);
}

void TestTrayController::setWindowIcon_reachesTrayAtNextModify_unknownKeyIgnored()
{
    m_controller->setWindowIcon(StatusImages::smallNormal);
    const quint32 normal = m_window.iconHandle;
    sendToTray();
    QCOMPARE(RecordingTrayShell::longAt(m_shell.lastRecord(), TrayRecordLayout::hIcon), normal);

    SysTrayNotice notice(*m_tray, m_window);
    m_controller->setWindowIcon(StatusImages::smallOffline);
    const int callsBefore = int(m_shell.calls.size());
    QVERIFY(m_window.iconHandle != normal);
    QCOMPARE(int(m_shell.calls.size()), callsBefore);
    notice.modifyTrayIcon(QStringLiteral("down"));
    QCOMPARE(m_shell.operations().constLast(), quint32(TrayShell::NimModify));
    QCOMPARE(RecordingTrayShell::longAt(m_shell.lastRecord(), TrayRecordLayout::hIcon), m_window.iconHandle);

    const quint32 offline = m_window.iconHandle;
    m_controller->setWindowIcon(QStringLiteral("large_online"));
    QCOMPARE(m_window.iconHandle, offline);
}

void TestTrayController::statusImages_screenColours_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QColor>("screen");
    QTest::newRow("not monitoring: pale bands") << StatusImages::smallNormal << QColor(0xF4, 0xB8, 0xB8);
    QTest::newRow("line bad: red") << StatusImages::smallOffline << QColor(0xE0, 0, 0);
    QTest::newRow("line good: green") << StatusImages::smallOnline << QColor(0, 0xB0, 0);
}

void TestTrayController::statusImages_screenColours()
{
    QFETCH(QString, key);
    QFETCH(QColor, screen);
    const QImage image = m_images->icon(key).pixmap(16, 16).toImage();
    QCOMPARE(image.size(), QSize(16, 16));
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(image.pixelColor(7, 3).rgb(), screen.rgb());
}

QTEST_MAIN(TestTrayController)
#include "TestTrayController.moc"
