#include "report/ReportCommand.h"
#include "support/FileBytes.h"

#include <QDate>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <array>

namespace {

// Sixty days of five-minute captures from 1 March with three drops a day, so that each table runs
// over pages.
QByteArray fiveMinuteLog()
{
    QByteArray log;
    for (int minute = 0; minute < 60 * 24 * 60; minute += 5) {
        const QString date = QDate(2026, 3, 1).addDays(minute / 1440).toString(QStringLiteral("dd/MM/yyyy"));
        log += QString::asprintf("%s,%02d:%02d:00,%.1f,11.5,31.0,17.5\n", qPrintable(date), minute / 60 % 24,
            minute % 60, minute % 480 == 300 ? 3.0 : 9.0 + (minute % 7) * 0.1)
                   .toLatin1();
    }
    return log;
}

// Pixels of the colour laid over white at half strength or more, so the antialiased rows of a thin
// line still count.
int pixelsOf(const QImage& image, QRgb colour)
{
    const std::array<int, 3> towards{255 - qRed(colour), 255 - qGreen(colour), 255 - qBlue(colour)};
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const std::array<int, 3> away{255 - qRed(pixel), 255 - qGreen(pixel), 255 - qBlue(pixel)};
            const double strength = double(away[0] + away[1] + away[2]) / (towards[0] + towards[1] + towards[2]);
            const auto near = [&](std::size_t i) { return qAbs(away[i] - strength * towards[i]) < 20; };
            count += strength >= 0.5 && near(0) && near(1) && near(2) ? 1 : 0;
        }
    }
    return count;
}

// Counts, in the loaded page, the dates whose text the layout broke over lines.
const QByteArray wrappedDatesScript = R"(<script>
let wrapped = 0;
const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
for (let node = walker.nextNode(); node; node = walker.nextNode()) {
  for (const match of node.data.matchAll(/\d{4}-\d{2}(-\d{2})?( \d{2}:\d{2}:\d{2})?/g)) {
    const range = document.createRange();
    range.setStart(node, match.index);
    range.setEnd(node, match.index + match[0].length);
    wrapped += new Set(Array.from(range.getClientRects(), rect => Math.round(rect.top))).size > 1 ? 1 : 0;
  }
}
document.body.setAttribute('data-wrapped', wrapped);
</script>)";

// Writes the report of the log, with `appended` added to the page, and runs the headless browser on
// it; its output, and whether it ran without complaint.
QByteArray render(const QTemporaryDir& dir, const QByteArray& log, const QStringList& arguments, bool& ok,
    const QByteArray& appended = {})
{
    QString errors;
    QTextStream stream(&errors);
    ok = ReportCommand::run(
             {"--report", "--tz", "UTC", "--csv", writeFileBytes(dir.filePath("stats.csv"), log)}, dir.path(), stream)
        == ReportCommand::written;
    const QString page = dir.filePath(QStringLiteral("stats-report.html"));
    writeFileBytes(page, fileBytes(page) + appended);
    if (!ok)
        return errors.toUtf8();
    const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    ok = !browser.isEmpty();
    if (!ok)
        return "chromium is needed to render the report: install the Debian package chromium";
    QProcess process;
    // Tests run as root in CI, where the browser's sandbox cannot start.
    process.start(browser,
        QStringList{"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--enable-logging=stderr",
            "--user-data-dir=" + dir.filePath(QStringLiteral("browser"))}
            + arguments + QStringList{"file://" + page});
    if (!process.waitForFinished(90000))
        process.kill();
    process.waitForFinished();
    QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
    ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 && !output.contains("CONSOLE")
        && !output.contains("net::ERR");
    return output;
}

} // namespace

// The page is what the user hands on: a real browser must load it without complaint and show both
// charts in the window's series colours, with nothing fetched from anywhere. (Its text is checked
// byte for byte with the report command.)
class TestReportPage : public QObject
{
    Q_OBJECT

private slots:
    void browser_showsCharts()
    {
        QTemporaryDir dir;
        const QString shot = dir.filePath(QStringLiteral("page.png"));
        bool ok = false;
        const QByteArray output = render(dir, fiveMinuteLog(), {"--window-size=1000,1100", "--screenshot=" + shot}, ok);
        QVERIFY2(ok, output.constData());
        const QImage image(shot);
        QVERIFY2(!image.isNull(), output.constData());
        for (const QRgb colour : {qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(192, 0, 192), qRgb(0, 128, 0)})
            QVERIFY2(pixelsOf(image, colour) > 200, qPrintable(QString::number(colour, 16)));
        QVERIFY(pixelsOf(image, qRgb(255, 196, 196)) > 50); // the drop's shading
    }

    // On a phone's width no date breaks over two lines: the tables scroll sideways instead.
    void phoneWidth_keepsDatesWhole()
    {
        QTemporaryDir dir;
        bool ok = false;
        const QByteArray dom
            = render(dir, fiveMinuteLog(), {"--window-size=400,800", "--dump-dom"}, ok, wrappedDatesScript);
        QVERIFY2(ok, dom.constData());
        QVERIFY2(dom.contains("data-wrapped=\"0\""), dom.left(4000).constData());
    }

    // Printed on A4, every page that holds rows of a table holds its headings too, and no date breaks.
    void printed_repeatsHeadings()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        bool ok = false;
        const QByteArray output = render(dir, fiveMinuteLog(), {"--no-pdf-header-footer", "--print-to-pdf=" + pdf}, ok);
        QVERIFY2(ok, output.constData());
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
        QVERIFY2(text.waitForFinished(60000), "pdftotext is needed: install the Debian package poppler-utils");
        const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 4);
        const QRegularExpression dropRow(QStringLiteral("^\\s*\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\s+\\d{4}-"),
            QRegularExpression::MultilineOption);
        const QRegularExpression dayRow(
            QStringLiteral("^\\s*\\d{4}-\\d{2}-\\d{2}\\s+\\d+\\s+\\d+\\s"), QRegularExpression::MultilineOption);
        const QRegularExpression brokenDate(
            QStringLiteral("\\d{4}-(\\d{2}-?)?\\s*$"), QRegularExpression::MultilineOption);
        int dropPages = 0;
        for (const QString& printed : pages) {
            QVERIFY2(!brokenDate.match(printed).hasMatch(), qPrintable(printed));
            if (dropRow.match(printed).hasMatch()) {
                ++dropPages;
                QVERIFY2(printed.contains(QStringLiteral("Down Att.")), qPrintable(printed));
            }
            if (dayRow.match(printed).hasMatch())
                QVERIFY2(printed.contains(QStringLiteral("Down SNR min")), qPrintable(printed));
        }
        QVERIFY(dropPages >= 2);
    }
};

QTEST_GUILESS_MAIN(TestReportPage)
#include "TestReportPage.moc"
