#include "report/LogLine.h"
#include "report/ReportCommand.h"
#include "report/WallClock.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr qsizetype largestPage = qsizetype(16) << 20;

// count captures from the start of the year, each the given spacing after the one before; every
// capture finds the line up.
QByteArray generatedLog(int year, qint64 count, const std::function<qint64(qint64)>& spacingBefore)
{
    QByteArray log;
    qint64 stamp = WallClock::stampOf(year, 1, 1, 0, 0, 0);
    for (qint64 i = 0; i < count; ++i) {
        stamp += i > 0 ? spacingBefore(i) : 0;
        const QByteArray iso = WallClock::isoDateTime(stamp).toLatin1();
        log += iso.mid(8, 2) + '/' + iso.mid(5, 2) + '/' + iso.left(4) + ',' + iso.mid(11) + ",9.0,11.0,30.0,20.0\n";
    }
    return log;
}

// The kind of file the path names, links followed; 0 for none.
unsigned kindOf(const QString& path)
{
    struct stat info
    { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? unsigned(info.st_mode & S_IFMT) : 0u;
}

// What the log or an output is made as: a FIFO, a device like /dev/null or /dev/zero, a folder, a
// link to the log or a link loop; anything else is a plain file of the log's bytes or nothing.
void makeNode(const QString& kind, const QString& path, const QString& logPath)
{
    const QByteArray name = QFile::encodeName(path);
    bool made = true;
    if (kind == QLatin1String("fifo"))
        made = ::mkfifo(name.constData(), 0644) == 0;
    else if (kind == QLatin1String("device") || kind == QLatin1String("zero-device")) // needs root, as tests run
        made = ::mknod(name.constData(), S_IFCHR | 0644, makedev(1, kind == QLatin1String("device") ? 3 : 5)) == 0;
    else if (kind == QLatin1String("folder"))
        made = QDir().mkdir(path);
    else if (kind == QLatin1String("earlier-page"))
        writeFileBytes(path, "<html>an earlier page</html>");
    else if (kind == QLatin1String("log-link"))
        made = QFile::link(logPath, path);
    else if (kind == QLatin1String("link-loop"))
        made = QFile::link(path + QStringLiteral(".other"), path) && QFile::link(path, path + QStringLiteral(".other"));
    if (!made)
        qFatal("cannot make the %s %s", qPrintable(kind), name.constData());
}

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
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        m_made.clear();
    }

    // expected: the JSON figures' fixture, a part of the figures, or a part of the error text.
    void run_data()
    {
        QTest::addColumn<QByteArray>("log"); // null: none written
        // "{kind}name" stands for the path of name in the test's folder, made as a node of that kind; a
        // --csv given replaces the log's.
        QTest::addColumn<QString>("arguments"); // split at spaces
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

        QTest::newRow("separate layout, CR LF") << known << "" << 0 << "known.json";
        // The first day's last capture is down: its drop ends with the period, at that capture.
        QTest::newRow("to the first day") << known << "--to 2026-03-01" << 0 << "first-day.json";
        // The drop that began before the period ends at its first capture: no time of the period down.
        QTest::newRow("from the second day") << known << "--from=2026-03-02" << 0 << "second-day.json";

        QTest::newRow("missing file") << QByteArray() << "" << 1 << "there is no such file";
        QTest::newRow("folder in its place") << QByteArray() << "--csv {folder}stats.csv" << 1 << "it is a folder";
        QTest::newRow("FIFO in its place") << QByteArray() << "--csv {fifo}stats.csv" << 1 << "it is a FIFO";
        QTest::newRow("endless device in its place")
            << QByteArray() << "--csv {zero-device}stats.csv" << 1 << "it is a device, not a file";
        QTest::newRow("link loop in its place")
            << QByteArray() << "--csv {link-loop}stats.csv" << 1 << "its symbolic links form a loop";
        QTest::newRow("binary garbage") << garbage << "" << 1 << "holds no captures";
        QTest::newRow("period without captures") << good << "--from 2030-01-01" << 1 << "holds no captures from 2030";
        QTest::newRow("report cannot be written")
            << good << "--out /no-folder/page.html" << 1 << "cannot write the report";

        const QString overLog = QStringLiteral("it is the log the report reads");
        QTest::newRow("page over the log") << good << "--out {}stats.csv" << 2 << overLog;
        QTest::newRow("page over the log spelt otherwise") << good << "--out {}./stats.csv" << 2 << overLog;
        QTest::newRow("JSON over the log") << good << "--json {}stats.csv" << 2 << overLog;
        QTest::newRow("page a link to the log") << good << "--out {log-link}page.html" << 2 << overLog;
        QTest::newRow("page a device node")
            << good << "--out {device}page.html" << 2 << "it is a device, not a regular file";
        QTest::newRow("JSON a FIFO") << good << "--json {fifo}figures" << 2 << "it is a FIFO";
        QTest::newRow("page a folder") << good << "--out {folder}page.html" << 2 << "it is a folder";
        QTest::newRow("page replaces an earlier one")
            << good << "--out {earlier-page}page.html" << 0 << "\"captures\": 1,";

        // The period's first capture finds the line down since 23:00 the day before.
        QTest::newRow("drop carried into the period")
            << QByteArray("28/02/2026,22:00:00,9,11,30,20\n28/02/2026,23:00:00,3,11,30,20\n"
                          "01/03/2026,00:00:00,3,11,30,20\n01/03/2026,01:00:00,3,11,30,20\n"
                          "01/03/2026,02:00:00,9,11,30,20\n01/03/2026,03:00:00,9,11,30,20\n")
            << "--from 2026-03-01" << 0 << "\"drops\": 1,\n  \"down_seconds\": 7200,";
        // 5000 captures a minute apart, then 60,000 five minutes apart with two pauses of two days.
        const auto changing = [](qint64 i) { return i < 5000 ? 60 : i == 6000 || i == 60000 ? 172800 : 300; };
        QTest::newRow("interval changes")
            << generatedLog(2026, 65000, changing) << "" << 0
            << "\"gaps\": [\n    {\"start\": \"2026-01-07T22:39:00\", \"end\": \"2026-01-09T22:39:00\", "
               "\"seconds\": 172800},\n    {\"start\": \"2026-07-16T10:34:00\", \"end\": \"2026-07-18T10:34:00\", "
               "\"seconds\": 172800}\n  ]";
        // 55,000 pauses of ten minutes, one after every second capture a minute apart.
        QTest::newRow("more gaps than the page lists")
            << generatedLog(2026, 165001, [](qint64 i) { return i % 3 == 0 ? 600 : 60; }) << "" << 0
            << "{\"start\": \"2027-04-04T07:50:00\", \"end\": \"2027-04-04T08:00:00\", \"seconds\": 600}\n  ]";
        QTest::newRow("years 0001 to 9999")
            << generatedLog(1, 365206, [](qint64) { return 10 * WallClock::secondsPerDay; }) << "" << 0
            << "{\"date\": \"9999\", \"captures\": 36,";
        const QString counts = QStringLiteral("\"captures\": %1,\n  \"skipped_lines\": %2,");
        QTest::newRow("lines cut short") << good + "01/03/2026,10:01:00,8.0,12\n01/03/2026,10:0"
                                         << "" << 0 << counts.arg(1).arg(2);
        QTest::newRow("line of a megabyte")
            << good + garbage.replace('\n', 'x') + "\n" + good << "" << 0 << counts.arg(2).arg(1);
        QTest::newRow("no four numbers ever")
            << QByteArray("01/03/2026,10:00:00,NA,NA,NA,NA\n") << "" << 0 << counts.arg(1).arg(0);

        QTest::newRow("unknown argument") << good << "--bogus" << 2 << "unknown argument \"--bogus\"";
        QTest::newRow("value missing") << good << "--csv" << 2 << "--csv needs a value";
        QTest::newRow("date that does not exist") << good << "--from 2026-02-30" << 2 << "date that exists";
        QTest::newRow("zone named") << good << "--tz Europe/Berlin" << 0 << "\"time_zone\": \"Europe/Berlin\",";
        QTest::newRow("unknown zone") << good << "--tz Mars/Olympus" << 2 << "--tz takes a time zone";
        QTest::newRow("period backwards")
            << good << "--from 2026-03-02 --to 2026-03-01" << 2 << "--from comes after --to";
    }

    void run()
    {
        QFETCH(QByteArray, log);
        QFETCH(QString, arguments);
        QFETCH(int, status);
        QFETCH(QString, expected);

        if (!log.isNull())
            write(QStringLiteral("stats.csv"), log);
        const QStringList given = outputs(arguments.split(u' ', Qt::SkipEmptyParts));
        QCOMPARE(report(QStringList{"--csv", path("stats.csv"), "--json", path("figures.json")} + given), status);
        // Nothing is written unless the report is, and then only regular files in place of regular files.
        const qsizetype out = given.lastIndexOf(QStringLiteral("--out"));
        const QString page = out >= 0 ? given[out + 1] : path(QStringLiteral("stats-report.html"));
        QCOMPARE(QFile::exists(path("stats-report.html")), status == 0 && out < 0);
        if (status == 0)
            QVERIFY(fileBytes(page).startsWith("<!DOCTYPE html>") && QFileInfo(page).size() <= largestPage);
        if (!log.isNull())
            QVERIFY(fileBytes(path("stats.csv")) == log);
        for (const auto& [made, kind] : std::as_const(m_made))
            QCOMPARE(kindOf(made), kind);
        const QByteArray figures = fileBytes(path("figures.json"));
        QVERIFY(figures.count("\"date\"") <= 9999);
        if (expected == QLatin1String("known.json"))
            QCOMPARE(fileBytes(path("stats-report.html")), fixture(QStringLiteral("known.html")));
        if (expected.endsWith(QLatin1String(".json")))
            QCOMPARE(figures, fixture(expected));
        else if (status == 0)
            QVERIFY2(figures.contains(expected.toLatin1()), figures.constData());
        else
            QVERIFY2(m_errors.startsWith(QStringLiteral("linegauge: "))
                    && m_errors.section(u'\n', 0, 0).contains(expected)
                    && (m_errors.count(u'\n') == 1
                        || (status == 2 && m_errors.contains(QStringLiteral("Usage: linegauge")))),
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
    // The arguments with each "{kind}name" made and given as its path.
    QStringList outputs(const QStringList& arguments)
    {
        QStringList result;
        for (const QString& argument : arguments) {
            const bool named = argument.startsWith(u'{');
            const QString kind = named ? argument.section(u'}', 0, 0).mid(1) : QString();
            const QString made = named ? path(argument.section(u'}', 1)) : argument;
            if (!kind.isEmpty()) {
                makeNode(kind, made, path(QStringLiteral("stats.csv")));
                m_made.append({made, kindOf(made)});
            }
            result << made;
        }
        return result;
    }
    void write(const QString& name, const QByteArray& content) const { writeFileBytes(path(name), content); }
    int report(const QStringList& arguments)
    {
        m_errors.clear();
        QTextStream errors(&m_errors);
        // The figures do not depend on the zone of the machine that runs the test.
        const QStringList zone
            = arguments.contains(QStringLiteral("--tz")) ? QStringList() : QStringList{"--tz", "UTC"};
        return ReportCommand::run(QStringList{QStringLiteral("--report")} + zone + arguments, m_dir->path(), errors);
    }

    std::optional<QTemporaryDir> m_dir;
    QString m_errors;
    QList<std::pair<QString, unsigned>> m_made; // and what each must still be after the report
};

QTEST_GUILESS_MAIN(TestReportCommand)
#include "TestReportCommand.moc"
