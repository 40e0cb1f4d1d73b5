#include "report/ReportCommand.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// Two days at five-minute spacing: evening noise, one drop and a pause of three hours.
QByteArray simulatedLog()
{
    QByteArray log = "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n";
    for (int minute = 0; minute < 2 * 24 * 60; minute += 5) {
        const int hour = minute / 60 % 24;
        const double downSnr = minute == 600 ? 3.0 : 9.0 - (hour >= 19 ? 2.0 : 0.0) + (minute % 7) * 0.1;
        if (minute <= 1800 || minute >= 1980)
            log += QString::asprintf(
                "%02d/03/2026,%02d:%02d:00,%.1f,11.5,31.0,17.5\r\n", 1 + minute / 1440, hour, minute % 60, downSnr)
                       .toLatin1();
    }
    return log;
}

// Pixels of the colour laid over white at half strength or more, so the antialiased rows of a thin
// line still count.
int pixelsOf(const QImage& image, QRgb colour)
{
    const QList<int> towards{255 - qRed(colour), 255 - qGreen(colour), 255 - qBlue(colour)};
    const int length = towards[0] + towards[1] + towards[2];
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const QList<int> away{255 - qRed(pixel), 255 - qGreen(pixel), 255 - qBlue(pixel)};
            const double strength = double(away[0] + away[1] + away[2]) / length;
            bool near = strength >= 0.5;
            for (int i = 0; i < 3; ++i)
                near = near && qAbs(away[i] - strength * towards[i]) < 20;
            count += near ? 1 : 0;
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
    // The page as written: both charts and the four series, with nothing to fetch.
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile log(m_dir.filePath(QStringLiteral("stats.csv")));
        QVERIFY(log.open(QIODevice::WriteOnly) && log.write(simulatedLog()) > 0);
        log.close();
        QString errors;
        QTextStream stream(&errors);
        QCOMPARE(ReportCommand::run({"--report", "--csv", log.fileName()}, m_dir.path(), stream),
            int(ReportCommand::written));
        m_page = m_dir.filePath(QStringLiteral("stats-report.html"));
        QFile page(m_page);
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray html = page.readAll();
        for (const char* fetching : {"<script", " src=", " href=", "url(", "@import", "<link", "<img"})
            QVERIFY2(!html.toLower().contains(fetching), fetching);
        QCOMPARE(html.count("<svg"), 2);
        QCOMPARE(html.count("<path class=\"series\""), 4);
        QVERIFY(html.contains("<h1>Line report</h1>"));
    }

    void browser_showsCharts()
    {
        const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        QVERIFY2(!browser.isEmpty(), "chromium is needed to render the report: install the Debian package chromium");
        const QString shot = m_dir.filePath(QStringLiteral("page.png"));
        QProcess process;
        // Tests run as root in CI, where the browser's sandbox cannot start.
        process.start(browser,
            {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--enable-logging=stderr",
                "--user-data-dir=" + m_dir.filePath(QStringLiteral("browser")), "--window-size=1000,1100",
                "--screenshot=" + shot, "file://" + m_page});
        if (!process.waitForFinished(90000))
            process.kill();
        process.waitForFinished();
        const QByteArray log = process.readAllStandardOutput() + process.readAllStandardError();
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, log.constData());
        QVERIFY2(!log.contains("CONSOLE") && !log.contains("net::ERR"), log.constData());

        const QImage image(shot);
        QVERIFY2(!image.isNull(), log.constData());
        for (const QRgb colour : {qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(192, 0, 192), qRgb(0, 128, 0)})
            QVERIFY2(pixelsOf(image, colour) > 200, qPrintable(QString::number(colour, 16)));
        QVERIFY(pixelsOf(image, qRgb(255, 196, 196)) > 50); // the drop's shading
    }

private:
    QTemporaryDir m_dir;
    QString m_page;
};

QTEST_GUILESS_MAIN(TestReportPage)
#include "TestReportPage.moc"
