// The build generates the form header only for includes it finds in the test itself.
#include "ui_MainWindow.h"

#include "support/ProgramRig.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<qint32> newestPoints(const MainController& controller)
{
    QList<qint32> ys;
    for (int i = 0; i < statCount; ++i)
        ys.append(controller.graph().graphSeries.series(i).points.back().y);
    return ys;
}

} // namespace

// The program driven through its window against the router simulator on loopback.
class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void startUp_isIdleAndReady();
    void timedCaptures_writeHeaderThenOneLineEach();
    void failedCapture_leavesCsvAndGraphAlone_data();
    void failedCapture_leavesCsvAndGraphAlone();
    void dropWhileInTray_raisesOneBalloon();
    void testButtons_neverWriteTheCsvFile();
    void settings_surviveCloseAndRestart();
    void closeDuringHangingFetch_endsAtOnce();
    void intervalWithoutBound_capturesOncePerTick_data();
    void intervalWithoutBound_capturesOncePerTick();
    void startDuringTestFetch_capturesAtOnce_data();
    void startDuringTestFetch_capturesAtOnce();

private:
    const QString m_simulator = QStringLiteral(LINEGAUGE_ROUTERSIM);
};

void TestEndToEnd::startUp_isIdleAndReady()
{
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    QCOMPARE(program.ui().lblStatus->text(), QStringLiteral("Ready"));
    QCOMPARE(program.window.windowTitle(), QStringLiteral("Linegauge by Orvell - 1.0.3"));
    QCOMPARE(program.controller.state().trayTip, QStringLiteral("Linegauge (Monitor OFF)"));
    QVERIFY(program.ui().lblCount->isHidden());
    QVERIFY(!program.controller.isMonitoring());
    QCOMPARE(program.controller.state().snrThreshold, 6.0f);
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("settings.ini"))));
}

void TestEndToEnd::timedCaptures_writeHeaderThenOneLineEach()
{
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start({QStringLiteral("--values"), QStringLiteral("12.5,10.0,30.0,20.0")}),
        qPrintable(router.errorText()));
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    program.pointAt(router);

    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QCOMPARE(program.ui().lblStatus->text(), QStringLiteral("Monitoring"));
    QCOMPARE(program.ui().lblCount->text(), QStringLiteral("Next capture: 00:01:00"));
    QVERIFY(!program.ui().fraOptions->isEnabled());

    // Sixty ticks of 1/60 minute stay just below one minute in 32-bit floats.
    for (int tick = 1; tick <= 60; ++tick)
        program.controller.tmrMainTimer();
    QCOMPARE(program.captures.count(), 1);
    QCOMPARE(program.ui().lblCount->text(), QStringLiteral("Next capture: 00:00:00"));
    program.controller.tmrMainTimer();
    QVERIFY(program.waitForCaptures(2));

    program.ui().cmdTimer->click();
    QCOMPARE(program.ui().lblStatus->text(), QStringLiteral("Stopped Monitoring"));
    QVERIFY(program.ui().lblCount->isHidden());
    QCOMPARE(fileBytes(folder.filePath(QStringLiteral("stats.csv"))),
        QByteArray("Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n"
                   "05/03/2026,07:08:09,12.5,10.0,30.0,20.0\r\n"
                   "05/03/2026,07:08:09,12.5,10.0,30.0,20.0\r\n"));
    QCOMPARE(program.ui().lblMin_0->text(), QStringLiteral("12.5"));
}

void TestEndToEnd::failedCapture_leavesCsvAndGraphAlone_data()
{
    QTest::addColumn<QStringList>("routerOptions");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("messageBoxes");
    QTest::newRow("connection refused") << QStringList{"--fault", "refuse"} << "Cannot find router!" << 0;
    QTest::newRow("router hangs") << QStringList{"--fault", "hang"} << "The router did not answer in time." << 0;
    QTest::newRow("login refused page") << QStringList{"--fault", "page401"} << "Unable to log in to the router." << 1;
    QTest::newRow("page without values") << QStringList{"--fault", "404"} << "No values found on page" << 0;
}

void TestEndToEnd::failedCapture_leavesCsvAndGraphAlone()
{
    QFETCH(QStringList, routerOptions);
    QFETCH(QString, status);
    QFETCH(int, messageBoxes);
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start(routerOptions), qPrintable(router.errorText()));
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    program.pointAt(router);
    const QList<qint32> graphBefore = newestPoints(program.controller);

    program.ui().cmdTimer->click();
    QVERIFY(program.waitForCaptures(1));
    QCOMPARE(program.ui().lblStatus->text(), status);
    QCOMPARE(program.messageBox.texts.size(), messageBoxes);
    QCOMPARE(newestPoints(program.controller), graphBefore);
    QCOMPARE(fileBytes(folder.filePath(QStringLiteral("stats.csv"))),
        QByteArray("Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n"));
    QVERIFY(program.controller.isMonitoring());
}

void TestEndToEnd::dropWhileInTray_raisesOneBalloon()
{
    RouterSimulator router(m_simulator);
    // Captures go up, down, down: one drop.
    QVERIFY2(router.start({"--values", "12.5,10.0,30.0,20.0", "--drop-every", "3", "--drop-length", "2"}),
        qPrintable(router.errorText()));
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    program.pointAt(router);
    program.ui().chkUseBalloons->setChecked(true);
    program.ui().cmdSysTray->click();
    QVERIFY(program.window.isHidden());

    program.controller.cmdTimerClick();
    for (int capture = 1; capture <= 3; ++capture) {
        QVERIFY(program.waitForCaptures(capture));
        while (!program.controller.isCapturing())
            program.controller.tmrMainTimer();
    }
    QVERIFY(program.waitForCaptures(4));
    QCOMPARE(program.balloons(), 1);
    QVERIFY(program.controller.state().dropNotified);
    QVERIFY(program.ui().lblLastDrop->text().startsWith(QStringLiteral("Last connection drop: ")));
}

void TestEndToEnd::testButtons_neverWriteTheCsvFile()
{
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start({"--values", "6.5,12.0,23.4,11.0"}), qPrintable(router.errorText()));
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    program.pointAt(router);

    program.ui().cmdTestPage->click();
    QCOMPARE(program.ui().lblStatus->text(), QStringLiteral("No test HTML page found"));
    program.ui().cmdTest->click();
    QVERIFY(program.waitForCaptures(2));
    QCOMPARE(program.ui().lblStatus->text(), QStringLiteral("Displaying stats"));
    QCOMPARE(program.ui().lblStats_2->text(), QStringLiteral("23.4"));
    program.ui().txtDebug->setPlainText(QStringLiteral("var st_up_snr_margin = \"NA\";\n"));
    program.ui().cmdTestPage->click();
    QCOMPARE(program.ui().lblStats_1->text(), QStringLiteral("NA"));
    QCOMPARE(program.ui().lblMax_1->text(), QStringLiteral("12.0"));
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("stats.csv"))));
}

void TestEndToEnd::settings_surviveCloseAndRestart()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("settings.ini"));
    const QByteArray tweaks = "; tuned by hand\r\n[Tweaks]\r\nSNR threshold=4.5\r\nStats page=/status.htm\r\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Options]\r\nRouter IP=127.0.0.1\r\nMarkers=True\r\n" + tweaks);
    file.close();
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

void TestEndToEnd::closeDuringHangingFetch_endsAtOnce()
{
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start({"--fault", "hang"}), qPrintable(router.errorText()));
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    program.pointAt(router);
    QSignalSpy closed(&program.controller, &MainController::closed);

    program.ui().cmdTest->click();
    QTest::qWait(100);
    QVERIFY(program.controller.isCapturing());
    program.window.close();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!program.controller.isCapturing());
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("settings.ini"))));
}

void TestEndToEnd::intervalWithoutBound_capturesOncePerTick_data()
{
    QTest::addColumn<QByteArray>("settingsFile");
    QTest::addColumn<QString>("interval");
    QTest::newRow("zero") << QByteArray() << "0";
    QTest::newRow("negative") << QByteArray() << "-2";
    QTest::newRow("no number") << QByteArray() << "soon";
    QTest::newRow("settings file without minutes")
        << QByteArray("[Options]\r\nOutput filename=stats.csv\r\n") << QString();
}

void TestEndToEnd::intervalWithoutBound_capturesOncePerTick()
{
    QFETCH(QByteArray, settingsFile);
    QFETCH(QString, interval);
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start({"--values", "12.5,10.0,30.0,20.0"}), qPrintable(router.errorText()));
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("settings.ini")));
    QVERIFY(settingsFile.isNull() || (file.open(QIODevice::WriteOnly) && file.write(settingsFile) > 0));
    file.close();
    ProgramRig program(folder.path());
    program.pointAt(router);
    if (!interval.isNull())
        program.ui().txtInt->setText(interval);
    QCOMPARE(program.ui().txtInt->text(), interval.isNull() ? QString() : interval);

    program.ui().cmdTimer->click();
    QVERIFY(program.controller.isMonitoring());
    QVERIFY(program.waitForCaptures(1));
    // Ticks while a capture still waits start nothing: one capture per tick, never a burst.
    for (int tick = 0; tick < 3; ++tick)
        program.controller.tmrMainTimer();
    QVERIFY(program.waitForCaptures(2));
    QTest::qWait(100);
    QCOMPARE(program.captures.count(), 2);
    program.controller.tmrMainTimer();
    QVERIFY(program.waitForCaptures(3));
    QCOMPARE(program.status(), QStringLiteral("Monitoring"));
    QCOMPARE(program.ui().lblCount->text(), QStringLiteral("Next capture: 00:00:00"));
}

void TestEndToEnd::startDuringTestFetch_capturesAtOnce_data()
{
    QTest::addColumn<QStringList>("testRouterOptions");
    QTest::newRow("test fetch still waiting") << QStringList{"--fault", "hang"};
    QTest::newRow("test fetch answered") << QStringList{"--values", "1.0,1.0,1.0,1.0"};
}

void TestEndToEnd::startDuringTestFetch_capturesAtOnce()
{
    QFETCH(QStringList, testRouterOptions);
    RouterSimulator testRouter(m_simulator);
    QVERIFY2(testRouter.start(testRouterOptions), qPrintable(testRouter.errorText()));
    RouterSimulator router(m_simulator);
    QVERIFY2(router.start({"--values", "12.5,10.0,30.0,20.0"}), qPrintable(router.errorText()));
    QTemporaryDir folder;
    ProgramRig program(folder.path());
    program.pointAt(testRouter);
    program.ui().cmdTest->click();
    QTest::qWait(200);

    program.pointAt(router);
    program.ui().cmdTimer->click();
    QVERIFY(QTest::qWaitFor([&] { return program.status() == QLatin1String("Monitoring"); }, 3000));
    QCOMPARE(program.ui().lblCount->text(), QStringLiteral("Next capture: 00:01:00"));
    QCOMPARE(program.ui().lblStats_0->text(), QStringLiteral("12.5"));
    QCOMPARE(fileBytes(folder.filePath(QStringLiteral("stats.csv"))),
        QByteArray("Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n"
                   "05/03/2026,07:08:09,12.5,10.0,30.0,20.0\r\n"));
}

QTEST_MAIN(TestEndToEnd)
#include "TestEndToEnd.moc"
