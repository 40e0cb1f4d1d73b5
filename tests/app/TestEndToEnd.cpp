// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "support/ProgramRig.h"

#include <QTemporaryDir>

namespace {

const QStringList values{"--values", "12.5,10.0,30.0,20.0"};
const QByteArray loggedValues = "12.5,10.0,30.0,20.0";

} // namespace

// The program driven through its window against the router simulator on loopback.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void timedCaptures_writeOneLineEach();
    void dropWhileInTray_raisesOneBalloon();
    void settings_surviveCloseAndRestart();
    void zeroIntervalAfterHangingTest_capturesAtOnceAndOncePerTick();
};

// A CSV file the last run left cut mid-line keeps its piece, and the captures start a new line.
void TestEndToEnd::timedCaptures_writeOneLineEach()
{
    QTemporaryDir folder;
    const QString csvPath = folder.filePath(QStringLiteral("stats.csv"));
    QVERIFY(writeFile(csvPath, csvHeader + "05/03/2026,07:0"));
    ProgramRig program(folder.path());
    QCOMPARE(program.status(), QStringLiteral("Ready"));
    QCOMPARE(program.window.windowTitle(), QStringLiteral("Linegauge by Orvell - 1.0.3"));
    QCOMPARE(program.controller.state().trayTip, QStringLiteral("Linegauge (Monitor OFF)"));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("settings.ini"))));
    QVERIFY(program.serve(values));
    // Test captures show values but never write the CSV file; "Test Page" parses the page-text box.
    program.ui().cmdTestPage->click();
    QCOMPARE(program.status(), QStringLiteral("No test HTML page found"));
    program.ui().txtDebug->setPlainText(QStringLiteral("var st_up_snr_margin = \"NA\";\n"));
    program.ui().cmdTestPage->click();
    QCOMPARE(program.ui().lblStats_1->text(), QStringLiteral("NA"));
    program.ui().cmdTest->click();
    QVERIFY(program.waitForCaptures(3));
    QCOMPARE(program.status(), QStringLiteral("Displaying stats"));
    QCOMPARE(program.ui().lblStats_2->text(), QStringLiteral("30.0"));

    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(4));
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(program.ui().lblCount->text(), QStringLiteral("Next capture: 00:01:00"));
    QVERIFY(!program.ui().fraOptions->isEnabled());
    QVERIFY(program.captureOnce());

    program.ui().cmdTimer->click();
    QCOMPARE(program.status(), QStringLiteral("Stopped Monitoring"));
    QVERIFY(program.ui().lblCount->isHidden());
    QCOMPARE(fileBytes(csvPath), csvHeader + "05/03/2026,07:0\r\n" + csvLine(loggedValues) + csvLine(loggedValues));
    QCOMPARE(program.ui().lblMin_0->text(), QStringLiteral("12.5"));
    QCOMPARE(program.ui().lblMax_3->text(), QStringLiteral("20.0"));
    // Without auto range the graph keeps its range.
    QCOMPARE(program.controller.graph().graphMax, GraphState::defaultGraphMax);
}

void TestEndToEnd::dropWhileInTray_raisesOneBalloon()
{
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    // Captures go up, down, down: one drop.
    QVERIFY(program.serve(values + QStringList{"--drop-every", "3", "--drop-length", "2"}));
    program.ui().chkUseBalloons->setChecked(true);
    program.ui().chkSave->setChecked(false);
    program.ui().cmdSysTray->click();
    QVERIFY(program.window.isHidden());

    program.controller.cmdTimerClick();
    QVERIFY(program.waitForCaptures(1));
    for (int capture = 2; capture <= 4; ++capture)
        QVERIFY(program.captureOnce());
    QCOMPARE(program.balloons(), 1);
    QVERIFY(program.controller.state().dropNotified);
    QVERIFY(program.ui().lblLastDrop->text().startsWith(QStringLiteral("Last connection drop: ")));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("stats.csv"))));
}

void TestEndToEnd::settings_surviveCloseAndRestart()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.ini"));
    const QByteArray tweaks = "; tuned by hand\r\n[Tweaks]\r\nSNR threshold=4.5\r\nStats page=/status.htm\r\n";
    QVERIFY(writeFile(path, "[Options]\r\nRouter IP=127.0.0.1\r\nMarkers=True\r\n" + tweaks));
    {
        ProgramRig program(folder.path());
        QCOMPARE(program.ui().txtIP->text(), QStringLiteral("127.0.0.1"));
        QVERIFY(program.window.mnMarkers()->isChecked());
        QCOMPARE(program.controller.state().snrThreshold, 4.5f);
        program.ui().txtUser->setText(QStringLiteral("operator"));
        program.ui().txtPass->setText(QStringLiteral("secret"));
        program.window.close();
    }
    const QByteArray saved = fileBytes(path);
    QVERIFY(saved.contains(tweaks));
    ProgramRig restarted(folder.path());
    QCOMPARE(restarted.ui().txtUser->text(), QStringLiteral("operator"));
    QCOMPARE(restarted.ui().txtPass->text(), QStringLiteral("secret"));
    QCOMPARE(restarted.controller.state().statsPage, QStringLiteral("/status.htm"));
    restarted.window.close();
    QCOMPARE(fileBytes(path), saved);
}

void TestEndToEnd::zeroIntervalAfterHangingTest_capturesAtOnceAndOncePerTick()
{
    // Without an interval in the settings file the box stays empty: an interval of 0.
    QTemporaryDir folder;
    QVERIFY(writeFile(folder.filePath(QStringLiteral("settings.ini")),
        "[Options]\r\nOutput filename=stats.csv\r\n[Tweaks]\r\nAuto Range=true\r\n"));
    ProgramRig program(folder.path());
    QCOMPARE(program.ui().txtInt->text(), QString());
    QVERIFY(program.serve({"--fault", "hang"}));
    program.ui().cmdTest->click();
    QTest::qWait(200);
    QVERIFY(program.controller.isCapturing());
    // No second capture starts while one waits.
    program.ui().txtDebug->setPlainText(QStringLiteral("var st_dw_snr_margin = \"9.5\";\n"));
    program.ui().cmdTestPage->click();
    QCOMPARE(program.ui().lblStats_0->text(), QString());

    // Monitoring started while the test fetch still waits captures at once.
    QVERIFY(program.serve(values));
    program.ui().cmdTimer->click();
    QVERIFY(QTest::qWaitFor([&] { return program.status() == QLatin1String("Monitoring"); }, 3000));
    QCOMPARE(program.ui().lblStats_0->text(), QStringLiteral("12.5"));
    QCOMPARE(program.controller.graph().graphMax, 30.0f);
    QCOMPARE(fileBytes(folder.filePath(QStringLiteral("stats.csv"))), csvHeader + csvLine(loggedValues));
    // Ticks while a capture still waits start nothing: one capture per tick, never a burst.
    const qsizetype before = program.captures.count();
    for (int tick = 0; tick < 3; ++tick)
        program.controller.tmrMainTimer();
    QVERIFY(program.waitForCaptures(int(before) + 1));
    QTest::qWait(100);
    QCOMPARE(program.captures.count(), before + 1);
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(program.ui().lblCount->text(), QStringLiteral("Next capture: 00:00:00"));
}

QTEST_MAIN(TestEndToEnd)
#include "TestEndToEnd.moc"
