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

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <vector>

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline const QByteArray csvHeader = "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n";

// The CSV line of a capture at the rig's clock time.
inline QByteArray csvLine(const QByteArray& values)
{
    return "05/03/2026,07:08:09," + values + "\r\n";
}

// The whole program in a folder of its own, with a tray and message box that record instead of
// show, and router simulators on loopback. The monitoring timer never fires on its own: tests tick
// by hand, so every tick is counted.
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

    // Starts a router simulator with these options and points the program at it; null when it
    // did not start.
    RouterSimulator* serve(const QStringList& options)
    {
        auto router = std::make_unique<RouterSimulator>(QStringLiteral(LINEGAUGE_ROUTERSIM));
        if (!router->start(options)) {
            qWarning("router simulator: %s", qPrintable(router->errorText()));
            return nullptr;
        }
        ui().txtIP->setText(QStringLiteral("127.0.0.1"));
        ui().txtPort->setText(QString::number(router->port()));
        return routers.emplace_back(std::move(router)).get();
    }

    bool waitForCaptures(int count)
    {
        return QTest::qWaitFor([&] { return captures.count() >= count; }, 3 * transferTimeoutMs);
    }

    // Ticks the schedule until the next timed capture has started (or already ended).
    bool startCapture()
    {
        const qsizetype before = captures.count();
        for (int tick = 0; tick < 1000 && !controller.isCapturing() && captures.count() == before; ++tick)
            controller.tmrMainTimer();
        return controller.isCapturing() || captures.count() > before;
    }

    bool captureOnce()
    {
        const int before = int(captures.count());
        return startCapture() && waitForCaptures(before + 1);
    }

    GraphPoint newestPoint() const { return controller.graph().graphSeries.series(0).points.back(); }

    int balloons() const
    {
        return int(std::count_if(shell.calls.begin(), shell.calls.end(), [](const RecordingTrayShell::Call& call) {
            return call.operation == 1 && RecordingTrayShell::longAt(call.record, TrayRecordLayout::uFlags) == 0x10;
        }));
    }

    std::vector<std::unique_ptr<RouterSimulator>> routers;
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
