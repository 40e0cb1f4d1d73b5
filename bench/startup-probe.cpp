// Starts the whole program, a bare Qt window or a bare window showing one line of text the same
// way, shows it, lets the event loop settle once and exits; bench/program-bench.sh times whole runs
// of each. The window with text pays the start of the font system, which any window that shows
// text pays and an empty one does not.
#include "app/ProgramWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const char* const mode = argc > 1 ? argv[1] : "program";
    QTimer::singleShot(0, &application, &QApplication::quit);
    if (std::strcmp(mode, "program") != 0) {
        QWidget window;
        window.resize(409, 420);
        QLabel label(std::strcmp(mode, "label") == 0 ? QStringLiteral("Ready") : QString(), &window);
        window.show();
        return application.exec();
    }
    QTemporaryDir folder;
    ProgramWindow program(folder.path());
    program.show();
    return application.exec();
}
