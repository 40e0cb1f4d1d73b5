// Runs many timed captures against the router simulator through the whole program and prints the
// time per capture and the resident memory growth; then leaves monitoring running between captures
// and prints the CPU the idle program uses.
// Usage: capture-soak PORT [CAPTURES] [IDLE_SECONDS]
#include "ui_MainWindow.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/HttpTransfer.h"
#include "support/FakeClock.h"
#include "support/ProcessFigures.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingTrayIcon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: capture-soak PORT [CAPTURES] [IDLE_SECONDS]\n");
        return 2;
    }
    const int captures = argc > 2 ? std::atoi(argv[2]) : 10000;
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 10;

    QTemporaryDir folder;
    RecordingTrayIcon trayIcon;
    HttpTransfer transfer;
    RecordingMessageBox messageBox;
    FakeClock clock;
    MainWindow window;
    MainController controller(window, Platform{trayIcon, transfer, messageBox, clock, folder.path()});
    controller.startUp();
    window.ui().addressEdit->setText(QStringLiteral("127.0.0.1"));
    window.ui().portEdit->setText(QString::fromLatin1(argv[1]));
    window.ui().intervalEdit->setText(QStringLiteral("10"));

    int done = 0;
    int timeouts = 0;
    QObject::connect(&controller, &MainController::captureFinished, [&done] { ++done; });
    controller.toggleMonitoring();
    // Waits in a plain event loop for the capture's end: qWaitFor would sleep in 10 ms steps.
    auto captureOnce = [&] {
        const int before = done;
        while (!controller.isCapturing() && done == before)
            controller.onTick();
        if (done > before)
            return;
        QEventLoop loop;
        QObject::connect(&controller, &MainController::captureFinished, &loop, &QEventLoop::quit);
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
            ++timeouts;
            loop.quit();
        });
        limit.start(5000);
        loop.exec();
    };
    for (int i = 0; i < 200; ++i)
        captureOnce();
    const long rssBefore = ProcessFigures::residentKiB();
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < captures; ++i)
        captureOnce();
    const double perCaptureMs = double(elapsed.nsecsElapsed()) / 1e6 / captures;
    const long rssAfter = ProcessFigures::residentKiB();
    std::printf("captures: %d, %.3f ms each, resident memory %ld KiB -> %ld KiB (growth %ld KiB, goal < 1024)\n",
        captures, perCaptureMs, rssBefore, rssAfter, rssAfter - rssBefore);

    // Idle: the real one-second timer counts down a long interval with nothing to capture.
    controller.toggleMonitoring();
    controller.toggleMonitoring();
    if (!QTest::qWaitFor([&] { return !controller.isCapturing(); }, 5000))
        ++timeouts;
    const double cpuBefore = ProcessFigures::cpuSeconds();
    QElapsedTimer idle;
    idle.start();
    // A plain event loop: qWait would wake every few milliseconds and measure itself.
    QEventLoop loop;
    QTimer::singleShot(idleSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpuPercent = (ProcessFigures::cpuSeconds() - cpuBefore) / (double(idle.nsecsElapsed()) / 1e9) * 100.0;
    std::printf("idle while monitoring: %.3f %% of a core over %d s (goal < 0.1 %%)\n", cpuPercent, idleSeconds);
    controller.toggleMonitoring();
    std::printf("captures that did not end within 5 s: %d\n", timeouts);
    return timeouts == 0 ? 0 : 1;
}
