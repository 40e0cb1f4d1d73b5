#include "platform/IconRegistry.h"
#include "platform/QtTrayShell.h"

#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

namespace {

// A wide record of that size with nothing but the size and the flags filled in.
QByteArray announcing(quint32 size, qsizetype bytes, quint32 flags = 0)
{
    QByteArray record(bytes, '\0');
    if (bytes >= TrayRecordLayout::szTip) {
        qToLittleEndian<quint32>(size, record.data());
        qToLittleEndian<quint32>(flags, record.data() + TrayRecordLayout::uFlags);
    }
    return record;
}

} // namespace

// The shell stand-in must read a record exactly as far as the shell would, and never past its bytes.
class TestQtTrayShell : public QObject
{
    Q_OBJECT

    IconRegistry m_icons;

private slots:
    void notifyIcon_malformedRecordRefused_data()
    {
        QTest::addColumn<TrayFlavour>("flavour");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("shorter than the size field") << TrayFlavour::Wide << QByteArray(3, '\0');
        QTest::newRow("size of no layout") << TrayFlavour::Wide << announcing(100, 936);
        QTest::newRow("huge size") << TrayFlavour::Wide << announcing(0xFFFFFFFFu, 936);
        QTest::newRow("fewer bytes than announced") << TrayFlavour::Wide << announcing(936, 500);
        QTest::newRow("wide size on the single-byte call") << TrayFlavour::Ansi << announcing(936, 936);
    }

    void notifyIcon_malformedRecordRefused()
    {
        QFETCH(TrayFlavour, flavour);
        QFETCH(QByteArray, record);
        QtTrayShell shell(m_icons);
        QVERIFY(!shell.notifyIcon(flavour, TrayShell::NimAdd, record));
        QVERIFY(!shell.isIconShown());
    }

    // Out of turn a call is refused; an unclicked balloon ends in a time-out the window hears of.
    void notifyIcon_onlyInTurn_balloonTimesOut()
    {
        const QByteArray add = announcing(936, 936, TrayShell::NifMessage);
        QtTrayShell shell(m_icons);
        QSignalSpy events(&shell, &TrayShell::trayEvent);
        for (const quint32 operation : {TrayShell::NimModify, TrayShell::NimDelete, TrayShell::NimSetVersion})
            QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, operation, add));
        QVERIFY(shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimAdd, add));
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimAdd, add));
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, 3, add));
        QVERIFY(!shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimSetVersion, announcing(152, 152)));
        QByteArray balloon = announcing(936, 936, TrayShell::NifInfo);
        qToLittleEndian<quint32>(1, balloon.data() + TrayRecordLayout::of(TrayFlavour::Wide).uTimeout());
        QVERIFY(shell.notifyIcon(TrayFlavour::Wide, TrayShell::NimModify, balloon));
        QVERIFY(events.wait(10000));
        QCOMPARE(events.first().first().toInt(), int(TrayShell::BalloonTimeout));
    }

    // An embedding tray reports each button, and its double-click restores; a status notifier host
    // sends one call per click, and that click restores.
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
};

QTEST_MAIN(TestQtTrayShell)
#include "TestQtTrayShell.moc"
