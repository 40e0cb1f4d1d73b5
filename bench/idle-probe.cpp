// The CPU a waiting program uses: monitoring with a 5-minute interval and the window shown, or
// hidden in the tray, against a bare Qt window that sets one label every second. Prints the
// process CPU time over the run as a share of one core; bench/program-bench.sh runs all three.
// Usage: idle-probe bare|shown|tray SECONDS
#include "ui_MainWindow.h"

#include "app/ProgramWindow.h"
#include "support/ProcessFigures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// Runs the event loop for the given time and prints the CPU it took.
int measure(const char* what, int seconds)
{
    const double before = ProcessFigures::cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, qApp, &QApplication::quit);
    const int status = QApplication::exec();
    const double percent = (ProcessFigures::cpuSeconds() - before) / (double(wall.nsecsElapsed()) / 1e9) * 100.0;
    std::printf("idle %s: %.3f %% of a core over %d s\n", what, percent, seconds);
    return status;
}

int bareWindow(int seconds)
{
    QWidget window;
    window.resize(409, 420);
    QLabel label(&window);
    label.setGeometry(264, 80, 121, 17);
    int left = 300;
    QTimer everySecond;
    QObject::connect(&everySecond, &QTimer::timeout, &label,
        [&] { label.setText(QStringLiteral("Next capture: 00:%1").arg(--left, 2, 10, QLatin1Char('0'))); });
    everySecond.start(1000);
    window.show();
    return measure("bare window, one label a second", seconds);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: idle-probe bare|shown|tray SECONDS\n");
        return 2;
    }
    const int seconds = std::atoi(argv[2]);
    if (std::strcmp(argv[1], "bare") == 0)
        return bareWindow(seconds);
    const bool shown = std::strcmp(argv[1], "shown") == 0;
    QTemporaryDir folder;
    ProgramWindow program(folder.path());
    program.show();
    MainWindow& window = program.window();
    MainController& controller = program.controller();
    // Port 9 on loopback refuses at once: the first capture ends and the monitor waits.
    window.ui().addressEdit->setText(QStringLiteral("127.0.0.1"));
    window.ui().portEdit->setText(QStringLiteral("9"));
    window.ui().intervalEdit->setText(QStringLiteral("5"));
    window.ui().saveCheck->setChecked(false);
    controller.toggleMonitoring();
    if (!QTest::qWaitFor([&] { return !controller.isCapturing(); }, 5000)) {
        std::fprintf(stderr, "the first capture did not end\n");
        return 1;
    }
    if (!shown)
        window.hide();
    return measure(shown ? "monitoring, window shown" : "monitoring, window in the tray", seconds);
}
