#include "app/CommandLine.h"
#include "app/MainController.h"
#include "app/ProgramWindow.h"
#include "app/TerminationSignals.h"
#include "report/ReportCommand.h"

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
    // The window hides itself in the tray; only its own closing sequence ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    ProgramWindow program(QApplication::applicationDirPath());
    MainController& controller = program.controller();

    QObject::connect(&controller, &MainController::closed, &application, &QApplication::quit);
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &program.window(), &QWidget::close);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &controller,
        [&controller](QSessionManager&) { controller.shutDown(); });

    program.show();
    return application.exec();
}
