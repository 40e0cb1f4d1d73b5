// Runs the whole program for a bounded time against healthy and faulty router simulators, switching
// the router port between captures, with the real monitoring timer at a shortened interval; prints
// captures done, failures by status text, resident memory, open descriptors and the longest stall.
// Usage: linegauge-soak ROUTERSIM SECONDS
#include "ui_MainWindow.h"

#include "QuietMessageBox.h"
#include "QuietTrayIcon.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/Clock.h"
#include "platform/HttpTransfer.h"
#include "support/ProcessFigures.h"
#include "support/RouterSimulator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int transferTimeoutMs = 1500;
// Each timer tick still counts as one second, so 0.1 minutes pass in six 10 ms ticks.
constexpr int tickMs = 10;
constexpr int stallProbeMs = 10;
constexpr int warmUpCaptures = 20;

// The routers the run switches between: one in four captures meets a fault, the others a drifting,
// sometimes dropping line.
const std::vector<QStringList> routerOptions = {
    {"--drift", "--drop-every", "7", "--drop-length", "2"},
    {"--fault", "refuse"},
    {"--drift", "--seed", "2", "--auth", "digest"},
    {"--fault", "hang"},
    {"--drift", "--seed", "3", "--na", "SU"},
    {"--fault", "garbage"},
    {"--drift", "--seed", "4", "--fault", "chunked"},
    {"--fault", "truncated"},
    {"--drift", "--seed", "5", "--missing", "AD"},
    {"--fault", "page401"},
    {"--drift", "--seed", "6", "--non-numeric", "AU"},
    {"--fault", "huge", "--huge-mb", "5"},
    {"--drift", "--seed", "7"},
    {"--fault", "404"},
    {"--drift", "--seed", "8"},
    {"--fault", "redirect-loop"},
    {"--drift", "--seed", "9"},
    {"--fault", "auth-stale"},
    {"--drift", "--seed", "10"},
    {"--fault", "endless-headers"},
    {"--drift", "--seed", "11"},
    {"--fault", "endless-continue"},
    {"--drift", "--seed", "12"},
    {"--fault", "auth-rotating"},
};

// Measures how late a 10 ms timer fires: the longest time the event loop was kept from it.
class StallProbe
{
public:
    StallProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout,
            [this] { m_longestMs = std::max(m_longestMs, m_sinceLast.restart() - stallProbeMs); });
        m_sinceLast.start();
        m_timer.start(stallProbeMs);
    }

    qint64 longestMs() const { return m_longestMs; }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    qint64 m_longestMs = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: linegauge-soak ROUTERSIM SECONDS\n");
        return 2;
    }
    const int seconds = std::max(1, std::atoi(argv[2]));
    std::vector<std::unique_ptr<RouterSimulator>> routers;
    for (const QStringList& options : routerOptions) {
        routers.push_back(std::make_unique<RouterSimulator>(QString::fromLocal8Bit(argv[1])));
        if (!routers.back()->start(options)) {
            std::fprintf(stderr, "simulator did not start: %s\n", qPrintable(routers.back()->errorText()));
            return 2;
        }
    }

    QTemporaryDir folder;
    QuietTrayIcon trayIcon;
    HttpTransfer transfer(transferTimeoutMs);
    QuietMessageBox messageBox;
    SystemClock clock;
    MainWindow window;
    MainController controller(window, Platform{trayIcon, transfer, messageBox, clock, folder.path(), tickMs});
    controller.startUp();
    Ui::MainWindow& ui = window.ui();
    ui.addressEdit->setText(QStringLiteral("127.0.0.1"));
    ui.userEdit->setText(QStringLiteral("admin"));
    ui.passwordEdit->setText(QStringLiteral("admin"));
    ui.intervalEdit->setText(QStringLiteral("0.1"));

    long done = 0;
    long rssStart = 0;
    qsizetype fdStart = 0;
    QMap<QString, long> outcomes;
    auto pointAtNext
        = [&] { ui.portEdit->setText(QString::number(routers[std::size_t(done) % routers.size()]->port())); };
    const QMetaObject::Connection counting = QObject::connect(&controller, &MainController::captureFinished, [&] {
        ++done;
        ++outcomes[ui.statusLabel->text()];
        if (done == warmUpCaptures) {
            rssStart = ProcessFigures::residentKiB();
            fdStart = ProcessFigures::openDescriptors();
        }
        pointAtNext();
    });
    pointAtNext();
    StallProbe stalls;
    controller.toggleMonitoring();
    // Buffers of the huge replies raise the heap once; growth after half-time would be a leak.
    long rssHalf = 0;
    QTimer::singleShot(seconds * 500, [&] { rssHalf = ProcessFigures::residentKiB(); });
    QTimer::singleShot(seconds * 1000, &application, &QApplication::quit);
    QApplication::exec();
    // Stopping cancels the capture under way; that is the run ending, not a failure of it.
    QObject::disconnect(counting);
    controller.toggleMonitoring();
    const long rssEnd = ProcessFigures::residentKiB();
    const qsizetype fdEnd = ProcessFigures::openDescriptors();
    window.close();

    std::printf("soak: %d s, %ld captures (first %d are warm-up)\n", seconds, done, warmUpCaptures);
    for (auto it = outcomes.cbegin(); it != outcomes.cend(); ++it)
        std::printf("  %6ld  %s\n", it.value(), qPrintable(it.key()));
    std::printf("router error messages: %ld\n", messageBox.count());
    std::printf("resident memory: %ld KiB at start, %ld KiB at half-time, %ld KiB at end (second half growth %ld KiB, "
                "goal < 1024)\n",
        rssStart, rssHalf, rssEnd, rssEnd - rssHalf);
    std::printf("open descriptors: %lld -> %lld\n", static_cast<long long>(fdStart), static_cast<long long>(fdEnd));
    std::printf("longest event-loop stall: %lld ms (goal < 50)\n", static_cast<long long>(stalls.longestMs()));
    const bool flat = done > warmUpCaptures && fdEnd <= fdStart && rssEnd - rssHalf < 1024 && stalls.longestMs() < 50;
    std::printf("%s\n", flat ? "result: flat" : "result: NOT flat");
    return flat ? 0 : 1;
}
