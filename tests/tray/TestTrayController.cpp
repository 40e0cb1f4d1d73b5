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

namespace {

// Acts on the tray beside the shell's event codes: the tray going away and the menu's show item.
constexpr int trayLost = -1;
constexpr int showItem = -2;
const QPoint mouse{300, 740};

struct Rig
{
    Rig() { tray.detectShellCapabilities(); }

    void sendToTray()
    {
        controller.cmdSysTrayClick();
        QVERIFY(tray.iconAdded() && !window.visible && window.minimised);
    }

    RecordingTrayShell shell;
    FixedVersionProbe probe{VersionProbe::pack(5, 0, true)};
    FakeTrayWindow window;
    AppState state;
    RecordingStatusLine statusLine;
    QList<QPoint> menuPositions;
    StatusImages images;
    SysTray tray{shell, probe};
    TrayController controller{tray, window, images, state, statusLine, [this](QPoint at) { menuPositions.append(at); }};
};

} // namespace

// The window must never get lost in the tray, and the drop notice must clear only the ways the user
// acknowledges it.
class TestTrayController : public QObject
{
    Q_OBJECT

private slots:
    void trayAct_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("inTray");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<bool>("menuShown");
        QTest::addColumn<bool>("dropNotified");
        QTest::newRow("double-click restores, drop notice stays") << 0x203 << true << true << false << true;
        QTest::newRow("balloon clicked restores, drop notice stays") << 0x405 << true << true << false << true;
        QTest::newRow("show item restores, clears the notice, activates") << showItem << true << true << false << false;
        QTest::newRow("tray lost: the window comes back and says so") << trayLost << true << true << false << true;
        QTest::newRow("right button up shows the tray menu") << 0x205 << true << false << true << true;
        QTest::newRow("balloon timed out clears the drop notice") << 0x404 << true << false << false << false;
        QTest::newRow("single click does nothing") << 0x202 << true << false << false << true;
        QTest::newRow("window shown: double-click does nothing") << 0x203 << false << false << false << true;
        QTest::newRow("window shown: tray lost does nothing") << trayLost << false << false << false << true;
    }

    void trayAct()
    {
        QFETCH(int, code);
        QFETCH(bool, inTray);
        QFETCH(bool, restored);
        QFETCH(bool, menuShown);
        QFETCH(bool, dropNotified);
        Rig rig;
        if (inTray)
            rig.sendToTray();
        rig.state.dropNotified = true;
        rig.shell.calls.clear();

        if (code == trayLost)
            rig.controller.trayLost();
        else if (code == showItem)
            rig.controller.mnShowClick();
        else
            rig.controller.trayEvent(code, mouse);

        const bool shown = restored || !inTray;
        QVERIFY(rig.window.visible == shown && rig.window.minimised == !shown && rig.tray.iconAdded() == !shown);
        QCOMPARE(rig.shell.operations(), restored ? QList<quint32>{TrayShell::NimDelete} : QList<quint32>{});
        QCOMPARE(rig.menuPositions, menuShown ? QList<QPoint>{mouse} : QList<QPoint>{});
        QCOMPARE(rig.state.dropNotified, dropNotified);
        // Only the show item brings the window to the front, and only the tray going away says something.
        QCOMPARE(rig.window.activations, code == showItem ? 1 : 0);
        QCOMPARE(rig.statusLine.last(),
            code == trayLost && inTray ? QString::fromLatin1(StatusTexts::systemTrayGone) : QString());
    }

    // Hiding the window with nowhere to show an icon would leave no way to bring it back; once in the
    // tray, the tray button neither adds nor hides again.
    void sendToTray_onlyWhereATrayIsAndOnce()
    {
        Rig rig;
        rig.shell.trayAvailable = false;
        rig.controller.cmdSysTrayClick();
        QVERIFY(rig.shell.calls.isEmpty() && rig.window.visible && !rig.window.minimised);
        QCOMPARE(rig.statusLine.last(), QString::fromLatin1(StatusTexts::noSystemTray));
        rig.shell.trayAvailable = true;
        rig.sendToTray();
        rig.window.visible = true;
        rig.controller.cmdSysTrayClick();
        QCOMPARE(rig.shell.calls.size(), 2); // the add and its version
        QVERIFY(rig.window.visible);
    }

    // A greyed box is not a ticked one.
    void chkUseBalloons_onlyTickedEnables()
    {
        Rig rig;
        for (const Qt::CheckState state : {Qt::Checked, Qt::PartiallyChecked, Qt::Checked, Qt::Unchecked}) {
            rig.controller.chkUseBalloonsClick(TrayController::checkBoxValue(state));
            QCOMPARE(rig.state.useBalloons, state == Qt::Checked);
        }
    }

    // The tray takes a new window icon at its next modify; a key the images lack changes nothing.
    // Pale bands while not monitoring, green while the line is good, red while it is bad.
    void setWindowIcon_reachesTrayAtNextModify()
    {
        Rig rig;
        rig.sendToTray();
        const QList<std::pair<QString, QColor>> screens{{StatusImages::smallNormal, QColor(0xF4, 0xB8, 0xB8)},
            {StatusImages::smallOnline, QColor(0, 0xB0, 0)}, {StatusImages::smallOffline, QColor(0xE0, 0, 0)}};
        for (const auto& [key, screen] : screens) {
            rig.controller.setWindowIcon(key);
            rig.controller.setWindowIcon(QStringLiteral("large_online"));
            SysTrayNotice(rig.tray, rig.window).modifyTrayIcon(QStringLiteral("down"));
            QCOMPARE(rig.shell.operations().constLast(), quint32(TrayShell::NimModify));
            const quint32 handle = RecordingTrayShell::longAt(rig.shell.lastRecord(), TrayRecordLayout::hIcon);
            const QImage image = rig.window.icons.icon(handle).pixmap(16, 16).toImage();
            QVERIFY(image.pixelColor(0, 0).alpha() == 0 && image.pixelColor(7, 3).rgb() == screen.rgb());
        }
    }
};

QTEST_MAIN(TestTrayController)
#include "TestTrayController.moc"
