#include "app/AppInfo.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/TerminationSignals.h"
#include "platform/Clock.h"
#include "platform/HttpTransfer.h"
#include "platform/MessageBox.h"
#include "report/ReportCommand.h"
#include "report/ReportOptions.h"
#include "tray/QtTrayIcon.h"

#include <QApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstring>

namespace {

// Answers --version and --help without opening a window; true when it did.
bool answeredCommandLine(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Linegauge %s\n", qPrintable(AppInfo::versionText()));
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: linegauge [--version] [--help]\n"
                        "Monitors the line statistics of an ADSL router. The options are kept in settings.ini\n"
                        "beside the program; the window sets them all.\n\n%s",
                qPrintable(ReportOptions::usage()));
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (answeredCommandLine(argc, argv))
        return 0;
    if (ReportCommand::isRequested(argc, argv))
        return ReportCommand::main(argc, argv);

    QApplication application(argc, argv);
    // The window hides itself in the tray; only its own closing sequence ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    // Made first, so the desktop has the longest time to say which tray it runs.
    QtTrayIcon trayIcon;
    HttpTransfer transfer;
    SystemClock clock;
    MainWindow window;
    QtMessageBox messageBox(&window);
    MainController controller(
        window, Platform{trayIcon, transfer, messageBox, clock, QApplication::applicationDirPath()});

    QObject::connect(&controller, &MainController::closed, &application, &QApplication::quit);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &window, &QWidget::close);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &controller,
        [&controller](QSessionManager&) { controller.formQueryUnload(); });

    controller.formLoad();
    window.show();
    return application.exec();
}
