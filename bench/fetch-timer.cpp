// Times page fetches through the HTTP transfer, and the event loop's longest stall during a fetch.
//   fetch-timer times URL N     prints one line per fetch: the fetch's milliseconds
//   fetch-timer stall URL MS    fetches once with a time-out of MS and prints the longest gap, in
//                               milliseconds, between ticks of a 1 ms timer while the fetch ran
#include "platform/HttpTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

namespace {

double fetchOnce(HttpTransfer& transfer, const QString& url)
{
    QEventLoop loop;
    QObject::connect(&transfer, &Transfer::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    transfer.setUrl(url);
    transfer.openUrl();
    loop.exec();
    return double(clock.nsecsElapsed()) / 1e6;
}

int times(const QString& url, int count)
{
    HttpTransfer transfer;
    QTextStream out(stdout);
    for (int i = 0; i < count; ++i) {
        out << fetchOnce(transfer, url) << "\n";
    }
    return 0;
}

int stall(const QString& url, int timeoutMs)
{
    HttpTransfer transfer(timeoutMs);
    QElapsedTimer sinceTick;
    qint64 longestNs = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestNs = std::max(longestNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    sinceTick.start();
    ticker.start(1);
    fetchOnce(transfer, url);
    longestNs = std::max(longestNs, sinceTick.nsecsElapsed());
    QTextStream(stdout) << double(longestNs) / 1e6 << "\n";
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("times")) {
        return times(args[2], args[3].toInt());
    }
    if (args.size() == 4 && args[1] == QLatin1String("stall")) {
        return stall(args[2], args[3].toInt());
    }
    QTextStream(stderr) << "usage: fetch-timer times URL N | fetch-timer stall URL TIMEOUT_MS\n";
    return 2;
}
