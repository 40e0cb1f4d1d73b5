#include "SignalWatcher.h"
#include "SimOptions.h"
#include "SimServer.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int exitCode = 0;
    const std::optional<SimOptions> options = SimOptions::parse(app.arguments(), exitCode);
    if (!options) {
        return exitCode;
    }
    SimServer server(*options);
    if (!server.listen()) {
        QTextStream(stderr) << "cannot listen on 127.0.0.1:" << options->port << ": " << server.errorString() << "\n";
        return 1;
    }
    SignalWatcher stopSignals;
    QObject::connect(&stopSignals, &SignalWatcher::stopRequested, &app, &QCoreApplication::quit);
    // Tests and scripts wait for this line to learn the port, so it goes out at once.
    QTextStream(stdout) << "listening 127.0.0.1:" << server.port() << Qt::endl;
    const int result = app.exec();
    // Tests read this to check that a client never floods the router.
    QTextStream(stdout) << "requests " << server.requestCount() << Qt::endl;
    return result;
}
