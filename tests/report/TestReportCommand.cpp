#include "report/LogLine.h"
#include "report/ReportCommand.h"
#include "report/WallClock.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <optional>

namespace {

QByteArray fixture(const QString& name)
{
    return fileBytes(QStringLiteral(LINEGAUGE_TEST_DATA "/report/") + name);
}

// What the parse made of a line: its kind, or for a capture its time, which of the four values
// are numbers (bit 0 the first) and the first value when it is one.
QString summary(const LogLine& parsed)
{
    if (parsed.kind != LogLineKind::capture)
        return QString(parsed.kind == LogLineKind::header ? "header"
                : parsed.kind == LogLineKind::blank       ? "blank"
                                                          : "bad");
    const unsigned mask = parsed.capture.numberMask;
    return WallClock::isoDateTime(parsed.capture.stamp) + u' ' + QString::number(mask)
        + ((mask & 1u) != 0 ? u' ' + QString::number(parsed.capture.values[0]) : QString());
}

} // namespace

// The report command from the command line to the page and the JSON figures: a known log, the
// period limits, and the bad inputs that must end in one clear line or a report that counts what it
// skipped. Every line of the log goes through the line parse: both layouts, quoted router texts and
// whatever a cut-off or hand-edited file holds must come out as a capture, a header, or a line to skip.
class TestReportCommand : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    // expected: the JSON figures' fixture, a part of the figures, or a part of the error text.
    void run_data()
    {
        QTest::addColumn<QByteArray>("log"); // "<missing>" and "<folder>" stand for no file
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("expected");

        // known.csv has every kind of line: a capture before four numbers are known, three drops (one
        // never recovered), NA and quoted router texts that keep the previous value, two pauses, a
        // header in the middle, and three lines to skip. Separate layout, CR LF.
        const QByteArray known = fixture(QStringLiteral("known.csv"));
        const QByteArray good = "01/03/2026,10:00:00,8.0,12.0,30.0,20.0\n";
        QByteArray garbage(1 << 20, '\0');
        for (qsizetype i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919 + i / 13) % 251);

        QTest::newRow("separate layout, CR LF") << known << QStringList() << 0 << "known.json";
        // The first day's last capture is down: its drop ends with the period, at that capture.
        QTest::newRow("to the first day") << known << QStringList{"--to", "2026-03-01"} << 0 << "first-day.json";
        // The drop that began before the period is not one of its drops.
        QTest::newRow("from the second day") << known << QStringList{"--from=2026-03-02"} << 0 << "second-day.json";

        QTest::newRow("missing file") << QByteArray("<missing>") << QStringList() << 1 << "there is no such file";
        QTest::newRow("folder in its place") << QByteArray("<folder>") << QStringList() << 1 << "it is a folder";
        QTest::newRow("binary garbage") << garbage << QStringList() << 1 << "holds no captures";
        QTest::newRow("period without captures")
            << good << QStringList{"--from", "2030-01-01"} << 1 << "holds no captures from 2030";
        QTest::newRow("report cannot be written")
            << good << QStringList{"--out", "/no folder/page.html"} << 1 << "cannot write the report";

        const QString counts = QStringLiteral("\"captures\": %1,\n  \"skipped_lines\": %2,");
        QTest::newRow("lines cut short") << good + "01/03/2026,10:01:00,8.0,12\n01/03/2026,10:0" << QStringList() << 0
                                         << counts.arg(1).arg(2);
        QTest::newRow("line of a megabyte")
            << good + garbage.replace('\n', 'x') + "\n" + good << QStringList() << 0 << counts.arg(2).arg(1);
        QTest::newRow("no four numbers ever")
            << QByteArray("01/03/2026,10:00:00,NA,NA,NA,NA\n") << QStringList() << 0 << counts.arg(1).arg(0);

        QTest::newRow("unknown argument") << good << QStringList{"--bogus"} << 2 << "unknown argument \"--bogus\"";
        QTest::newRow("value missing") << good << QStringList{"--csv"} << 2 << "--csv needs a value";
        QTest::newRow("date that does not exist")
            << good << QStringList{"--from", "2026-02-30"} << 2 << "date that exists";
        QTest::newRow("period backwards")
            << good << QStringList{"--from", "2026-03-02", "--to", "2026-03-01"} << 2 << "--from comes after --to";
    }

    void run()
    {
        QFETCH(QByteArray, log);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, expected);

        if (log == "<folder>")
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("stats.csv")));
        else if (log != "<missing>")
            write(QStringLiteral("stats.csv"), log);
        QCOMPARE(report(QStringList{"--csv", path("stats.csv"), "--json", path("figures.json")} + arguments), status);
        QCOMPARE(QFile::exists(path("stats-report.html")), status == 0);
        const QByteArray figures = fileBytes(path("figures.json"));
        if (expected == QLatin1String("known.json"))
            QCOMPARE(fileBytes(path("stats-report.html")), fixture(QStringLiteral("known.html")));
        if (expected.endsWith(QLatin1String(".json")))
            QCOMPARE(figures, fixture(expected));
        else if (status == 0)
            QVERIFY2(figures.contains(expected.toLatin1()), figures.constData());
        else
            QVERIFY2(m_errors.startsWith(QStringLiteral("linegauge: ")) && m_errors.contains(expected)
                    && (status == 2 ? m_errors.contains(QStringLiteral("Usage: linegauge --report"))
                                    : m_errors.count(u'\n') == 1),
                qPrintable(m_errors));
    }

    // Without --csv and --out the report reads the log the settings name, in the program's folder,
    // and writes the page beside it; both thresholds come from the settings too: with them every
    // capture of the known log is up.
    void settings()
    {
        write(QStringLiteral("settings.ini"),
            "[Options]\r\nOutput filename=line log.csv\r\n[Tweaks]\r\n"
            "SNR threshold=5\r\nAtt. threshold=52\r\n");
        write(QStringLiteral("line log.csv"), fixture(QStringLiteral("known.csv")));
        QCOMPARE(report({"--json", path("figures.json")}), int(ReportCommand::written));
        QCOMPARE(fileBytes(path("figures.json")), fixture(QStringLiteral("thresholds.json")));
        QVERIFY(QFile::exists(path("line log-report.html")));
    }

    // Each line of the fixture: the situation, the parse, and the line as a log holds it, each but the
    // last ended by a tab.
    void parse_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("parsed");
        for (const QByteArray& row : fixture(QStringLiteral("log-lines.txt")).split('\n')) {
            const QList<QByteArray> fields = row.split('\t');
            if (fields.size() >= 3)
                QTest::newRow(fields[0].constData())
                    << row.sliced(fields[0].size() + fields[1].size() + 2) << QString::fromLatin1(fields[1]);
        }
    }

    void parse()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, parsed);
        QCOMPARE(summary(parseLogLine(std::string_view(line.constData(), std::size_t(line.size())))), parsed);
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void write(const QString& name, const QByteArray& content) const { writeFileBytes(path(name), content); }
    int report(const QStringList& arguments)
    {
        m_errors.clear();
        QTextStream errors(&m_errors);
        return ReportCommand::run(QStringList{QStringLiteral("--report")} + arguments, m_dir->path(), errors);
    }

    std::optional<QTemporaryDir> m_dir;
    QString m_errors;
};

QTEST_GUILESS_MAIN(TestReportCommand)
#include "TestReportCommand.moc"
