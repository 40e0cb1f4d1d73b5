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

const quint32 win2000 = VersionProbe::pack(5, 0, true);

// The records the tray sends on one shell generation for an add, a balloon and a delete.
QList<RecordingTrayShell::Call> recordedCalls(quint32 version, const QString& tip = QStringLiteral("t"))
{
    RecordingTrayShell recorder;
    const FixedVersionProbe probe(version);
    SysTray tray(recorder, probe);
    tray.detectShellCapabilities();
    const FakeTrayWindow window;
    tray.addTrayIcon(window, tip);
    tray.showBalloon(QStringLiteral("text"), QStringLiteral("title"), TrayShell::NiifWarning, 1);
    tray.deleteTrayIcon();
    return recorder.calls;
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

    IconRegistry m_icons;

private slots:
    void decode_readsAsFarAsShell_data()
    {
        QTest::addColumn<quint32>("version");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("shown");
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ").repeated(8);
        const QString cafe = QStringLiteral("Caf\u00e9 \u20ac5");
        const QString cyrillicHan = QStringLiteral("\u0416\u4e2d");
        QTest::newRow("old single-byte shell reads 64")
            << VersionProbe::pack(4, 10, false) << letters << letters.left(64);
        QTest::newRow("large single-byte shell reads 128")
            << VersionProbe::pack(4, 90, false) << letters << letters.left(128);
        QTest::newRow("old wide shell reads 63") << VersionProbe::pack(4, 0, true) << letters << letters.left(63);
        QTest::newRow("large wide shell reads 127") << win2000 << letters << letters.left(127);
        QTest::newRow("code page characters survive") << VersionProbe::pack(4, 90, false) << cafe << cafe;
        QTest::newRow("wide characters survive") << win2000 << cyrillicHan << cyrillicHan;
    }

    void decode_readsAsFarAsShell()
    {
        QFETCH(quint32, version);
        QFETCH(QString, tip);
        QFETCH(QString, shown);
        const QList<RecordingTrayShell::Call> calls = recordedCalls(version, tip);
        const std::optional<QtTrayShell::Fields> fields
            = QtTrayShell::decode(calls.first().flavour, calls.first().record);
        QVERIFY(fields);
        QCOMPARE(fields->tip, shown);

        QtTrayShell shell(m_icons);
        for (const RecordingTrayShell::Call& call : calls) {
            QVERIFY(shell.notifyIcon(call.flavour, call.operation, call.record));
            if (call.operation == TrayShell::NimAdd)
                QCOMPARE(shell.toolTip(), shown);
        }
        QVERIFY(!shell.isIconShown());
    }

    void decode_malformedRecord_refused_data()
    {
        QTest::addColumn<TrayFlavour>("flavour");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("no bytes") << TrayFlavour::Wide << QByteArray();
        QTest::newRow("shorter than the size field") << TrayFlavour::Wide << QByteArray(3, '\0');
        QTest::newRow("size of no layout") << TrayFlavour::Wide << announcing(100, 936);
        QTest::newRow("fewer bytes than announced") << TrayFlavour::Wide << announcing(936, 500);
        QTest::newRow("wide size on the single-byte call") << TrayFlavour::Ansi << announcing(936, 936);
        QTest::newRow("huge size") << TrayFlavour::Wide << announcing(0xFFFFFFFFu, 936);
    }

    void decode_malformedRecord_refused()
    {
        QFETCH(TrayFlavour, flavour);
        QFETCH(QByteArray, record);
        QVERIFY(!QtTrayShell::decode(flavour, record));
        QtTrayShell shell(m_icons);
        QVERIFY(!shell.notifyIcon(flavour, TrayShell::NimAdd, record));
        QVERIFY(!shell.isIconShown());
    }

    // Out of turn a call is refused; an unclicked balloon ends in a time-out the window hears of.
    void notifyIcon_onlyInTurn_balloonTimesOut()
    {
        const QList<RecordingTrayShell::Call> calls = recordedCalls(win2000);
        const QByteArray add = calls.first().record;
        QtTrayShell shell(m_icons);
        QSignalSpy events(&shell, &TrayShell::trayEvent);
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimModify, add));
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimDelete, add));
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimSetVersion, add));
        QVERIFY(shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimAdd, add));
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimAdd, add));
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, 3, add));
        const QByteArray oldAdd = recordedCalls(VersionProbe::pack(4, 0, true)).first().record;
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimSetVersion, oldAdd));

        QVERIFY(shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimModify, calls.at(2).record));
        QVERIFY(events.wait(10000));
        QCOMPARE(events.first().first().toInt(), int(TrayShell::BalloonTimeout));
    }

    void eventFor_eachHostsGestures_data()
    {
        using Host = QtTrayShell::HostKind;
        QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
        QTest::addColumn<Host>("host");
        QTest::addColumn<int>("code");
        QTest::newRow("embedding: a click is only a click") << QSystemTrayIcon::Trigger << Host::Embedding << 0x202;
        QTest::newRow("embedding: a double-click restores") << QSystemTrayIcon::DoubleClick << Host::Embedding << 0x203;
        QTest::newRow("embedding: right button") << QSystemTrayIcon::Context << Host::Embedding << 0x205;
        QTest::newRow("embedding: middle button") << QSystemTrayIcon::MiddleClick << Host::Embedding << 0x208;
        QTest::newRow("status notifier: the click restores")
            << QSystemTrayIcon::Trigger << Host::StatusNotifier << 0x203;
        QTest::newRow("status notifier: context menu") << QSystemTrayIcon::Context << Host::StatusNotifier << 0x205;
        QTest::newRow("unknown reason means nothing") << QSystemTrayIcon::Unknown << Host::StatusNotifier << 0;
    }

    void eventFor_eachHostsGestures()
    {
        QFETCH(QSystemTrayIcon::ActivationReason, reason);
        QFETCH(QtTrayShell::HostKind, host);
        QFETCH(int, code);
        QCOMPARE(QtTrayShell::eventFor(reason, host), code);
    }
};

QTEST_MAIN(TestQtTrayShell)
#include "TestQtTrayShell.moc"
