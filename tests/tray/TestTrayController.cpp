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

    // Acts on the tray beside the shell's event codes: the tray going away and the menu's show item.
    static constexpr int trayLost = -1;
    static constexpr int showItem = -2;
    const QPoint m_mouse{300, 740};

    std::optional<StatusImages> m_images;
    RecordingTrayShell m_shell;
    FixedVersionProbe m_probe{VersionProbe::pack(5, 0, true)};
    FakeTrayWindow m_window;
    AppState m_state;
    RecordingStatusLine m_statusLine;
    QList<QPoint> m_menuPositions;
    std::unique_ptr<SysTray> m_tray;
    std::unique_ptr<TrayController> m_controller;

    void act(int code)
    {
        if (code == trayLost)
            m_shell.reportTrayLost();
        else if (code == showItem)
            m_controller->mnShowClick();
        else
            m_shell.report(code, m_mouse);
    }

    void sendToTray()
    {
        m_controller->cmdSysTrayClick();
        QVERIFY(m_tray->iconAdded());
        QVERIFY(!m_window.visible);
        QVERIFY(m_window.minimised);
    }

private slots:
    void initTestCase()
    {
        m_images.emplace();
        connect(
            &m_shell, &TrayShell::trayEvent, this, [this](int code, QPoint at) { m_controller->trayEvent(code, at); });
        connect(&m_shell, &TrayShell::trayLost, this, [this] { m_controller->trayLost(); });
    }

    void init()
    {
        m_shell.calls.clear();
        m_shell.trayAvailable = true;
        m_window = {};
        m_state = {};
        m_statusLine = {};
        m_menuPositions.clear();
        m_tray = std::make_unique<SysTray>(m_shell, m_probe);
        m_tray->detectShellCapabilities();
        m_controller = std::make_unique<TrayController>(
            *m_tray, m_window, *m_images, m_state, m_statusLine, [this](QPoint at) { m_menuPositions.append(at); });
    }

    void inTray_eachAct_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<bool>("menuShown");
        QTest::addColumn<bool>("dropNotified");
        QTest::newRow("double-click restores, drop notice stays") << 0x203 << true << false << true;
        QTest::newRow("balloon clicked restores, drop notice stays") << 0x405 << true << false << true;
        QTest::newRow("show item restores, clears the notice, activates") << showItem << true << false << false;
        QTest::newRow("tray lost: the window comes back and says so") << trayLost << true << false << true;
        QTest::newRow("right button up shows the tray menu") << 0x205 << false << true << true;
        QTest::newRow("balloon timed out clears the drop notice") << 0x404 << false << false << false;
        QTest::newRow("single click does nothing") << 0x202 << false << false << true;
        QTest::newRow("balloon shown does nothing") << 0x402 << false << false << true;
    }

    void inTray_eachAct()
    {
        QFETCH(int, code);
        QFETCH(bool, restored);
        QFETCH(bool, menuShown);
        QFETCH(bool, dropNotified);
        sendToTray();
        m_state.dropNotified = true;

        act(code);

        QCOMPARE(m_window.visible, restored);
        QCOMPARE(m_window.minimised, !restored);
        QCOMPARE(m_tray->iconAdded(), !restored);
        QCOMPARE(m_shell.operations().contains(TrayShell::NimDelete), restored);
        QCOMPARE(m_menuPositions, menuShown ? QList<QPoint>{m_mouse} : QList<QPoint>{});
        QCOMPARE(m_state.dropNotified, dropNotified);
        // Only the show item brings the window to the front, and only the tray going away says something.
        QCOMPARE(m_window.activations, code == showItem ? 1 : 0);
        QCOMPARE(m_statusLine.last(), code == trayLost ? QString::fromLatin1(StatusTexts::systemTrayGone) : QString());
    }

    void whileShown_trayActivityChangesNothing()
    {
        m_state.dropNotified = true;
        for (const int code : {0x203, 0x205, 0x404, 0x405, trayLost})
            act(code);
        QVERIFY(m_shell.calls.isEmpty());
        QVERIFY(m_menuPositions.isEmpty());
        QVERIFY(m_state.dropNotified);
        QVERIFY(m_window.visible);
        QVERIFY(m_statusLine.texts.isEmpty());
    }

    // Hiding the window with nowhere to show an icon would leave no way to bring it back; once in the
    // tray, the tray button neither adds nor hides again.
    void sendToTray_onlyWhereATrayIsAndOnce()
    {
        m_shell.trayAvailable = false;
        m_controller->cmdSysTrayClick();
        QVERIFY(m_shell.calls.isEmpty());
        QVERIFY(m_window.visible && !m_window.minimised);
        QCOMPARE(m_statusLine.last(), QString::fromLatin1(StatusTexts::noSystemTray));
        m_shell.trayAvailable = true;
        sendToTray();
        m_window.visible = true;
        m_controller->cmdSysTrayClick();
        QCOMPARE(m_shell.operations(), (QList<quint32>{TrayShell::NimAdd, TrayShell::NimSetVersion}));
        QVERIFY(m_window.visible);
    }

    // A greyed box is not a ticked one.
    void chkUseBalloons_onlyTickedEnables()
    {
        for (const Qt::CheckState state : {Qt::Checked, Qt::PartiallyChecked, Qt::Checked, Qt::Unchecked}) {
            m_controller->chkUseBalloonsClick(TrayController::checkBoxValue(state));
            QCOMPARE(m_state.useBalloons, state == Qt::Checked);
        }
    }

    // The tray takes a new window icon at its next modify; a key the images lack changes nothing.
    void setWindowIcon_reachesTrayAtNextModify()
    {
        m_controller->setWindowIcon(StatusImages::smallNormal);
        const quint32 normal = m_window.iconHandle;
        sendToTray();
        QCOMPARE(RecordingTrayShell::longAt(m_shell.lastRecord(), TrayRecordLayout::hIcon), normal);

        m_controller->setWindowIcon(StatusImages::smallOffline);
        m_controller->setWindowIcon(QStringLiteral("large_online"));
        QVERIFY(m_window.iconHandle != normal);
        QCOMPARE(m_shell.calls.size(), 2);
        SysTrayNotice(*m_tray, m_window).modifyTrayIcon(QStringLiteral("down"));
        QCOMPARE(m_shell.operations().constLast(), quint32(TrayShell::NimModify));
        QCOMPARE(RecordingTrayShell::longAt(m_shell.lastRecord(), TrayRecordLayout::hIcon), m_window.iconHandle);
        QCOMPARE(m_window.icons.handleFor(m_images->icon(StatusImages::smallOffline)), m_window.iconHandle);
    }

    // Pale bands while not monitoring, red while the line is bad, green while it is good.
    void statusImages_screenColours()
    {
        const QList<std::pair<QString, QColor>> screens{{StatusImages::smallNormal, QColor(0xF4, 0xB8, 0xB8)},
            {StatusImages::smallOffline, QColor(0xE0, 0, 0)}, {StatusImages::smallOnline, QColor(0, 0xB0, 0)}};
        for (const auto& [key, screen] : screens) {
            const QImage image = m_images->icon(key).pixmap(16, 16).toImage();
            QCOMPARE(image.size(), QSize(16, 16));
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            QCOMPARE(image.pixelColor(7, 3).rgb(), screen.rgb());
        }
    }
};

QTEST_MAIN(TestTrayController)
#include "TestTrayController.moc"
