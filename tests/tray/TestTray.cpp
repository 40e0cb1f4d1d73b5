#include "platform/IconRegistry.h"
#include "platform/QtTrayShell.h"
#include "platform/VersionProbe.h"
#include "stats/StatusTexts.h"
#include "support/FakeTrayWindow.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayShell.h"
#include "tray/StatusImages.h"
#include "tray/SysTray.h"
#include "tray/SysTrayNotice.h"
#include "tray/TrayController.h"

#include <QImage>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QtEndian>

namespace {

using Layout = TrayRecordLayout;
using S = TrayShell;
const quint32 nt5 = VersionProbe::pack(5, 0, true);
const quint32 nonNt4_90 = VersionProbe::pack(4, 90, false);
// Letters that change at every position, so a cut in the wrong place shows.
const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(12);
constexpr int Tip = 0, Info = 1, Title = 2;
constexpr int trayLost = -1, showItem = -2, trayButton = -3; // acts beside the shell's event codes

// The tray icon on one shell generation with a shell that records every call, and the tray
// handling of a window that remembers what was done to it; a drop notice is out.
struct Tray
{
    explicit Tray(quint32 version = nt5)
        : probe(version)
    {
        tray.detectShellCapabilities();
    }

    static quint32 longAt(const QByteArray& record, int offset) { return RecordingTrayShell::longAt(record, offset); }
    Layout layout() const { return Layout::of(tray.useUnicode() ? TrayFlavour::Wide : TrayFlavour::Ansi); }

    RecordingTrayShell shell;
    FixedVersionProbe probe;
    FakeTrayWindow window;
    bool dropNotified = true;
    RecordingStatusLine statusLine;
    QList<QPoint> menuPositions;
    StatusImages images;
    SysTray tray{shell, probe};
    TrayController controller{tray, window, images, statusLine, [this](QPoint at) { menuPositions.append(at); },
        [this] { dropNotified = false; }};
};

// A wide record of that size with nothing but the size and the flags filled in.
QByteArray announcing(quint32 size, qsizetype bytes, quint32 flags = 0)
{
    QByteArray record(bytes, '\0');
    qToLittleEndian<quint32>(size, record.data());
    qToLittleEndian<quint32>(flags, record.data() + Layout::uFlags);
    return record;
}

} // namespace

// The icon's record must suit each shell generation, and the shell stand-in read it as far as the shell
// would. The window must never get lost in the tray; the drop notice clears only when acknowledged.
class TestTray : public QObject
{
    Q_OBJECT

    IconRegistry m_icons;

private slots:
    void iconLifecycle_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<TrayFlavour>("flavour");
        QTest::addColumn<quint32>("recordSize");
        QTest::addColumn<int>("tipShown");
        QTest::newRow("5.0 NT: wide, large record, balloons") << nt5 << TrayFlavour::Wide << 936u << 127;
        QTest::newRow("4.0 NT: wide, old record") << VersionProbe::pack(4, 0, true) << TrayFlavour::Wide << 152u << 63;
        QTest::newRow("4.90 non-NT: single-byte, large record") << nonNt4_90 << TrayFlavour::Ansi << 488u << 128;
        QTest::newRow("4.10: single-byte, old record")
            << VersionProbe::pack(4, 10, false) << TrayFlavour::Ansi << 88u << 64;
    }

    // Calls out of turn send nothing; an icon added again shows the window's icon of now, not the one
    // the balloon left in the record. The shell stand-in reads the tip up to the generation's limit.
    void iconLifecycle()
    {
        QFETCH(quint32, version);
        QFETCH(TrayFlavour, flavour);
        QFETCH(quint32, recordSize);
        QFETCH(int, tipShown);
        const Layout layout = Layout::of(flavour);
        const bool balloons = recordSize == quint32(layout.fullSize());
        Tray on(version);
        const QString tip = (flavour == TrayFlavour::Wide ? u"\u0416\u4e2d "_qs : u"Caf\u00e9 \u20ac5 "_qs) + letters;
        on.tray.modifyTrayIcon(on.window, tip);
        on.tray.deleteTrayIcon();
        on.tray.addTrayIcon(on.window, tip);
        on.tray.addTrayIcon(on.window, tip);
        on.tray.showBalloon(QStringLiteral("dropped"), QStringLiteral("Linegauge"), S::NiifWarning, 3000);
        on.tray.deleteTrayIcon();
        on.tray.deleteTrayIcon();
        on.tray.modifyTrayIcon(on.window, tip);
        on.window.iconHandle = 0x7777;
        on.tray.addTrayIcon(on.window, tip);

        const QList<quint32> sent = balloons
            ? QList<quint32>{S::NimAdd, S::NimSetVersion, S::NimModify, S::NimDelete, S::NimAdd, S::NimSetVersion}
            : QList<quint32>{S::NimAdd, S::NimDelete, S::NimAdd};
        QCOMPARE(on.shell.operations(), sent);
        QtTrayShell shell(m_icons);
        for (const RecordingTrayShell::Call& call : std::as_const(on.shell.calls)) {
            QVERIFY(call.flavour == flavour && call.record.size() == layout.fullSize()
                && shell.notifyIcon(call.flavour, call.operation, call.record));
            QCOMPARE(shell.toolTip(), tip.left(tipShown));
        }
        for (const RecordingTrayShell::Call& call : on.shell.calls.last(balloons ? 2 : 1)) {
            QList<quint32> header;
            for (int offset = Layout::cbSize; offset < Layout::szTip; offset += 4)
                header.append(on.longAt(call.record, offset));
            QCOMPARE(header, (QList<quint32>{recordSize, on.window.handle, 1, 7, 0x200, 0x7777}));
            QCOMPARE(on.longAt(call.record, layout.uTimeout()), balloons ? 3u : 0u);
        }
        if (balloons) {
            const QByteArray balloon = on.shell.calls.at(2).record;
            QVERIFY(on.longAt(balloon, Layout::uFlags) == 0x10u && on.longAt(balloon, layout.uTimeout()) == 3000u
                && on.longAt(balloon, layout.dwInfoFlags()) == 2u);
        }
    }

    void textFields_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        const auto wide
            = [](const QString& text) -> QByteArray { return QStringEncoder(QStringEncoder::Utf16LE)(text); };
        QTest::newRow("wide short tip: zeros")
            << nt5 << Tip << u"Caf\u00e9"_qs << wide(u"Caf\u00e9"_qs).leftJustified(256, 0);
        QTest::newRow("wide balloon text: 255, NUL")
            << nt5 << Info << letters << wide(letters.left(255)) + QByteArray(2, 0);
        QTest::newRow("single-byte short tip: NUL, then spaces")
            << nonNt4_90 << Tip << u"Caf\u00e9"_qs << QByteArray("Caf\xe9\0", 5).leftJustified(128, ' ');
        QTest::newRow("single-byte short balloon text: spaces")
            << nonNt4_90 << Info << u"down"_qs << QByteArray("down").leftJustified(256, ' ');
        QTest::newRow("single-byte balloon title: 64, no NUL")
            << nonNt4_90 << Title << letters << letters.left(64).toLatin1();
    }

    // Each text replaces an earlier, different one, so bytes left over from it show.
    void textFields()
    {
        QFETCH(quint32, version);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        Tray on(version);
        const QString old = QStringLiteral("previous text");
        on.tray.addTrayIcon(on.window, old);
        on.tray.showBalloon(old, old, S::NiifWarning, 3000);
        if (field == Tip)
            on.tray.modifyTrayIcon(on.window, text);
        else
            on.tray.showBalloon(field == Info ? text : old, field == Title ? text : old, S::NiifWarning, 3000);
        const int offset = QList<int>{Layout::szTip, on.layout().szInfo(), on.layout().szInfoTitle()}.at(field);
        QCOMPARE(on.shell.calls.constLast().record.mid(offset, expected.size()), expected);
    }

    void notifyIcon_malformedRecordRefused_data()
    {
        QTest::addColumn<TrayFlavour>("flavour");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("shorter than the size field") << TrayFlavour::Wide << QByteArray(3, '\0');
        QTest::newRow("size of no layout") << TrayFlavour::Wide << announcing(100, 936);
        QTest::newRow("fewer bytes than announced") << TrayFlavour::Wide << announcing(936, 500);
        QTest::newRow("wide size on the single-byte call") << TrayFlavour::Ansi << announcing(936, 936);
    }

    void notifyIcon_malformedRecordRefused()
    {
        QFETCH(TrayFlavour, flavour);
        QFETCH(QByteArray, record);
        QtTrayShell shell(m_icons);
        QVERIFY(!shell.notifyIcon(flavour, S::NimAdd, record));
        QVERIFY(!shell.isIconShown());
    }

    // Out of turn a call is refused; an unclicked balloon ends in a time-out the window hears of.
    void notifyIcon_onlyInTurn_balloonTimesOut()
    {
        const QByteArray add = announcing(936, 936, S::NifMessage);
        QtTrayShell shell(m_icons);
        QSignalSpy events(&shell, &TrayShell::trayEvent);
        for (const auto& [operation, accepted] : QList<std::pair<quint32, bool>>{{S::NimModify, false},
                 {S::NimDelete, false}, {S::NimSetVersion, false}, {S::NimAdd, true}, {S::NimAdd, false}, {3, false}})
            QCOMPARE(shell.notifyIcon(TrayFlavour::Wide, operation, add), accepted);
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, S::NimSetVersion, announcing(152, 152)));
        QByteArray balloon = announcing(936, 936, S::NifInfo);
        qToLittleEndian<quint32>(1, balloon.data() + Layout::of(TrayFlavour::Wide).uTimeout());
        QVERIFY(shell.notifyIcon(TrayFlavour::Wide, S::NimModify, balloon));
        QVERIFY(events.wait(10000));
        QCOMPARE(events.first().first().toInt(), int(S::BalloonTimeout));
    }

    // An embedding tray reports each button; a status notifier host sends one call per click, which restores.
    void eventFor_eachHostsGestures()
    {
        using Host = QtTrayShell::HostKind;
        using R = QSystemTrayIcon;
        const QList<std::tuple<R::ActivationReason, Host, int>> gestures{{R::Trigger, Host::Embedding, 0x202},
            {R::DoubleClick, Host::Embedding, 0x203}, {R::Context, Host::Embedding, 0x205},
            {R::MiddleClick, Host::Embedding, 0x208}, {R::Trigger, Host::StatusNotifier, 0x203},
            {R::Context, Host::StatusNotifier, 0x205}, {R::Unknown, Host::StatusNotifier, 0}};
        for (const auto& [reason, host, code] : gestures)
            QCOMPARE(QtTrayShell::eventFor(reason, host), code);
    }

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
        QTest::newRow("show item restores, clears the notice") << showItem << true << true << false << QString();
        QTest::newRow("tray lost: the window comes back and says so") << trayLost << true << true << true << gone;
        QTest::newRow("right button up shows the tray menu") << 0x205 << true << false << true << QString();
        QTest::newRow("balloon timed out clears the drop notice") << 0x404 << true << false << false << QString();
        QTest::newRow("single click does nothing") << 0x202 << true << false << true << QString();
        QTest::newRow("window shown: double-click does nothing") << 0x203 << false << true << true << QString();
        QTest::newRow("window shown: tray lost does nothing") << trayLost << false << true << true << QString();
        // Hiding the window with nowhere to show an icon would leave no way to bring it back.
        QTest::newRow("no tray: the window stays and says so")
            << trayButton << false << true << true << QString::fromLatin1(StatusTexts::noSystemTray);
    }

    void trayAct()
    {
        QFETCH(int, act);
        QFETCH(bool, inTray);
        QFETCH(bool, shown);
        QFETCH(bool, dropNotified);
        QFETCH(QString, says);
        Tray rig;
        if (inTray)
            rig.controller.cmdSysTrayClick(QString());
        QVERIFY(rig.window.visible != inTray && rig.window.minimised == inTray && rig.tray.iconAdded() == inTray);
        rig.shell.calls.clear();
        rig.shell.trayAvailable = inTray;

        if (act == trayLost)
            rig.controller.trayLost();
        else if (act == showItem)
            rig.controller.mnShowClick();
        else if (act == trayButton)
            rig.controller.cmdSysTrayClick(QString());
        else
            rig.controller.trayEvent(act, QPoint(300, 740));

        QVERIFY(rig.window.visible == shown && rig.window.minimised == !shown && rig.tray.iconAdded() == !shown);
        QCOMPARE(rig.shell.operations(), inTray && shown ? QList<quint32>{TrayShell::NimDelete} : QList<quint32>{});
        QCOMPARE(rig.menuPositions, act == 0x205 ? QList<QPoint>{QPoint(300, 740)} : QList<QPoint>{});
        QCOMPARE(rig.dropNotified, dropNotified);
        QCOMPARE(rig.statusLine.last(), says);
        // Only the show item brings the window to the front.
        QCOMPARE(rig.window.activations, act == showItem ? 1 : 0);
    }

    // The tray takes a new window icon at its next modify; a key the images lack changes nothing.
    void setWindowIcon_reachesTrayAtNextModify()
    {
        Tray rig;
        rig.controller.cmdSysTrayClick(QString());
        rig.controller.setWindowIcon(StatusImages::smallOffline);
        rig.controller.setWindowIcon(QStringLiteral("large_online"));
        SysTrayNotice(rig.tray, rig.window).modifyTrayIcon(QStringLiteral("down"));
        const QIcon icon = rig.window.icons.icon(rig.longAt(rig.shell.calls.constLast().record, Layout::hIcon));
        QCOMPARE(icon.pixmap(16, 16).toImage().pixelColor(7, 3), QColor(0xE0, 0, 0)); // red: the line is bad
    }
};

QTEST_MAIN(TestTray)
#include "TestTray.moc"
