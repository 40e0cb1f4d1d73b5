#pragma once

#include "ui_MainWindow.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/HttpTransfer.h"
#include "platform/IconRegistry.h"
#include "platform/TrayRecordLayout.h"
#include "platform/VersionProbe.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingTrayShell.h"
#include "support/RouterSimulator.h"

#include <QSignalSpy>
#include <QTest>

// The whole program in a folder of its own, with a tray and message box that record instead of
// show. The monitoring timer never fires on its own: tests tick by hand, so every tick is counted.
struct ProgramRig
{
    static constexpr int transferTimeoutMs = 1500;
    static constexpr int idleTimerMs = 3600 * 1000;

    explicit ProgramRig(const QString& folder)
        : transfer(transferTimeoutMs)
        , controller(window, Platform{shell, probe, icons, transfer, messageBox, clock, folder, idleTimerMs})
        , captures(&controller, &MainController::captureFinished)
    {
        controller.formLoad();
    }

    Ui::MainWindow& ui() { return window.ui(); }
    QString status() { return ui().lblStatus->text(); }

    void pointAt(const RouterSimulator& router)
    {
        ui().txtIP->setText(QStringLiteral("127.0.0.1"));
        ui().txtPort->setText(QString::number(router.port()));
    }

    bool waitForCaptures(int count)
    {
        return QTest::qWaitFor([&] { return captures.count() >= count; }, 3 * transferTimeoutMs);
    }

    // Ticks the schedule until the next timed capture has started and waits for its end.
    bool captureOnce()
    {
        const int before = int(captures.count());
        for (int tick = 0; tick < 1000 && !controller.isCapturing() && captures.count() == before; ++tick)
            controller.tmrMainTimer();
        return waitForCaptures(before + 1);
    }

    int balloons() const
    {
        int count = 0;
        for (const RecordingTrayShell::Call& call : shell.calls) {
            if (call.operation == 1 && RecordingTrayShell::longAt(call.record, TrayRecordLayout::uFlags) == 0x10)
                ++count;
        }
        return count;
    }

    RecordingTrayShell shell;
    FixedVersionProbe probe{VersionProbe::pack(10, 0, true)};
    IconRegistry icons;
    HttpTransfer transfer;
    RecordingMessageBox messageBox;
    FakeClock clock;
    MainWindow window;
    MainController controller;
    QSignalSpy captures;
};
