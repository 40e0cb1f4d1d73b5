#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "stats/CsvLog.h"
#include "stats/StatusLine.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

class SilentStatusLine final : public StatusLine
{
public:
    void showStatus(const QString&) override { }
    void setStatusColour(const QColor&) override { }
};

// A settings file of the given number of lines with "Options" last, so every key is searched for
// through the whole file.
QString writeSettingsFile(const QTemporaryDir& dir, qint64 lines)
{
    QByteArray content = "[Tweaks]\r\nMaximum value=80\r\n[Filler]\r\n";
    for (qint64 line = 0; line < lines - 14; ++line)
        content += "Key" + QByteArray::number(line) + "=some value of the user's\r\n";
    content += "[Options]\r\nRouter IP=192.168.1.1\r\nUsername=admin\r\n";
    QString path = dir.filePath(QStringLiteral("settings.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the settings file");
    file.write(content);
    return path;
}

void loadSettingsFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeSettingsFile(dir, state.range(0));
    SilentStatusLine status;
    for ([[maybe_unused]] auto _ : state) {
        Settings settings;
        benchmark::DoNotOptimize(loadSettings(path, settings, status));
    }
    state.SetComplexityN(state.range(0));
}

void saveSettingsFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeSettingsFile(dir, state.range(0));
    SilentStatusLine status;
    Settings settings;
    for ([[maybe_unused]] auto _ : state) {
        settings.minutesText = settings.minutesText == QLatin1String("1") ? QStringLiteral("2") : QStringLiteral("1");
        benchmark::DoNotOptimize(saveSettings(path, settings, status));
    }
    state.SetComplexityN(state.range(0));
}

void appendCsvLines(benchmark::State& state)
{
    const QString line = QStringLiteral("05/03/2026,07:08:09,6.5,12.0,23.4,11.0");
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("stats.csv"));
        state.ResumeTiming();
        for (qint64 i = 0; i < state.range(0); ++i)
            benchmark::DoNotOptimize(CsvLog::appendLineToFile(path, line));
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(loadSettingsFile)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(saveSettingsFile)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);
BENCHMARK(appendCsvLines)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
