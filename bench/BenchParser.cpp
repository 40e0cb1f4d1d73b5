#include "platform/MessageBox.h"
#include "router/PageParser.h"
#include "stats/StatusLine.h"

#include <QString>

#include <benchmark/benchmark.h>

namespace {

// Status texts and message boxes cost nothing here, so the figures are the parser's alone.
class SilentStatusLine final : public StatusLine
{
public:
    void showStatus(const QString&) override { }
    void setStatusColour(const QColor&) override { }
};

class SilentMessageBox final : public MessageBox
{
public:
    void showExclamation(const QString&, const QString&) override { }
    bool isShowing() const override { return false; }
};

// A status page of about the given size, shaped like a firmware's: a script block of variables,
// a status table, and the four statistics near the end where the whole page has to be scanned.
QString statusPage(qsizetype targetSize)
{
    QString page
        = QStringLiteral("<html>\r\n<head>\r\n<title>ADSL Status</title>\r\n<script language=\"JavaScript\">\r\n");
    for (int n = 0; page.size() < targetSize - 400; ++n) {
        page += QStringLiteral("var st_counter_%1 = \"%2\";\r\n").arg(n).arg(n * 7);
        page += QStringLiteral("<tr><td class=\"lbl\">Counter %1</td><td class=\"val\">"
                               "<script>document.write(st_counter_%1);</script></td></tr>\r\n")
                    .arg(n);
    }
    page += QStringLiteral("var st_dw_snr_margin = \"12.3\";\r\nvar st_up_snr_margin = \"9.8\";\r\n"
                           "var st_dw_line_attenuation = \"38.5\";\r\nvar st_up_line_attenuation = \"21.0\";\r\n"
                           "</script>\r\n</head>\r\n<body></body>\r\n</html>\r\n");
    return page;
}

void parsePage(benchmark::State& state, const QString& page)
{
    SilentStatusLine status;
    SilentMessageBox messageBox;
    PageParser parser(status, messageBox);
    for ([[maybe_unused]] auto _ : state)
        benchmark::DoNotOptimize(parser.parseStatsPage(page));
    state.SetBytesProcessed(state.iterations() * page.size() * qsizetype(sizeof(char16_t)));
    state.counters["page_chars"] = double(page.size());
}

void typicalPage(benchmark::State& state)
{
    parsePage(state, statusPage(qsizetype{20} * 1024));
}

void megabytePage(benchmark::State& state)
{
    parsePage(state, statusPage(qsizetype{1024} * 1024));
}

void megabyteSingleLine(benchmark::State& state)
{
    parsePage(state, QString(qsizetype{1024} * 1024, u'v') + QStringLiteral("var st_up_line_attenuation = \"21.0\";"));
}

} // namespace

BENCHMARK(typicalPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(megabytePage)->Unit(benchmark::kMillisecond);
BENCHMARK(megabyteSingleLine)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
