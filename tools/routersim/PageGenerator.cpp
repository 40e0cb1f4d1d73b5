#include "PageGenerator.h"

#include <QStringList>

#include <algorithm>

namespace {

struct Series
{
    const char* code;
    const char* key;
    double mean;
    double low;
    double high;
};

// Means and bounds of a typical ADSL line: SNR margins of 6 to 30 dB, attenuation of 10 to 60 dB.
constexpr std::array<Series, 4> series = {{
    {"SD", "st_dw_snr_margin", 12.0, 6.0, 30.0},
    {"SU", "st_up_snr_margin", 15.0, 6.0, 30.0},
    {"AD", "st_dw_line_attenuation", 35.0, 10.0, 60.0},
    {"AU", "st_up_line_attenuation", 20.0, 10.0, 60.0},
}};

// During a drop both margins fall below the usual 6 dB threshold.
constexpr double dropSnr = 2.5;

} // namespace

PageGenerator::PageGenerator(const SimOptions& options)
    : m_options(options)
    , m_random(options.seed)
{
    for (std::size_t i = 0; i < series.size(); ++i) {
        m_values[i] = series[i].mean;
    }
}

QByteArray PageGenerator::nextPage()
{
    ++m_capture;
    advance();
    QByteArray page = "<html>\n<head>\n<title>ADSL Status</title>\n<script language=\"JavaScript\">\n"
                      "var st_line_state = \"";
    page += inDrop() ? "Training" : "Showtime";
    page += "\";\n";
    for (int i = 0; i < 4; ++i) {
        if (!m_options.missingCodes.contains(QLatin1String(series[i].code))) {
            page += "var " + QByteArray(series[i].key) + " = \"" + valueText(i) + "\";\n";
        }
    }
    page += "var st_dw_rate = \"8128\";\nvar st_up_rate = \"832\";\n</script>\n</head>\n"
            "<body>\n<h1>ADSL Status</h1>\n<table><tr><td>Capture</td><td>";
    page += QByteArray::number(m_capture);
    page += "</td></tr></table>\n</body>\n</html>\n";
    return page;
}

QByteArray PageGenerator::errorPage(const QByteArray& title)
{
    return "<html>\n<head><title>" + title + "</title></head>\n<body>\n<h1>Server Error: " + title
        + "</h1>\n</body>\n</html>\n";
}

void PageGenerator::advance()
{
    if (!m_options.drift) {
        return;
    }
    for (std::size_t i = 0; i < series.size(); ++i) {
        // A step of up to half a dB either way, pulled gently back towards the mean.
        const double step = m_random.generateDouble() - 0.5;
        const double pull = (series[i].mean - m_values[i]) * 0.05;
        m_values[i] = std::clamp(m_values[i] + step + pull, series[i].low, series[i].high);
    }
}

bool PageGenerator::inDrop() const
{
    if (m_options.dropEvery <= 0) {
        return false;
    }
    const int position = (m_capture - 1) % m_options.dropEvery;
    return position >= m_options.dropEvery - m_options.dropLength;
}

QByteArray PageGenerator::valueText(int index) const
{
    const QLatin1String code(series[index].code);
    if (m_options.naCodes.contains(code)) {
        return "NA";
    }
    if (m_options.nonNumericCodes.contains(code)) {
        return "n/a dB";
    }
    if (index < 2 && inDrop()) {
        return QByteArray::number(dropSnr, 'f', 1);
    }
    if (!m_options.fixedValues.isEmpty()) {
        return m_options.fixedValues[index].toLatin1();
    }
    return QByteArray::number(m_values[index], 'f', 1);
}
