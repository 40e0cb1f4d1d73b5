#include "app/CommandLine.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"
#include "app/QtMessageBox.h"
#include "app/TerminationSignals.h"
#include "platform/Clock.h"
#include "platform/HttpTransfer.h"
#include "report/ReportCommand.h"
#include "tray/QtTrayIcon.h"

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>

#include <cstdio>
#include <memory>

namespace {

// The report started from the desktop's menu says why no page came in a small message window.
ReportCommand::Desktop reportDesktop()
{
    return {[](int& argc, char* argv[]) -> std::unique_ptr<QCoreApplication> {
                return std::make_unique<QApplication>(argc, argv);
            },
        [](const QString& problem) { QMessageBox::warning(nullptr, QStringLiteral("Line report"), problem); }};
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLine::Request request = CommandLine::requestOf(CommandLine::argumentsOf(argc, argv));
    if (request == CommandLine::Request::report)
        return ReportCommand::main(argc, argv, reportDesktop());
    if (request != CommandLine::Request::window) {
        std::fputs(qPrintable(CommandLine::answerTo(request)), stdout);
        return 0;
    }

    QApplication application(argc, argv);
    // Desktops match the window to its menu entry, and so to the themed icon, by this name; on
    // Wayland that is the only way the window gets an icon. Dialogs show the program's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("linegauge"));
    QApplication::setWindowIcon(ProgramIcon::icon());
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
        [&controller](QSessionManager&) { controller.shutDown(); });

    controller.startUp();
    window.show();
    return application.exec();
}
