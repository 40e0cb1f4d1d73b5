#include "report/ReportCommand.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <array>

namespace {

// Two days at five-minute spacing: evening noise, one drop and a pause of three hours.
QByteArray simulatedLog()
{
    QByteArray log = "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n";
    for (int minute = 0; minute < 2 * 24 * 60; minute += 5) {
        if (minute > 1800 && minute < 1980)
            continue;
        const int hour = minute / 60 % 24;
        const double downSnr = minute == 600 ? 3.0 : 9.0 - (hour >= 19 ? 2.0 : 0.0) + (minute % 7) * 0.1;
        log += QStringLiteral("%1/03/2026,%2:%3:00,%4,11.5,31.0,17.5\r\n")
                   .arg(1 + minute / 1440, 2, 10, QChar(u'0'))
                   .arg(hour, 2, 10, QChar(u'0'))
                   .arg(minute % 60, 2, 10, QChar(u'0'))
                   .arg(downSnr, 0, 'f', 1)
                   .toLatin1();
    }
    return log;
}

// Pixels of the colour laid over white at half strength or more, so the antialiased rows of a thin
// line still count.
int pixelsOf(const QImage& image, QRgb colour)
{
    const std::array<double, 3> towards{255.0 - qRed(colour), 255.0 - qGreen(colour), 255.0 - qBlue(colour)};
    const double length = towards[0] * towards[0] + towards[1] * towards[1] + towards[2] * towards[2];
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::array<double, 3> away{255.0 - qRed(line[x]), 255.0 - qGreen(line[x]), 255.0 - qBlue(line[x])};
            const double strength = (away[0] * towards[0] + away[1] * towards[1] + away[2] * towards[2]) / length;
            double off = 0;
            for (std::size_t i = 0; i < away.size(); ++i)
                off += qAbs(away[i] - strength * towards[i]);
            if (strength >= 0.5 && off < 40)
                ++count;
        }
    }
    return count;
}

} // namespace

// The page is what the user hands on: a real browser must load it without complaint and show both
// charts in the window's series colours, with nothing fetched from anywhere.
class TestReportPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void page_isSelfContained();
    void browser_showsCharts();

private:
    QByteArray runBrowser(const QStringList& arguments, int& exitCode);

    QTemporaryDir m_dir;
    QString m_page;
    QString m_browser;
};

void TestReportPage::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    QVERIFY2(!m_browser.isEmpty(), "chromium is needed to render the report: install the Debian package chromium");
    QFile log(m_dir.filePath(QStringLiteral("stats.csv")));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write(simulatedLog());
    log.close();
    QString errors;
    QTextStream stream(&errors);
    QCOMPARE(
        ReportCommand::run({QStringLiteral("--report"), QStringLiteral("--csv"), log.fileName()}, m_dir.path(), stream),
        int(ReportCommand::written));
    m_page = m_dir.filePath(QStringLiteral("stats-report.html"));
}

void TestReportPage::page_isSelfContained()
{
    QFile page(m_page);
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll().toLower();
    for (const char* fetching : {"<script", " src=", " href=", "url(", "@import", "<link", "<img"})
        QVERIFY2(!html.contains(fetching), fetching);
    QCOMPARE(html.count("<svg"), 2);
}

QByteArray TestReportPage::runBrowser(const QStringList& arguments, int& exitCode)
{
    QProcess browser;
    // Tests run as root in CI, where the browser's sandbox cannot start.
    browser.start(m_browser,
        QStringList{QStringLiteral("--headless"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
            QStringLiteral("--hide-scrollbars"), QStringLiteral("--enable-logging=stderr"),
            QStringLiteral("--user-data-dir=") + m_dir.filePath(QStringLiteral("browser"))}
            + arguments + QStringList{QStringLiteral("file://") + m_page});
    if (!browser.waitForFinished(90000)) {
        browser.kill();
        browser.waitForFinished();
    }
    exitCode = browser.exitStatus() == QProcess::NormalExit ? browser.exitCode() : -1;
    QTest::qWait(0);
    return browser.readAllStandardOutput() + browser.readAllStandardError();
}

void TestReportPage::browser_showsCharts()
{
    const QString shot = m_dir.filePath(QStringLiteral("page.png"));
    int exitCode = 0;
    const QByteArray log
        = runBrowser({QStringLiteral("--window-size=1000,1100"), QStringLiteral("--screenshot=") + shot}, exitCode);
    QVERIFY2(exitCode == 0, log.constData());
    QVERIFY2(!log.contains("CONSOLE"), log.constData());
    QVERIFY2(!log.contains("net::ERR"), log.constData());

    const QImage image(shot);
    QVERIFY2(!image.isNull(), log.constData());
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    const std::array<QRgb, 4> seriesColours{qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(192, 0, 192), qRgb(0, 128, 0)};
    for (const QRgb colour : seriesColours)
        QVERIFY2(pixelsOf(pixels, colour) > 200, qPrintable(QString::number(colour, 16)));
    QVERIFY(pixelsOf(pixels, qRgb(255, 196, 196)) > 50); // the drop's shading

    const QByteArray dom = runBrowser({QStringLiteral("--dump-dom")}, exitCode);
    QCOMPARE(exitCode, 0);
    QCOMPARE(dom.count("<path class=\"series\""), 4);
    QVERIFY(dom.contains("<h1>Line report</h1>"));
}

QTEST_GUILESS_MAIN(TestReportPage)
#include "TestReportPage.moc"
