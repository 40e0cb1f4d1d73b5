#include "platform/IconRegistry.h"
#include "platform/QtTrayShell.h"
#include "platform/VersionProbe.h"
#include "support/FakeTrayWindow.h"
#include "support/RecordingTrayShell.h"
#include "tray/SysTray.h"

#include <QTest>
#include <QtEndian>

namespace {

using Layout = TrayRecordLayout;
const quint32 win2000 = VersionProbe::pack(5, 0, true);
const quint32 winMe = VersionProbe::pack(4, 90, false);
const quint32 win98 = VersionProbe::pack(4, 10, false);
// Letters that change at every position, so a cut in the wrong place shows.
const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz").repeated(12);
constexpr int Tip = 0, Info = 1, Title = 2;

QByteArray wide(const QString& text)
{
    QByteArray bytes(text.size() * 2, '\0');
    qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

// The tray icon on one shell generation, with a shell that records every call.
struct Generation
{
    explicit Generation(quint32 version)
        : probe(version)
        , tray(shell, probe)
    {
        tray.detectShellCapabilities();
    }

    RecordingTrayShell shell;
    FakeTrayWindow window;
    FixedVersionProbe probe;
    SysTray tray;
};

} // namespace

// The tray icon must come out right on every shell generation: the call flavour, the record size
// and the text limits all change with the system version.
class TestSysTray : public QObject
{
    Q_OBJECT

private slots:
    void iconLifecycle_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<TrayFlavour>("flavour");
        QTest::addColumn<quint32>("recordSize");
        QTest::addColumn<int>("tipShown");
        QTest::newRow("5.0 NT: wide, large record, balloons") << win2000 << TrayFlavour::Wide << 936u << 127;
        QTest::newRow("4.0 NT: wide, old record") << VersionProbe::pack(4, 0, true) << TrayFlavour::Wide << 152u << 63;
        QTest::newRow("4.90 non-NT: single-byte, large record") << winMe << TrayFlavour::Ansi << 488u << 128;
        QTest::newRow("4.10 non-NT: single-byte, old record") << win98 << TrayFlavour::Ansi << 88u << 64;
        QTest::newRow("this desktop: as 5.0") << SystemVersionProbe().version() << TrayFlavour::Wide << 936u << 127;
    }

    // Calls out of turn send nothing, and an icon added again shows the window's icon of now, not what
    // the balloon before left in the record. The shell stand-in reads each record as far as the shell
    // would: the tip up to the generation's limit, in the code page or in UTF-16.
    void iconLifecycle()
    {
        QFETCH(quint32, version);
        QFETCH(TrayFlavour, flavour);
        QFETCH(quint32, recordSize);
        QFETCH(int, tipShown);
        const Layout layout = Layout::of(flavour);
        const bool balloons = recordSize == quint32(layout.fullSize());
        Generation on(version);
        const QString tip = (flavour == TrayFlavour::Wide ? u"\u0416\u4e2d "_qs : u"Caf\u00e9 \u20ac5 "_qs) + letters;
        on.tray.modifyTrayIcon(on.window, tip);
        on.tray.deleteTrayIcon();
        on.tray.addTrayIcon(on.window, tip);
        on.tray.addTrayIcon(on.window, tip);
        on.tray.showBalloon(QStringLiteral("dropped"), QStringLiteral("Linegauge"), TrayShell::NiifWarning, 3000);
        on.tray.deleteTrayIcon();
        on.tray.deleteTrayIcon();
        on.tray.modifyTrayIcon(on.window, tip);
        on.window.iconHandle = 0x7777;
        on.tray.addTrayIcon(on.window, tip);

        using S = TrayShell;
        const QList<quint32> sent = balloons
            ? QList<quint32>{S::NimAdd, S::NimSetVersion, S::NimModify, S::NimDelete, S::NimAdd, S::NimSetVersion}
            : QList<quint32>{S::NimAdd, S::NimDelete, S::NimAdd};
        QCOMPARE(on.shell.operations(), sent);
        IconRegistry icons;
        QtTrayShell shell(icons);
        for (const RecordingTrayShell::Call& call : std::as_const(on.shell.calls)) {
            QCOMPARE(call.flavour, flavour);
            QCOMPARE(call.record.size(), layout.fullSize());
            QVERIFY(shell.notifyIcon(call.flavour, call.operation, call.record));
            QCOMPARE(shell.toolTip(), tip.left(tipShown));
        }
        for (const RecordingTrayShell::Call& call : on.shell.calls.last(balloons ? 2 : 1)) {
            QList<quint32> header;
            for (int offset = Layout::cbSize; offset < Layout::szTip; offset += 4)
                header.append(RecordingTrayShell::longAt(call.record, offset));
            QCOMPARE(header, (QList<quint32>{recordSize, on.window.handle, 1, 7, 0x200, 0x7777}));
            QCOMPARE(RecordingTrayShell::longAt(call.record, layout.uTimeout()), balloons ? 3u : 0u);
        }
        if (balloons) {
            const QByteArray& balloon = on.shell.calls.at(2).record;
            QCOMPARE(RecordingTrayShell::longAt(balloon, Layout::uFlags), 0x10u);
            QCOMPARE(RecordingTrayShell::longAt(balloon, layout.uTimeout()), 3000u);
            QCOMPARE(RecordingTrayShell::longAt(balloon, layout.dwInfoFlags()), 2u);
        }
    }

    void textFields_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("expected");
        const QString cafe = QStringLiteral("Caf\u00e9");
        QTest::newRow("wide short tip: zeros") << win2000 << Tip << cafe << wide(cafe).leftJustified(256, '\0');
        QTest::newRow("wide balloon text: 255, NUL")
            << win2000 << Info << letters << wide(letters.left(255)) + QByteArray(2, 0);
        QTest::newRow("single-byte short tip: NUL, then spaces")
            << winMe << Tip << cafe << QByteArray("Caf\xe9\0", 5).leftJustified(128, ' ');
        QTest::newRow("single-byte short balloon text: spaces")
            << winMe << Info << QStringLiteral("down") << QByteArray("down").leftJustified(256, ' ');
        QTest::newRow("single-byte balloon title: 64, no NUL")
            << winMe << Title << letters << letters.left(64).toLatin1();
    }

    // Each text replaces an earlier, different one, so bytes left over from it show.
    void textFields()
    {
        QFETCH(quint32, version);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QByteArray, expected);
        Generation on(version);
        const QString old = QStringLiteral("previous text");
        on.tray.addTrayIcon(on.window, old);
        on.tray.showBalloon(old, old, TrayShell::NiifWarning, 3000);
        if (field == Tip)
            on.tray.modifyTrayIcon(on.window, text);
        else
            on.tray.showBalloon(field == Info ? text : old, field == Title ? text : old, TrayShell::NiifWarning, 3000);
        const Layout layout = Layout::of(on.tray.useUnicode() ? TrayFlavour::Wide : TrayFlavour::Ansi);
        const int offset = QList<int>{Layout::szTip, layout.szInfo(), layout.szInfoTitle()}.at(field);
        QCOMPARE(on.shell.lastRecord().mid(offset, expected.size()), expected);
    }
};

QTEST_MAIN(TestSysTray)
#include "TestSysTray.moc"
