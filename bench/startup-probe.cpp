// Starts either the whole program or a bare Qt window the same way, shows it, lets the event loop
// settle once and exits; bench/program-bench.sh times whole runs of both.
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"
#include "app/QtMessageBox.h"
#include "platform/Clock.h"
#include "platform/HttpTransfer.h"
#include "platform/MessageBox.h"
#include "tray/QtTrayIcon.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstring>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    QTimer::singleShot(0, &application, &QApplication::quit);
    if (bare) {
        QWidget window;
        window.resize(409, 420);
        window.show();
        return application.exec();
    }
    QTemporaryDir folder;
    QApplication::setWindowIcon(ProgramIcon::icon());
    QtTrayIcon trayIcon;
    HttpTransfer transfer;
    SystemClock clock;
    MainWindow window;
    QtMessageBox messageBox(&window);
    MainController controller(window, Platform{trayIcon, transfer, messageBox, clock, folder.path()});
    controller.startUp();
    window.show();
    return application.exec();
}
