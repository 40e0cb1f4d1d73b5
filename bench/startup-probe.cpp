// Starts the whole program, a bare Qt window or a bare window showing one line of text the same
// way, shows it, lets the event loop settle once, prints the wall clock in microseconds and exits.
// bench/program-bench.sh counts from before it starts the process to that print: the start counts
// from the first library the process loads, and closing (where the program saves its settings)
// does not. The program keeps its settings in the folder given after the mode, made once by the
// caller as the program's own folder is.
#include "app/ProgramWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const char* const mode = argc > 1 ? argv[1] : "program";
    QTimer::singleShot(0, &application, [] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf(
            "%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        QApplication::quit();
    });
    if (std::strcmp(mode, "program") != 0) {
        QWidget window;
        window.resize(409, 420);
        QLabel label(std::strcmp(mode, "label") == 0 ? QStringLiteral("Ready") : QString(), &window);
        window.show();
        return application.exec();
    }
    if (argc < 3)
        return 2;
    ProgramWindow program(QString::fromLocal8Bit(argv[2]));
    program.show();
    return application.exec();
}
