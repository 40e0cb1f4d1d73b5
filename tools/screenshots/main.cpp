// Drives the real window against the router simulator through the controller's own handlers and
// saves pictures of it: monitoring, a line drop, the graph with markers and with codes, and the
// two popup menus. The clock advances one minute per capture so the times shown look real.
// Usage: linegauge-screenshots PORT OUTPUT_FOLDER
#include "ScreenshotRun.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: linegauge-screenshots PORT OUTPUT_FOLDER\n");
        return 2;
    }
    ScreenshotRun run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    const bool ok = run.run();
    return ok && !run.saveFailed() ? 0 : 1;
}
