#include "graph/GraphPainter.h"
#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"

#include <QApplication>
#include <QFile>

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace {

// The window's graph at scale 1, no border.
constexpr int surfaceWidth = 393;
constexpr int surfaceHeight = 113;

struct GraphFixture
{
    GraphFixture()
        : renderer(state, surface)
    {
        surface.resize(surfaceWidth, surfaceHeight);
        state.computeScale(surfaceWidth, surfaceHeight);
        state.graphSeries.initHistory(statCount, LineStatTable().seriesColours, state.xStep, state.yScale);
    }

    // A full capture drawing: shift, four new points, grid, lines, and markers or codes.
    void draw(int n, bool markers)
    {
        const float wave = float(n % 20);
        renderer.drawGraph({10.0f + wave, 8.0f + wave / 2, 30.0f - wave, 20.0f + wave}, false, {true, markers});
    }

    GraphSurface surface;
    GraphState state;
    GraphRenderer renderer;
};

void BM_DrawGraph(benchmark::State& benchState)
{
    GraphFixture fixture;
    const bool markers = benchState.range(0) != 0;
    int n = 0;
    for ([[maybe_unused]] auto _ : benchState)
        fixture.draw(n++, markers);
}
BENCHMARK(BM_DrawGraph)->Arg(1)->Arg(0)->ArgName("markers")->Unit(benchmark::kMicrosecond);

// The picture of a full frame with codes at a screen scale given in percent: what a drawing costs on
// such a screen, and what moving the window to it costs.
void BM_PictureAtScale(benchmark::State& benchState)
{
    GraphFixture fixture;
    for (int n = 0; n < SeriesRecord::pointCount; ++n)
        fixture.draw(n, false);
    const GraphFrame frame = fixture.renderer.frame({true, false});
    const qreal scale = qreal(benchState.range(0)) / 100;
    const QSize size(surfaceWidth, surfaceHeight);
    for ([[maybe_unused]] auto _ : benchState)
        benchmark::DoNotOptimize(GraphPainter::picture(frame, QRect(QPoint(), size), size, scale));
}
BENCHMARK(BM_PictureAtScale)->Arg(100)->Arg(150)->Arg(200)->ArgName("scale%")->Unit(benchmark::kMicrosecond);

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Resident memory around 100 000 drawings, after a warm-up that lets caches settle.
void reportMemoryOverManyDraws()
{
    GraphFixture fixture;
    for (int n = 0; n < 1000; ++n)
        fixture.draw(n, n % 2 == 0);
    const long before = residentKilobytes();
    for (int n = 0; n < 100000; ++n)
        fixture.draw(n, n % 2 == 0);
    const long after = residentKilobytes();
    std::printf(
        "Resident memory over 100000 draws: %ld kB before, %ld kB after (%+ld kB)\n", before, after, after - before);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    reportMemoryOverManyDraws();
    return EXIT_SUCCESS;
}
