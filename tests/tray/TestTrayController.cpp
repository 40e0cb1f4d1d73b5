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

// Acts on the tray beside the shell's event codes.
enum Act
{
    trayLost = -1,
    showItem = -2,
    trayButton = -3,
};

struct Rig
{
    Rig()
    {
        tray.detectShellCapabilities();
        state.dropNotified = true;
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
        QTest::addColumn<int>("act");
        QTest::addColumn<bool>("inTray");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("dropNotified");
        QTest::addColumn<QString>("says");
        const QString gone = QString::fromLatin1(StatusTexts::systemTrayGone);
        QTest::newRow("double-click restores, drop notice stays") << 0x203 << true << true << true << QString();
        QTest::newRow("balloon clicked restores, drop notice stays") << 0x405 << true << true << true << QString();
        QTest::newRow("show item restores, clears the notice") << int(showItem) << true << true << false << QString();
        QTest::newRow("tray lost: the window comes back and says so") << int(trayLost) << true << true << true << gone;
        QTest::newRow("right button up shows the tray menu") << 0x205 << true << false << true << QString();
        QTest::newRow("balloon timed out clears the drop notice") << 0x404 << true << false << false << QString();
        QTest::newRow("single click does nothing") << 0x202 << true << false << true << QString();
        QTest::newRow("window shown: double-click does nothing") << 0x203 << false << true << true << QString();
        QTest::newRow("window shown: tray lost does nothing") << int(trayLost) << false << true << true << QString();
        // Hiding the window with nowhere to show an icon would leave no way to bring it back.
        QTest::newRow("no tray: the window stays and says so")
            << int(trayButton) << false << true << true << QString::fromLatin1(StatusTexts::noSystemTray);
    }

    void trayAct()
    {
        QFETCH(int, act);
        QFETCH(bool, inTray);
        QFETCH(bool, shown);
        QFETCH(bool, dropNotified);
        QFETCH(QString, says);
        Rig rig;
        if (inTray)
            rig.controller.cmdSysTrayClick();
        QVERIFY(rig.window.visible != inTray && rig.window.minimised == inTray && rig.tray.iconAdded() == inTray);
        rig.shell.calls.clear();
        rig.shell.trayAvailable = inTray;

        if (act == trayLost)
            rig.controller.trayLost();
        else if (act == showItem)
            rig.controller.mnShowClick();
        else if (act == trayButton)
            rig.controller.cmdSysTrayClick();
        else
            rig.controller.trayEvent(act, QPoint(300, 740));

        QVERIFY(rig.window.visible == shown && rig.window.minimised == !shown && rig.tray.iconAdded() == !shown);
        const bool restored = inTray && shown;
        QCOMPARE(rig.shell.operations(), restored ? QList<quint32>{TrayShell::NimDelete} : QList<quint32>{});
        QCOMPARE(rig.menuPositions, act == 0x205 ? QList<QPoint>{QPoint(300, 740)} : QList<QPoint>{});
        QCOMPARE(rig.state.dropNotified, dropNotified);
        QCOMPARE(rig.statusLine.last(), says);
        // Only the show item brings the window to the front.
        QCOMPARE(rig.window.activations, act == showItem ? 1 : 0);
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
        rig.controller.cmdSysTrayClick();
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
