#include "stats/StatusTexts.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayIcon.h"
#include "tray/QtTrayIcon.h"
#include "tray/StatusImages.h"
#include "tray/TrayController.h"
#include "tray/TrayWindow.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace {

// A window that only remembers what the tray handling did to it.
struct FakeWindow final : TrayWindow
{
    void setWindowVisible(bool isVisible) override { visible = isVisible; }
    void setWindowMinimised(bool isMinimised) override { minimised = isMinimised; }
    void setWindowIcon(const QIcon& windowIcon) override { icon = windowIcon; }
    void activateWindow() override { ++activations; }

    bool visible = true;
    bool minimised = false;
    QIcon icon;
    int activations = 0;
};

// The tray handling of a window that remembers what was done to it, on a tray icon that keeps
// what it was asked to show; a drop notice is out.
struct Tray
{
    void act(const QString& step)
    {
        if (step == u"send")
            controller.sendToTray(QStringLiteral("tip"));
        else if (step == u"activated" || step == u"notice clicked")
            controller.restore();
        else if (step == u"show item")
            controller.restoreFromMenu();
        else if (step == u"menu")
            controller.showMenu(QPoint(300, 740));
        else if (step == u"notice gone")
            controller.dropNoticeGone();
        else if (step == u"host lost")
            controller.trayLost();
        else if (step == u"refresh")
            controller.refresh(QStringLiteral("tip"));
        else if (step == u"notice")
            controller.announceDrop(QStringLiteral("Linegauge"), QStringLiteral("dropped"));
        else if (step == u"close")
            controller.removeIcon();
        else
            QFAIL(qPrintable(u"no such step: "_qs + step));
    }

    RecordingTrayIcon icon;
    FakeWindow window;
    bool dropNotified = true;
    RecordingStatusLine statusLine;
    QList<QPoint> menuPositions;
    StatusImages images;
    TrayController controller{icon, window, images, statusLine, [this](QPoint at) { menuPositions.append(at); },
        [this] { dropNotified = false; }};
};

// Letters that change at every position, so a cut in the wrong place shows.
QString letters(int count)
{
    return QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(12).left(count);
}

} // namespace

// The window must never get lost in the tray; the drop notice clears only when acknowledged; the
// tray shows its texts cut to what the notification area always showed, and reacts to each kind of
// tray's own gestures.
class TestTray : public QObject
{
    Q_OBJECT

private slots:
    void trayAct_data()
    {
        QTest::addColumn<QString>("act");
        QTest::addColumn<bool>("inTray");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("dropNotified");
        QTest::addColumn<QString>("says");
        const QString gone = QString::fromLatin1(StatusTexts::systemTrayGone);
        QTest::newRow("activation restores, drop notice stays") << "activated" << true << true << true << QString();
        QTest::newRow("notice clicked restores, drop notice stays")
            << "notice clicked" << true << true << true << QString();
        QTest::newRow("show item restores, clears the notice") << "show item" << true << true << false << QString();
        QTest::newRow("tray lost: the window comes back and says so") << "host lost" << true << true << true << gone;
        QTest::newRow("menu asked for shows the tray menu") << "menu" << true << false << true << QString();
        QTest::newRow("notice gone clears the drop notice") << "notice gone" << true << false << false << QString();
        QTest::newRow("window shown: activation does nothing") << "activated" << false << true << true << QString();
        QTest::newRow("window shown: tray lost does nothing") << "host lost" << false << true << true << QString();
        QTest::newRow("window shown: no tray menu") << "menu" << false << true << true << QString();
        QTest::newRow("window shown: notice gone leaves the drop notice")
            << "notice gone" << false << true << true << QString();
        // Hiding the window with nowhere to show an icon would leave no way to bring it back.
        QTest::newRow("no tray: the window stays and says so")
            << "send" << false << true << true << QString::fromLatin1(StatusTexts::noSystemTray);
    }

    void trayAct()
    {
        QFETCH(QString, act);
        QFETCH(bool, inTray);
        QFETCH(bool, shown);
        QFETCH(bool, dropNotified);
        QFETCH(QString, says);
        Tray rig;
        if (inTray)
            rig.controller.sendToTray(QStringLiteral("tip"));
        QVERIFY(rig.window.visible != inTray && rig.window.minimised == inTray && rig.icon.shown == inTray);
        rig.icon.available = inTray;

        rig.act(act);

        QVERIFY(rig.window.visible == shown && rig.window.minimised == !shown && rig.icon.shown == !shown);
        QCOMPARE(rig.controller.isInTray(), !shown);
        QCOMPARE(rig.icon.hides, inTray && shown ? 1 : 0);
        QCOMPARE(rig.menuPositions, act == u"menu" && inTray ? QList<QPoint>{QPoint(300, 740)} : QList<QPoint>{});
        QCOMPARE(rig.dropNotified, dropNotified);
        QCOMPARE(rig.statusLine.last(), says);
        // Only the show item brings the window to the front.
        QCOMPARE(rig.window.activations, act == u"show item" ? 1 : 0);
    }

    void reachesTheIconOnlyInTray_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("shows");
        QTest::addColumn<int>("hides");
        QTest::addColumn<int>("notices");
        QTest::newRow("window shown: refresh and notice reach nothing") << "refresh notice" << 0 << 0 << 0;
        QTest::newRow("window shown: restore hides nothing") << "activated" << 0 << 0 << 0;
        QTest::newRow("sent twice: shown once") << "send send" << 1 << 0 << 0;
        QTest::newRow("in the tray: refresh and notice reach the icon") << "send refresh notice" << 2 << 0 << 1;
        QTest::newRow("back from the tray: nothing more reaches it") << "send activated refresh notice" << 1 << 1 << 0;
        QTest::newRow("sent again after coming back: shown again") << "send activated send" << 2 << 1 << 0;
        QTest::newRow("closing takes the icon away") << "send close refresh" << 1 << 1 << 0;
    }

    void reachesTheIconOnlyInTray()
    {
        QFETCH(QString, steps);
        QFETCH(int, shows);
        QFETCH(int, hides);
        QFETCH(int, notices);
        Tray rig;
        for (const QString& step : steps.split(u' '))
            rig.act(step);
        QCOMPARE(rig.icon.shows.size(), shows);
        QCOMPARE(rig.icon.hides, hides);
        QCOMPARE(rig.icon.notices.size(), notices);
    }

    void textsCutToWhatTheTrayShows_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("shownLength");
        QTest::newRow("tip of 200 when sent to the tray: 127") << "send tip" << 200 << 127;
        QTest::newRow("tip of 128 at a refresh: 127") << "tip" << 128 << 127;
        QTest::newRow("tip of 127: whole") << "tip" << 127 << 127;
        QTest::newRow("notice text of 300: 255") << "text" << 300 << 255;
        QTest::newRow("notice text of 255: whole") << "text" << 255 << 255;
        QTest::newRow("notice title of 70: 63") << "title" << 70 << 63;
        QTest::newRow("short notice title: whole") << "title" << 9 << 9;
    }

    void textsCutToWhatTheTrayShows()
    {
        QFETCH(QString, field);
        QFETCH(int, length);
        QFETCH(int, shownLength);
        Tray rig;
        rig.controller.sendToTray(field == u"send tip" ? letters(length) : QStringLiteral("monitor off"));
        if (field == u"tip")
            rig.controller.refresh(letters(length));
        const QString old = QStringLiteral("previous text");
        rig.controller.announceDrop(
            field == u"title" ? letters(length) : old, field == u"text" ? letters(length) : old);
        const RecordingTrayIcon::Notice notice = rig.icon.notices.value(0);
        const QString shown = field.endsWith(u"tip") ? rig.icon.shows.constLast().tip
            : field == u"text"                       ? notice.text
                                                     : notice.title;
        QCOMPARE(shown, letters(shownLength));
    }

    // The tray takes a new window icon at its next refresh; a key the images lack changes nothing.
    void setWindowIcon_reachesTrayAtNextRefresh()
    {
        Tray rig;
        rig.controller.setWindowIcon(StatusImages::smallOnline);
        rig.controller.sendToTray(QStringLiteral("tip"));
        rig.controller.setWindowIcon(StatusImages::smallOffline);
        rig.controller.setWindowIcon(QStringLiteral("large_online"));
        QCOMPARE(rig.icon.shows.constLast().status.cacheKey(), rig.images.icon(StatusImages::smallOnline).cacheKey());
        rig.controller.refresh(QStringLiteral("down"));
        const QIcon icon = rig.icon.shows.constLast().status;
        QCOMPARE(icon.pixmap(16, 16).toImage().pixelColor(7, 3), QColor(0xE0, 0, 0)); // red: the line is bad
        QCOMPARE(rig.window.icon.cacheKey(), icon.cacheKey());
    }

    void gestureFor_eachTraysGestures_data()
    {
        using R = QSystemTrayIcon;
        using G = QtTrayIcon::Gesture;
        QTest::addColumn<R::ActivationReason>("reason");
        QTest::addColumn<TrayHost>("host");
        QTest::addColumn<G>("gesture");
        // An embedding tray reports each button; a status tray sends one call per click, which restores.
        QTest::newRow("embedding: a single click does nothing") << R::Trigger << TrayHost::Embedding << G::None;
        QTest::newRow("embedding: a double-click restores") << R::DoubleClick << TrayHost::Embedding << G::Restore;
        QTest::newRow("embedding: a right-click asks for the menu") << R::Context << TrayHost::Embedding << G::Menu;
        QTest::newRow("embedding: a middle click does nothing") << R::MiddleClick << TrayHost::Embedding << G::None;
        QTest::newRow("status tray: a click restores") << R::Trigger << TrayHost::StatusNotifier << G::Restore;
        QTest::newRow("status tray: a menu call asks for the menu")
            << R::Context << TrayHost::StatusNotifier << G::Menu;
        QTest::newRow("status tray: an unknown call does nothing") << R::Unknown << TrayHost::StatusNotifier << G::None;
    }

    void gestureFor_eachTraysGestures()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(TrayHost, host);
        QFETCH(QtTrayIcon::Gesture, gesture);
        QCOMPARE(QtTrayIcon::gestureFor(reason, host), gesture);
    }

    // Without a session bus the tray is an embedding one at once; the toolkit's balloon stands in for
    // the notice, only while the icon shows, and one left unclicked ends in its going.
    void qtTrayIcon_noBus_balloonOnlyWhileShown()
    {
        QtTrayIcon icon;
        QCOMPARE(icon.host(), std::optional(TrayHost::Embedding));
        QSignalSpy gone(&icon, &TrayIcon::noticeGone);
        icon.notifyDrop(QStringLiteral("Linegauge"), QStringLiteral("before the icon shows"));
        icon.show(QIcon(), QStringLiteral("Linegauge (Monitor ON)"));
        QVERIFY(icon.isShown());
        QCOMPARE(icon.toolTip(), QStringLiteral("Linegauge (Monitor ON)"));
        icon.notifyDrop(QStringLiteral("Linegauge"), QStringLiteral("dropped"));
        QVERIFY(gone.wait(10000));
        icon.notifyDrop(QStringLiteral("Linegauge"), QStringLiteral("dropped again"));
        icon.hide();
        QVERIFY(!gone.wait(DesktopNotices::shownMs + 500));
        QCOMPARE(gone.size(), 1);
    }
};

QTEST_MAIN(TestTray)
#include "TestTray.moc"
