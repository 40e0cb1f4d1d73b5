#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayIcon.h"
#include "tray/QtTrayIcon.h"
#include "tray/StatusImages.h"
#include "tray/TrayController.h"
#include "tray/TrayWindow.h"

#include <QHash>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

// The tray handling of a window that only remembers what was done to it, on a tray icon that keeps
// what it was asked to show; a drop notice is out.
struct Tray final : TrayWindow
{
    void setWindowVisible(bool isVisible) override { visible = isVisible; }
    void setWindowMinimised(bool isMinimised) override { minimised = isMinimised; }
    void setWindowIcon(const QIcon& statusIcon) override { windowIcon = statusIcon; }
    void activateWindow() override { ++activations; }

    void act(const QString& step)
    {
        const QHash<QString, std::function<void()>> steps{{u"send"_qs, [this] { controller.sendToTray(u"tip"_qs); }},
            {u"activated"_qs, [this] { controller.restore(); }},
            {u"show item"_qs, [this] { controller.restoreFromMenu(); }},
            {u"menu"_qs, [this] { controller.showMenu(QPoint(300, 740)); }},
            {u"notice gone"_qs, [this] { controller.dropNoticeGone(); }},
            {u"host lost"_qs, [this] { controller.trayLost(); }},
            {u"refresh"_qs, [this] { controller.refresh(u"tip"_qs); }},
            {u"notice"_qs, [this] { controller.announceDrop(u"Linegauge"_qs, u"dropped"_qs); }},
            {u"close"_qs, [this] { controller.removeIcon(); }}, {u"no tray"_qs, [this] { icon.available = false; }}};
        QVERIFY2(steps.contains(step), qPrintable(u"no such step: "_qs + step));
        steps[step]();
    }

    // Where the window is, whether the drop notice is out, how often the icon was shown and hidden,
    // the notices and menus it took, the window's activations and the last status text.
    QString outcome() const
    {
        const bool inTray = !visible && minimised && icon.shown && controller.isInTray();
        const bool shown = visible && !minimised && !icon.shown && !controller.isInTray();
        const QString place = inTray ? u"tray"_qs : shown ? u"window"_qs : u"lost"_qs;
        return QStringList{place, dropNotified ? u"notice"_qs : u"cleared"_qs, QString::number(icon.shows.size()),
            QString::number(icon.hides), QString::number(icon.notices.size()), menus.join(u' '),
            QString::number(activations), statusLine.last()}
            .join(u'|');
    }

    bool visible = true;
    bool minimised = false;
    QIcon windowIcon;
    int activations = 0;
    RecordingTrayIcon icon;
    bool dropNotified = true;
    RecordingStatusLine statusLine;
    QStringList menus;
    StatusImages images;
    TrayController controller{icon, *this, images, statusLine,
        [this](QPoint at) { menus.append(u"%1,%2"_qs.arg(at.x()).arg(at.y())); }, [this] { dropNotified = false; }};
};

// Letters that change at every position, so a cut in the wrong place shows.
QString letters(int count)
{
    return QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(12).left(count);
}

void stepsRow(const char* name, const char* steps, const char* outcome)
{
    QTest::newRow(name) << QString::fromLatin1(steps) << QString::fromLatin1(outcome);
}

} // namespace

// The window must never get lost in the tray; the drop notice clears only when acknowledged; the
// tray shows its texts cut to what the notification area always showed, and reacts to each kind of
// tray's own gestures.
class TestTray : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("outcome");
        stepsRow("activation restores, drop notice stays", "send, activated", "window|notice|1|1|0||0|");
        stepsRow("show item restores, clears the notice", "send, show item", "window|cleared|1|1|0||1|");
        stepsRow("tray lost: the window comes back and says so", "send, host lost",
            "window|notice|1|1|0||0|The system tray closed: the window is back.");
        stepsRow("menu asked for shows the tray menu", "send, menu", "tray|notice|1|0|0|300,740|0|");
        stepsRow("notice gone clears the drop notice", "send, notice gone", "tray|cleared|1|0|0||0|");
        // Each tray act leaves its own mark on the outcome, so one that gets through shows.
        stepsRow("window shown: no tray act reaches anything",
            "activated, host lost, menu, notice gone, refresh, notice", "window|notice|0|0|0||0|");
        // Hiding the window with nowhere to show an icon would leave no way to bring it back.
        stepsRow("no tray: the window stays and says so", "no tray, send",
            "window|notice|0|0|0||0|No system tray available: the window stays open.");
        stepsRow("sent twice: shown once", "send, send", "tray|notice|1|0|0||0|");
        stepsRow("in the tray: refresh and notice reach the icon", "send, refresh, notice", "tray|notice|2|0|1||0|");
        stepsRow("back: nothing more reaches the tray", "send, activated, refresh, notice", "window|notice|1|1|0||0|");
        stepsRow("sent again after coming back: shown again", "send, activated, send", "tray|notice|2|1|0||0|");
        stepsRow("closing takes the icon away", "send, close, refresh", "lost|notice|1|1|0||0|");
    }

    // Only the show item brings the window to the front and clears the notice; nothing reaches the
    // icon or the menu unless the window is in the tray.
    void steps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, outcome);
        Tray rig;
        for (const QString& step : steps.split(u", "_qs))
            rig.act(step);
        QCOMPARE(rig.outcome(), outcome);
    }

    void textsCutToWhatTheTrayShows_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("cuts"); // the tip, the notice title and the notice text
        QTest::newRow("longer than any: each cut") << 300 << QList<int>{127, 63, 255};
        QTest::newRow("as long as a notice text") << 255 << QList<int>{127, 63, 255};
        QTest::newRow("one past a tip") << 128 << QList<int>{127, 63, 128};
        QTest::newRow("as long as a tip") << 127 << QList<int>{127, 63, 127};
        QTest::newRow("one past a notice title") << 64 << QList<int>{64, 63, 64};
        QTest::newRow("short: whole") << 9 << QList<int>{9, 9, 9};
    }

    // Sent to the tray, refreshed there and announced as a drop, each text cut to its own length.
    void textsCutToWhatTheTrayShows()
    {
        QFETCH(int, length);
        QFETCH(QList<int>, cuts);
        Tray rig;
        rig.controller.sendToTray(letters(length));
        rig.controller.refresh(letters(length));
        rig.controller.announceDrop(letters(length), letters(length));
        QCOMPARE((QStringList{rig.icon.shows.value(0).tip, rig.icon.shows.value(1).tip, rig.icon.notices.value(0).title,
                     rig.icon.notices.value(0).text}),
            (QStringList{letters(cuts[0]), letters(cuts[0]), letters(cuts[1]), letters(cuts[2])}));
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
        QCOMPARE(rig.windowIcon.cacheKey(), icon.cacheKey());
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
        QTest::newRow("status tray: a menu call gets the menu") << R::Context << TrayHost::StatusNotifier << G::Menu;
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
