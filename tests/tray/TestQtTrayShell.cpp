#include "platform/IconRegistry.h"
#include "platform/QtTrayShell.h"
#include "platform/VersionProbe.h"
#include "support/FakeTrayWindow.h"
#include "support/RecordingTrayShell.h"
#include "tray/SysTray.h"

#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

namespace {

QString textOf(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar(u'A' + i % 26));
    return text;
}

QByteArray announcing(quint32 size, qsizetype bytes)
{
    QByteArray record(bytes, '\0');
    if (bytes >= 4)
        qToLittleEndian<quint32>(size, record.data());
    return record;
}

} // namespace

// The shell stand-in must read a record exactly as far as the shell would, and never past its bytes.
class TestQtTrayShell : public QObject
{
    Q_OBJECT

private slots:
    void decode_readsAsFarAsShell_data();
    void decode_readsAsFarAsShell();
    void decode_malformedRecord_refused_data();
    void decode_malformedRecord_refused();
    void notifyIcon_outOfTurn_refused();
    void balloon_unclicked_reportsTimeout();
    void eventFor_eachHostsGestures_data();
    void eventFor_eachHostsGestures();

private:
    QList<RecordingTrayShell::Call> recordedCalls(quint32 version, const QString& tip);
};

QList<RecordingTrayShell::Call> TestQtTrayShell::recordedCalls(quint32 version, const QString& tip)
{
    RecordingTrayShell recorder;
    FixedVersionProbe probe(version);
    SysTray tray(recorder, probe);
    tray.detectShellCapabilities();
    FakeTrayWindow window;
    tray.addTrayIcon(window, tip);
    tray.showBalloon(QStringLiteral("text"), QStringLiteral("title"), TrayShell::NiifWarning, 1);
    tray.deleteTrayIcon();
    return recorder.calls;
}

void TestQtTrayShell::decode_readsAsFarAsShell_data()
{
    QTest::addColumn<quint32>("version");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("shown");
    const QString tip200 = textOf(200);
    QTest::newRow("old single-byte shell reads 64 characters")
        << VersionProbe::pack(4, 10, false) << tip200 << tip200.left(64);
    QTest::newRow("large single-byte shell reads all 128")
        << VersionProbe::pack(4, 90, false) << tip200 << tip200.left(128);
    QTest::newRow("old wide shell reads 63") << VersionProbe::pack(4, 0, true) << tip200 << tip200.left(63);
    QTest::newRow("large wide shell reads 127") << VersionProbe::pack(5, 0, true) << tip200 << tip200.left(127);
    QTest::newRow("code page characters survive")
        << VersionProbe::pack(4, 90, false) << QStringLiteral("Caf\u00e9 \u20ac5")
        << QStringLiteral("Caf\u00e9 \u20ac5");
    QTest::newRow("wide characters survive")
        << VersionProbe::pack(5, 0, true) << QStringLiteral("\u0416\u4e2d") << QStringLiteral("\u0416\u4e2d");
}

void TestQtTrayShell::decode_readsAsFarAsShell()
{
    QFETCH(quint32, version);
    QFETCH(QString, tip);
    QFETCH(QString, shown);
    const QList<RecordingTrayShell::Call> calls = recordedCalls(version, tip);
    const std::optional<QtTrayShell::Fields> fields = QtTrayShell::decode(calls.first().flavour, calls.first().record);
    QVERIFY(fields);
    QCOMPARE(fields->tip, shown);

    IconRegistry icons;
    QtTrayShell shell(icons);
    for (const RecordingTrayShell::Call& call : calls) {
        QVERIFY(shell.notifyIcon(call.flavour, call.operation, call.record));
        if (call.operation == TrayShell::NimAdd)
            QCOMPARE(shell.toolTip(), shown);
    }
    QVERIFY(!shell.isIconShown());
}

void TestQtTrayShell::decode_malformedRecord_refused_data()
{
    QTest::addColumn<int>("flavour");
    QTest::addColumn<QByteArray>("record");
    QTest::newRow("no bytes") << int(TrayFlavour::Wide) << QByteArray();
    QTest::newRow("shorter than the size field") << int(TrayFlavour::Wide) << QByteArray(3, '\0');
    QTest::newRow("size of no layout") << int(TrayFlavour::Wide) << announcing(100, 936);
    QTest::newRow("fewer bytes than announced") << int(TrayFlavour::Wide) << announcing(936, 500);
    QTest::newRow("wide size on the single-byte call") << int(TrayFlavour::Ansi) << announcing(936, 936);
    QTest::newRow("huge size") << int(TrayFlavour::Wide) << announcing(0xFFFFFFFFu, 936);
}

void TestQtTrayShell::decode_malformedRecord_refused()
{
    QFETCH(int, flavour);
    QFETCH(QByteArray, record);
    QVERIFY(!QtTrayShell::decode(TrayFlavour(flavour), record));
    IconRegistry icons;
    QtTrayShell shell(icons);
    QVERIFY(!shell.notifyIcon(TrayFlavour(flavour), TrayShell::NimAdd, record));
    QVERIFY(!shell.isIconShown());
}

void TestQtTrayShell::notifyIcon_outOfTurn_refused()
{
    const QList<RecordingTrayShell::Call> calls = recordedCalls(VersionProbe::pack(5, 0, true), QStringLiteral("t"));
    const QByteArray record = calls.first().record;
    IconRegistry icons;
    QtTrayShell shell(icons);
    QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimModify, record));
    QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimDelete, record));
    QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimSetVersion, record));
    QVERIFY(shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimAdd, record));
    QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimAdd, record));
    QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, 3, record));

    const QList<RecordingTrayShell::Call> old = recordedCalls(VersionProbe::pack(4, 0, true), QStringLiteral("t"));
    QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimSetVersion, old.first().record));
}

void TestQtTrayShell::balloon_unclicked_reportsTimeout()
{
    const QList<RecordingTrayShell::Call> calls = recordedCalls(VersionProbe::pack(5, 0, true), QStringLiteral("t"));
    IconRegistry icons;
    QtTrayShell shell(icons);
    QSignalSpy events(&shell, &TrayShell::trayEvent);
    QVERIFY(shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimAdd, calls.at(0).record));
    QVERIFY(shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimModify, calls.at(2).record));
    QVERIFY(events.wait(10000));
    QCOMPARE(events.first().first().toInt(), int(TrayShell::BalloonTimeout));
}

void TestQtTrayShell::eventFor_eachHostsGestures_data()
{
    using Host = QtTrayShell::HostKind;
    QTest::addColumn<int>("reason");
    QTest::addColumn<Host>("host");
    QTest::addColumn<int>("code");
    QTest::newRow("embedding: a click is only a click") << int(QSystemTrayIcon::Trigger) << Host::Embedding << 0x202;
    QTest::newRow("embedding: a double-click restores")
        << int(QSystemTrayIcon::DoubleClick) << Host::Embedding << 0x203;
    QTest::newRow("embedding: right button") << int(QSystemTrayIcon::Context) << Host::Embedding << 0x205;
    QTest::newRow("embedding: middle button") << int(QSystemTrayIcon::MiddleClick) << Host::Embedding << 0x208;
    QTest::newRow("status notifier: the click restores")
        << int(QSystemTrayIcon::Trigger) << Host::StatusNotifier << 0x203;
    QTest::newRow("status notifier: context menu") << int(QSystemTrayIcon::Context) << Host::StatusNotifier << 0x205;
    QTest::newRow("unknown reason means nothing") << int(QSystemTrayIcon::Unknown) << Host::StatusNotifier << 0;
}

void TestQtTrayShell::eventFor_eachHostsGestures()
{
    QFETCH(int, reason);
    QFETCH(QtTrayShell::HostKind, host);
    QFETCH(int, code);
    QCOMPARE(QtTrayShell::eventFor(QSystemTrayIcon::ActivationReason(reason), host), code);
}

QTEST_MAIN(TestQtTrayShell)
#include "TestQtTrayShell.moc"
