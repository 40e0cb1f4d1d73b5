#include "platform/VersionProbe.h"
#include "support/FakeTrayWindow.h"
#include "support/RecordingTrayShell.h"
#include "tray/SysTray.h"

#include <QTest>

#include <memory>

namespace {

using Layout = TrayRecordLayout;

const quint32 win2000 = VersionProbe::pack(5, 0, true);
const quint32 nt4 = VersionProbe::pack(4, 0, true);
const quint32 winMe = VersionProbe::pack(4, 90, false);
const quint32 win98 = VersionProbe::pack(4, 10, false);

// Letters that change at every position, so a cut in the wrong place shows.
QString textOf(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar(u'a' + i % 26));
    return text;
}

QByteArray wideBytes(const QString& text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

QByteArray padded(QByteArray bytes, int size, char fill)
{
    return bytes.append(QByteArray(size - bytes.size(), fill));
}

enum Field
{
    Tip,
    Info,
    Title,
};

} // namespace

// The tray icon must come out right on every shell generation: the call flavour, the record size
// and the text limits all change with the system version.
class TestSysTray : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void addTrayIcon_matchesShellGeneration_data();
    void addTrayIcon_matchesShellGeneration();
    void textFields_cutToShellLimits_data();
    void textFields_cutToShellLimits();
    void copyTextToField_leavesBytesBeyondRange();
    void operationsOutOfTurn_sendNothing();
    void deleteAndReAdd_showsCurrentIconAndNewTip();

private:
    void detect(quint32 version);

    RecordingTrayShell m_shell;
    FakeTrayWindow m_window;
    std::unique_ptr<FixedVersionProbe> m_probe;
    std::unique_ptr<SysTray> m_tray;
};

void TestSysTray::init()
{
    m_shell.calls.clear();
    m_window = {};
    m_tray.reset();
}

void TestSysTray::detect(quint32 version)
{
    m_probe = std::make_unique<FixedVersionProbe>(version);
    m_tray = std::make_unique<SysTray>(m_shell, *m_probe);
    m_tray->detectShellCapabilities();
}

void TestSysTray::addTrayIcon_matchesShellGeneration_data()
{
    QTest::addColumn<quint32>("version");
    QTest::addColumn<bool>("wide");
    QTest::addColumn<quint32>("recordSize");
    QTest::addColumn<bool>("balloons");
    QTest::newRow("5.0 NT: wide, large record, balloons") << win2000 << true << 936u << true;
    QTest::newRow("4.0 NT: wide, old record, no balloons") << nt4 << true << 152u << false;
    QTest::newRow("4.90 non-NT: single-byte, large record, balloons") << winMe << false << 488u << true;
    QTest::newRow("4.10 non-NT: single-byte, old record, no balloons") << win98 << false << 88u << false;
    QTest::newRow("current NT desktop: as 5.0") << SystemVersionProbe().version() << true << 936u << true;
}

void TestSysTray::addTrayIcon_matchesShellGeneration()
{
    QFETCH(quint32, version);
    QFETCH(bool, wide);
    QFETCH(quint32, recordSize);
    QFETCH(bool, balloons);
    detect(version);
    m_tray->addTrayIcon(m_window, QStringLiteral("tip"));

    const QList<quint32> expected
        = balloons ? QList<quint32>{TrayShell::NimAdd, TrayShell::NimSetVersion} : QList<quint32>{TrayShell::NimAdd};
    QCOMPARE(m_shell.operations(), expected);
    QVERIFY(m_tray->iconAdded());
    const Layout layout = Layout::of(wide ? TrayFlavour::Wide : TrayFlavour::Ansi);
    for (const RecordingTrayShell::Call& call : std::as_const(m_shell.calls)) {
        QCOMPARE(call.flavour, wide ? TrayFlavour::Wide : TrayFlavour::Ansi);
        QCOMPARE(call.record.size(), layout.fullSize());
        QCOMPARE(RecordingTrayShell::longAt(call.record, Layout::cbSize), recordSize);
        QCOMPARE(RecordingTrayShell::longAt(call.record, Layout::hWnd), m_window.handle);
        QCOMPARE(RecordingTrayShell::longAt(call.record, Layout::uID), 1u);
        QCOMPARE(RecordingTrayShell::longAt(call.record, Layout::uFlags), 7u);
        QCOMPARE(RecordingTrayShell::longAt(call.record, Layout::uCallbackMessage), 0x200u);
        QCOMPARE(RecordingTrayShell::longAt(call.record, Layout::hIcon), m_window.iconHandle);
        QCOMPARE(RecordingTrayShell::longAt(call.record, layout.uTimeout()), balloons ? 3u : 0u);
    }

    m_shell.calls.clear();
    m_tray->showBalloon(QStringLiteral("dropped"), QStringLiteral("Linegauge"), TrayShell::NiifWarning, 3000);
    QCOMPARE(m_shell.calls.size(), balloons ? 1 : 0);
    if (!balloons)
        return;
    const QByteArray& record = m_shell.lastRecord();
    QCOMPARE(m_shell.calls.constLast().operation, quint32(TrayShell::NimModify));
    QCOMPARE(RecordingTrayShell::longAt(record, Layout::uFlags), 0x10u);
    QCOMPARE(RecordingTrayShell::longAt(record, layout.uTimeout()), 3000u);
    QCOMPARE(RecordingTrayShell::longAt(record, layout.dwInfoFlags()), 2u);
}

void TestSysTray::textFields_cutToShellLimits_data()
{
    QTest::addColumn<quint32>("version");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    const QString tip200 = textOf(200);
    const QString text300 = textOf(300);
    const QString title70 = textOf(70);
    const QByteArray nul2(2, '\0');
    QTest::newRow("wide tip of 200 on a balloon shell keeps 127")
        << win2000 << int(Tip) << tip200 << wideBytes(tip200.left(127)) + nul2;
    QTest::newRow("wide tip of 200 on an old shell keeps 63")
        << nt4 << int(Tip) << tip200 << wideBytes(tip200.left(63)) + nul2;
    QTest::newRow("wide short tip ends in zeros")
        << win2000 << int(Tip) << QStringLiteral("Linegauge") << padded(wideBytes(u"Linegauge"_qs), 256, '\0');
    QTest::newRow("wide balloon text of 300 keeps 255")
        << win2000 << int(Info) << text300 << wideBytes(text300.left(255)) + nul2;
    QTest::newRow("wide balloon title of 70 keeps 63")
        << win2000 << int(Title) << title70 << wideBytes(title70.left(63)) + nul2;
    QTest::newRow("single-byte tip of 200 fills all 128") << winMe << int(Tip) << tip200 << tip200.left(128).toLatin1();
    QTest::newRow("single-byte tip of 200 on an old shell still fills 128")
        << win98 << int(Tip) << tip200 << tip200.left(128).toLatin1();
    QTest::newRow("single-byte short tip: NUL, then spaces")
        << winMe << int(Tip) << QStringLiteral("Caf\u00e9") << padded(QByteArray("Caf\xe9\0", 5), 128, ' ');
    QTest::newRow("single-byte balloon text of 300 keeps 256, no NUL")
        << winMe << int(Info) << text300 << text300.left(256).toLatin1();
    QTest::newRow("single-byte short balloon text padded with spaces")
        << winMe << int(Info) << QStringLiteral("down") << padded("down", 256, ' ');
    QTest::newRow("single-byte balloon title of 70 keeps 64")
        << winMe << int(Title) << title70 << title70.left(64).toLatin1();
    QTest::newRow("wide empty tip") << win2000 << int(Tip) << QString() << QByteArray(256, '\0');
    QTest::newRow("wide empty balloon text") << win2000 << int(Info) << QString() << QByteArray(512, '\0');
    QTest::newRow("wide empty balloon title") << win2000 << int(Title) << QString() << QByteArray(128, '\0');
    QTest::newRow("single-byte empty tip") << winMe << int(Tip) << QString() << padded(QByteArray(1, '\0'), 128, ' ');
    QTest::newRow("single-byte empty balloon text") << winMe << int(Info) << QString() << QByteArray(256, ' ');
}

// Each text replaces an earlier, different one, so bytes left over from it show.
void TestSysTray::textFields_cutToShellLimits()
{
    QFETCH(quint32, version);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    detect(version);
    const QString old = QStringLiteral("previous text");
    m_tray->addTrayIcon(m_window, old);
    m_tray->showBalloon(old, old, TrayShell::NiifWarning, 3000);
    if (field == Tip)
        m_tray->modifyTrayIcon(m_window, text);
    else
        m_tray->showBalloon(field == Info ? text : old, field == Title ? text : old, TrayShell::NiifWarning, 3000);

    const Layout layout = Layout::of(m_tray->useUnicode() ? TrayFlavour::Wide : TrayFlavour::Ansi);
    const int offset = field == Tip ? Layout::szTip : field == Info ? layout.szInfo() : layout.szInfoTitle();
    QCOMPARE(m_shell.lastRecord().mid(offset, expected.size()), expected);
}

void TestSysTray::copyTextToField_leavesBytesBeyondRange()
{
    std::array<quint8, 12> field{};
    field.fill(0xAA);
    SysTray::copyTextToField(QStringLiteral("abcdef"), field, 8);
    const std::array<quint8, 12> expected{'a', 0, 'b', 0, 'c', 0, 0, 0, 0xAA, 0xAA, 0xAA, 0xAA};
    QCOMPARE(field, expected);
}

void TestSysTray::operationsOutOfTurn_sendNothing()
{
    detect(win2000);
    m_tray->modifyTrayIcon(m_window, QStringLiteral("tip"));
    m_tray->deleteTrayIcon();
    QVERIFY(m_shell.calls.isEmpty());
    QVERIFY(!m_tray->iconAdded());

    m_tray->addTrayIcon(m_window, QStringLiteral("tip"));
    m_tray->addTrayIcon(m_window, QStringLiteral("second"));
    QCOMPARE(m_shell.calls.size(), 2);

    m_tray->deleteTrayIcon();
    m_tray->deleteTrayIcon();
    m_tray->modifyTrayIcon(m_window, QStringLiteral("after delete"));
    QCOMPARE(m_shell.operations().constLast(), quint32(TrayShell::NimDelete));
    QCOMPARE(m_shell.calls.size(), 3);
}

void TestSysTray::deleteAndReAdd_showsCurrentIconAndNewTip()
{
    detect(win2000);
    m_tray->addTrayIcon(m_window, QStringLiteral("first tip"));
    m_tray->showBalloon(QStringLiteral("dropped"), QStringLiteral("Linegauge"), TrayShell::NiifWarning, 3000);
    m_tray->deleteTrayIcon();
    QCOMPARE(RecordingTrayShell::longAt(m_shell.lastRecord(), Layout::uFlags), 0x10u);

    m_window.iconHandle = 0x7777;
    m_tray->addTrayIcon(m_window, QStringLiteral("second"));
    const QByteArray record = m_shell.calls.at(m_shell.calls.size() - 2).record;
    QCOMPARE(m_shell.calls.at(m_shell.calls.size() - 2).operation, quint32(TrayShell::NimAdd));
    QCOMPARE(RecordingTrayShell::longAt(record, Layout::uFlags), 7u);
    QCOMPARE(RecordingTrayShell::longAt(record, Layout::hIcon), 0x7777u);
    QCOMPARE(RecordingTrayShell::longAt(record, Layout::of(TrayFlavour::Wide).uTimeout()), 3u);
    QCOMPARE(record.mid(Layout::szTip, 14), padded(wideBytes(u"second"_qs), 14, '\0'));
}

QTEST_GUILESS_MAIN(TestSysTray)
#include "TestSysTray.moc"
