#include "PlantedLogs.h"
#include "report/DayMedians.h"
#include "report/LogLine.h"
#include "report/ReportBuilder.h"
#include "report/ReportCommand.h"
#include "report/RobustStatistics.h"
#include "report/WallClock.h"
#include "support/FileBytes.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimeZone>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>

using Series = std::vector<double>;

Q_DECLARE_METATYPE(PlantedLogs::Scenario)

namespace {

// count captures from the start of the year, each the given spacing after the one before, with the
// four values of each: by default the line up.
QByteArray generatedLog(
    int year, qint64 count, const std::function<qint64(qint64)>& spacingBefore,
    const std::function<QByteArray(qint64)>& values = [](qint64) { return QByteArray("9.0,11.0,30.0,20.0"); })
{
    QByteArray log;
    qint64 stamp = WallClock::stampOf(year, 1, 1, 0, 0, 0);
    for (qint64 i = 0; i < count; ++i) {
        stamp += i > 0 ? spacingBefore(i) : 0;
        const QByteArray iso = WallClock::isoDateTime(stamp).toLatin1();
        log += iso.mid(8, 2) + '/' + iso.mid(5, 2) + '/' + iso.left(4) + ',' + iso.mid(11) + ',' + values(i) + '\n';
    }
    return log;
}

// The kind of file the path names, links followed; 0 for none.
unsigned kindOf(const QString& path)
{
    struct stat info = {};
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
    else if (kind == QLatin1String("old-page"))
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

// A capture of the wall-clock time, the line down (Down SNR under the threshold) or up.
LogCapture capture(qint64 wallStamp, bool down)
{
    return {wallStamp, {down ? 3.0f : 9.0f, 11.0f, 30.0f, 20.0f}, 0xfu};
}

// Pixels of the colour laid over white at half strength or more, so the antialiased rows of a thin
// line still count.
int pixelsOf(const QImage& image, QRgb colour)
{
    const std::array<int, 3> towards{255 - qRed(colour), 255 - qGreen(colour), 255 - qBlue(colour)};
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const std::array<int, 3> away{255 - qRed(pixel), 255 - qGreen(pixel), 255 - qBlue(pixel)};
            const double strength = double(away[0] + away[1] + away[2]) / (towards[0] + towards[1] + towards[2]);
            const auto near = [&](std::size_t i) { return qAbs(away[i] - strength * towards[i]) < 20; };
            count += strength >= 0.5 && near(0) && near(1) && near(2) ? 1 : 0;
        }
    return count;
}

// A table row whose cells wrap like a call's arguments.
template <typename... Cells> void row(const char* name, const Cells&... cells)
{
    (QTest::newRow(name) << ... << cells);
}

// Counts, in the loaded page, the dates whose text the layout broke over lines.
const QByteArray wrappedDatesScript = R"(<script>
let wrapped = 0;
const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
for (let node = walker.nextNode(); node; node = walker.nextNode())
  for (const match of node.data.matchAll(/\d{4}-\d{2}(-\d{2})?( \d{2}:\d{2}:\d{2})?/g)) {
    const range = document.createRange();
    range.setStart(node, match.index);
    range.setEnd(node, match.index + match[0].length);
    wrapped += new Set(Array.from(range.getClientRects(), rect => Math.round(rect.top))).size > 1 ? 1 : 0;
  }
document.body.setAttribute('data-wrapped', wrapped);
</script>)";

} // namespace

// The report module from the command line to the page and the JSON figures: a known log, the period
// limits, and bad inputs that must end in one clear line or a report that counts what it skipped;
// every kind of log line through the parse; the builder's records bounded whatever the log holds, and
// clock changes measured in real time by the zone's rules; the page in a real browser, on screen and
// printed, with nothing fetched from anywhere; and findings from simulated logs whose truth is known:
// each planted pattern found within PlantedLogs' tolerances in every seed, plain noise silent in nine
// seeds of ten, and the statistics beneath.
class TestReport : public QObject
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
        const QByteArray none; // null: no log written
        QByteArray garbage(1 << 20, '\0');
        for (qsizetype i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919 + i / 13) % 251);

        QTest::newRow("separate layout, CR LF") << known << "" << 0 << "known.json";
        // The first day's last capture is down: its drop ends with the period, at that capture.
        QTest::newRow("to the first day") << known << "--to 2026-03-01" << 0 << "first-day.json";
        // The drop that began before the period ends at its first capture: no time of the period down.
        QTest::newRow("from the second day") << known << "--from=2026-03-02" << 0 << "second-day.json";

        QTest::newRow("missing file") << none << "" << 1 << "there is no such file";
        QTest::newRow("folder in its place") << none << "--csv {folder}stats.csv" << 1 << "it is a folder";
        QTest::newRow("FIFO in its place") << none << "--csv {fifo}stats.csv" << 1 << "it is a FIFO";
        QTest::newRow("endless device") << none << "--csv {zero-device}stats.csv" << 1 << "a device, not a file";
        QTest::newRow("link loop instead") << none << "--csv {link-loop}stats.csv" << 1 << "links form a loop";
        QTest::newRow("binary garbage") << garbage << "" << 1 << "holds no captures";
        QTest::newRow("period without captures") << good << "--from 2030-01-01" << 1 << "holds no captures from 2030";
        QTest::newRow("report unwritable") << good << "--out /no-folder/page.html" << 1 << "cannot write the report";

        const QString overLog = QStringLiteral("it is the log the report reads");
        QTest::newRow("page over the log") << good << "--out {}stats.csv" << 2 << overLog;
        QTest::newRow("page over the log spelt otherwise") << good << "--out {}./stats.csv" << 2 << overLog;
        QTest::newRow("JSON over the log") << good << "--json {}stats.csv" << 2 << overLog;
        QTest::newRow("page a link to the log") << good << "--out {log-link}page.html" << 2 << overLog;
        QTest::newRow("page a device node") << good << "--out {device}page.html" << 2 << "a device, not a regular file";
        QTest::newRow("JSON a FIFO") << good << "--json {fifo}figures" << 2 << "it is a FIFO";
        QTest::newRow("page a folder") << good << "--out {folder}page.html" << 2 << "it is a folder";
        QTest::newRow("page replaces an older one") << good << "--out {old-page}page.html" << 0 << "\"captures\": 1,";

        // The period's first capture finds the line down since 23:00 the day before.
        row("drop carried into the period",
            QByteArray("28/02/2026,22:00:00,9,11,30,20\n28/02/2026,23:00:00,3,11,30,20\n"
                       "01/03/2026,00:00:00,3,11,30,20\n01/03/2026,01:00:00,3,11,30,20\n"
                       "01/03/2026,02:00:00,9,11,30,20\n01/03/2026,03:00:00,9,11,30,20\n"),
            "--from 2026-03-01", 0, "\"drops\": 1,\n  \"down_seconds\": 7200,");
        // 5000 captures a minute apart, then 60,000 five minutes apart with two pauses of two days.
        const auto changing = [](qint64 i) { return i < 5000 ? 60 : i == 6000 || i == 60000 ? 172800 : 300; };
        row("interval changes", generatedLog(2026, 65000, changing), "", 0,
            "\"gaps\": [\n    {\"start\": \"2026-01-07T22:39:00\", \"end\": \"2026-01-09T22:39:00\", "
            "\"seconds\": 172800},\n    {\"start\": \"2026-07-16T10:34:00\", \"end\": \"2026-07-18T10:34:00\", "
            "\"seconds\": 172800}\n  ]");
        // 55,000 pauses of ten minutes, one after every second capture a minute apart.
        row("more gaps than the page lists", generatedLog(2026, 165001, [](qint64 i) { return i % 3 == 0 ? 600 : 60; }),
            "", 0, "{\"start\": \"2027-04-04T07:50:00\", \"end\": \"2027-04-04T08:00:00\", \"seconds\": 600}\n  ]");
        row("years 0001 to 9999", generatedLog(1, 365206, [](qint64) { return 10 * WallClock::secondsPerDay; }), "", 0,
            "{\"date\": \"9999\", \"captures\": 36,");
        const QString counts = QStringLiteral("\"captures\": %1,\n  \"skipped_lines\": %2,");
        row("lines cut short", good + "01/03/2026,10:01:00,8.0,12\n01/03/2026,10:0", "", 0, counts.arg(1).arg(2));
        row("line of a megabyte", good + garbage.replace('\n', 'x') + "\n" + good, "", 0, counts.arg(2).arg(1));
        row("no four numbers ever", QByteArray("01/03/2026,10:00:00,NA,NA,NA,NA\n"), "", 0, counts.arg(1).arg(0));

        QTest::newRow("unknown argument") << good << "--bogus" << 2 << "unknown argument \"--bogus\"";
        QTest::newRow("value missing") << good << "--csv" << 2 << "--csv needs a value";
        QTest::newRow("date that does not exist") << good << "--from 2026-02-30" << 2 << "date that exists";
        QTest::newRow("zone named") << good << "--tz Europe/Berlin" << 0 << "\"time_zone\": \"Europe/Berlin\",";
        QTest::newRow("unknown zone") << good << "--tz Mars/Olympus" << 2 << "--tz takes a time zone";
        QTest::newRow("period backwards") << good << "--from 2026-03-02 --to 2026-03-01" << 2 << "comes after --to";
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
            QVERIFY(fileBytes(page).startsWith("<!DOCTYPE html>") && QFileInfo(page).size() <= 16 << 20);
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
            "[Options]\r\nOutput filename=line log.csv\r\n[Tweaks]\r\nSNR threshold=5\r\nAtt. threshold=52\r\n");
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
        // Its kind, or for a capture its time, which of the four values are numbers (bit 0 the first)
        // and the first value when it is one.
        const LogLine made = parseLogLine(std::string_view(line.constData(), std::size_t(line.size())));
        const unsigned mask = made.capture.numberMask;
        QCOMPARE(made.kind != LogLineKind::capture
                ? QStringList({"capture", "header", "blank", "bad"})[int(made.kind)]
                : WallClock::isoDateTime(made.capture.stamp) + u' ' + QString::number(mask)
                    + ((mask & 1u) != 0 ? u' ' + QString::number(made.capture.values[0]) : QString()),
            parsed);
    }

    void held_data()
    {
        QTest::addColumn<int>("captures"); // from the start of year 1
        QTest::addColumn<int>("spacing"); // seconds; with pauses every third spacing is ten times as long
        QTest::addColumn<QString>("pattern"); // "pauses", or "drops": every other capture finds the line down
        QTest::addColumn<RowSpan>("span"); // of a row of the day table
        QTest::newRow("a capture an hour for 20 years") << 175320 << 3600 << "" << RowSpan::month;
        QTest::newRow("a capture a day, years 0001 to 9999") << 3652059 << 86400 << "" << RowSpan::year;
        QTest::newRow("a pause after every third capture") << 300001 << 60 << "pauses" << RowSpan::day;
        QTest::newRow("a drop at every other capture") << 400000 << 60 << "drops" << RowSpan::day;
    }

    void held()
    {
        QFETCH(int, captures);
        QFETCH(int, spacing);
        QFETCH(QString, pattern);
        QFETCH(RowSpan, span);
        const bool pauses = pattern == u"pauses";
        const bool drops = pattern == u"drops";
        ReportBuilder builder(6.0f, 50.0f, {}, m_dir->path());
        qint64 stamp = WallClock::stampOf(1, 1, 1, 0, 0, 0);
        std::size_t most = 0;
        for (qint64 i = 0; i < captures; ++i) {
            stamp += i == 0 ? 0 : pauses && i % 3 == 0 ? 10 * qint64(spacing) : qint64(spacing);
            builder.addCapture(capture(stamp, drops && i % 2 == 1));
            most = std::max(most, builder.heldRecords());
        }
        QVERIFY2(most <= 9999 + 2 * ReportBuilder::maxListed + GapList::heldInMemory + 2 * DayMedians::maxDays,
            qPrintable(QString::number(most)));
        const ReportFigures figures = builder.finish();
        QCOMPARE(figures.gaps.count(), qint64(pauses ? (captures - 1) / 3 : 0));
        QCOMPARE(figures.drops, qint64(drops ? captures / 2 : 0));
        QCOMPARE(figures.daySpan, span);
        QVERIFY(figures.days.size() <= std::max<std::size_t>(DayTable::maxRows, 9999));
    }

    void acrossChange_data()
    {
        // "zone: " and stretches "YYYY-MM-DD HH:MM count" of captures a minute apart from that wall-clock
        // time, "down" when they find the line down; the date is left out while it stays the same.
        QTest::addColumn<QString>("log");
        // Seconds down, covered and up, then a gap's seconds and end when there is one.
        QTest::addColumn<QString>("expected");
        // Autumn: 02:00 summer time is 01:00 winter time in London, 03:00 is 02:00 in Berlin.
        row("autumn, London, captures all through",
            "Europe/London: 2026-10-25 01:00 50, 01:50 10 down, 01:00 10 down, 01:10 21", "1200 5400 4200");
        row("autumn, London, nothing captured while down", "Europe/London: 2026-10-25 00:40 71, 01:51 1 down, 01:11 20",
            "1200 5400 5400 1200 2026-10-25T01:11:00");
        row("autumn, Berlin, captures all through",
            "Europe/Berlin: 2026-10-25 02:00 50, 02:50 10 down, 02:00 10 down, 02:10 21", "1200 5400 4200");
        row("autumn, Berlin, a day of the repeated hour without a drop",
            "Europe/Berlin: 2026-10-24 23:00 240, 2026-10-25 02:00 120", "0 21540 21540");
        // Wall-clock minutes for two weeks: the hour after 02:59 summer time is a pause of 61 min.
        row("autumn, Berlin, two weeks without the repeated hour", "Europe/Berlin: 2026-10-18 00:00 20160",
            "0 1209480 1209480 3660 2026-10-25T03:00:00");
        // Spring: 01:00 winter time is 02:00 summer time in London, 02:00 is 03:00 in Berlin.
        row("spring, London, captures all through",
            "Europe/London: 2026-03-29 00:30 20, 00:50 10 down, 02:00 10 down, 02:10 21", "1200 3600 2400");
        // A clock that missed the change writes the skipped hour: it counts from the old offset.
        row("spring, London, the skipped hour written",
            "Europe/London: 2026-03-29 00:30 20, 00:50 10 down, 01:00 10 down, 01:10 21", "1200 3600 2400");
        row("spring, Berlin, captures all through",
            "Europe/Berlin: 2026-03-29 01:30 20, 01:50 10 down, 03:00 10 down, 03:10 21", "1200 3600 2400");
        row("spring, Berlin, nothing captured while down", "Europe/Berlin: 2026-03-29 01:00 50, 01:50 1 down, 03:10 20",
            "1200 4140 4140 1200 2026-03-29T03:10:00");
        row("no summer time", "UTC: 2026-10-25 01:00 50, 01:50 20 down, 02:10 20", "1200 5340 4140");
    }

    void acrossChange()
    {
        QFETCH(QString, log);
        QFETCH(QString, expected);

        ReportBuilder builder(6.0f, 50.0f, {}, {}, QTimeZone(log.section(QStringLiteral(": "), 0, 0).toUtf8()));
        QString date;
        for (const QString& stretch : log.section(QStringLiteral(": "), 1).split(QStringLiteral(", "))) {
            QStringList words = stretch.split(u' ');
            if (words.front().contains(u'-'))
                date = words.takeFirst();
            const QDate day = QDate::fromString(date, Qt::ISODate);
            const qint64 from = WallClock::stampOf(
                day.year(), day.month(), day.day(), words[0].left(2).toInt(), words[0].mid(3).toInt(), 0);
            for (int minute = 0; minute < words[1].toInt(); ++minute)
                builder.addCapture(capture(from + qint64(minute) * 60, words.size() > 2));
        }
        const ReportFigures figures = builder.finish();
        const QStringList figure = expected.split(u' ');
        const qint64 down = figure[0].toLongLong();
        QCOMPARE(figures.drops, qint64(down > 0 ? 1 : 0));
        QCOMPARE(figures.downSeconds, down);
        if (down > 0)
            QCOMPARE(figures.listedDrops.front().seconds, down);
        QCOMPARE(figures.coveredSeconds, figure[1].toLongLong());
        QCOMPARE(figures.upSeconds, figure[2].toLongLong());
        QCOMPARE(figures.gaps.totalSeconds(), figure.value(3).toLongLong());
        QCOMPARE(figures.gaps.count(), qint64(figure.size() > 3 ? 1 : 0));
        if (figure.size() > 3)
            QCOMPARE(WallClock::isoDateTime(figures.gaps.firstGaps().front().end), figure[4]);
    }

    // Three patterns at once: each is on the page, above the summary, as the JSON's text, and the
    // JSON holds the figures of its kind.
    void pageAndJson()
    {
        LogSimulation::Options options = PlantedLogs::options(60, 300);
        options.dropMinute = 7 * 60;
        options.drift = LogSimulation::Change{2, 0.06, {}};
        options.step = LogSimulation::Change{1, -3.0, options.start.addDays(30)};
        write(QStringLiteral("stats.csv"), PlantedLogs::logOf(options));
        QCOMPARE(report({"--csv", path("stats.csv"), "--json", path("figures.json")}), int(ReportCommand::written));
        const QString page = QString::fromUtf8(fileBytes(path(QStringLiteral("stats-report.html"))));
        const QJsonObject figures = QJsonDocument::fromJson(fileBytes(path("figures.json"))).object();
        QVERIFY(figures.value(QStringLiteral("findings_note")).isNull());
        const QMap<QString, QStringList> keys{{"drop_hour", {"from", "to", "days", "drop_days"}},
            {"trend", {"statistic", "db_per_day", "from", "to"}}, {"step", {"statistic", "date", "db"}}};
        QStringList kinds;
        for (const auto& value : figures.value(QStringLiteral("findings")).toArray()) {
            const QJsonObject finding = value.toObject();
            const QString kind = finding.value(QStringLiteral("kind")).toString();
            kinds << kind;
            for (const QString& key : keys.value(kind))
                QVERIFY2(finding.contains(key), qPrintable(kind + u' ' + key));
            const qsizetype at
                = page.indexOf(QStringLiteral("<li>%1</li>").arg(finding.value(QStringLiteral("text")).toString()));
            QVERIFY2(at > 0 && at < page.indexOf(QStringLiteral("<table class=\"summary\">")), qPrintable(kind));
        }
        QCOMPARE(kinds, QStringList({"drop_hour", "step", "trend"}));
    }

    // In a real browser at a phone's width the page loads without complaint, shows both charts in the
    // window's series colours and breaks no date over two lines (the tables scroll sideways instead).
    // Printed on A4, every page that holds rows of a table holds its headings too, and no date breaks.
    // The log: sixty days of five-minute captures with three drops a day, so that each table runs over pages.
    void browser()
    {
        const auto values = [](qint64 i) {
            return QByteArray::number(i % 96 == 60 ? 3.0 : 9.0 + double(i * 5 % 7) / 10, 'f', 1) + ",11.5,31.0,17.5";
        };
        write(QStringLiteral("stats.csv"),
            generatedLog(
                2026, qint64(60) * 288, [](qint64) { return 300; }, values));
        QVERIFY2(report({"--csv", path("stats.csv")}) == ReportCommand::written, qPrintable(m_errors));
        const QString page = path(QStringLiteral("stats-report.html"));
        writeFileBytes(page, fileBytes(page) + wrappedDatesScript);
        const QString shot = path(QStringLiteral("page.png"));
        const QString pdf = path(QStringLiteral("page.pdf"));
        QProcess browser;
        // Tests run as root in CI, where the browser's sandbox cannot start.
        browser.start(QStringLiteral("chromium"),
            {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--enable-logging=stderr",
                "--user-data-dir=" + path(QStringLiteral("browser")), "--window-size=400,2200", "--dump-dom",
                "--screenshot=" + shot, "--no-pdf-header-footer", "--print-to-pdf=" + pdf, "file://" + page});
        if (!browser.waitForFinished(90000))
            browser.kill();
        browser.waitForFinished();
        QVERIFY2(browser.error() != QProcess::FailedToStart,
            "chromium is needed to render the report: install the Debian package chromium");
        const QByteArray dom = browser.readAllStandardOutput() + browser.readAllStandardError();
        const QImage image(shot);
        QVERIFY2(browser.exitStatus() == QProcess::NormalExit && browser.exitCode() == 0 && !dom.contains("CONSOLE")
                && !dom.contains("net::ERR") && !image.isNull(),
            dom.constData());
        for (const QRgb colour : {qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(192, 0, 192), qRgb(0, 128, 0)})
            QVERIFY2(pixelsOf(image, colour) > 200, qPrintable(QString::number(colour, 16)));
        QVERIFY(pixelsOf(image, qRgb(255, 196, 196)) > 50); // the drop's shading
        QVERIFY2(dom.contains("data-wrapped=\"0\""), dom.left(4000).constData());
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
        QVERIFY2(text.waitForFinished(60000), "pdftotext is needed: install the Debian package poppler-utils");
        const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 4);
        const QRegularExpression dropRow(
            QStringLiteral("(?m)^\\s*\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\s+\\d{4}-"));
        const QRegularExpression dayRow(QStringLiteral("(?m)^\\s*\\d{4}-\\d{2}-\\d{2}\\s+\\d+\\s+\\d+\\s"));
        const QRegularExpression brokenDate(QStringLiteral("(?m)\\d{4}-(\\d{2}-?)?\\s*$"));
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

    void scenarios_data()
    {
        QTest::addColumn<PlantedLogs::Scenario>("scenario");
        QTest::addColumn<int>("misses"); // seeds whose findings may be wrong
        for (const PlantedLogs::Scenario& planted : PlantedLogs::plantedScenarios())
            QTest::newRow(qPrintable(planted.name)) << planted << 0;
        for (const PlantedLogs::Scenario& noise : PlantedLogs::noiseScenarios())
            QTest::newRow(qPrintable(noise.name)) << noise << 1;
    }

    void scenarios()
    {
        QFETCH(PlantedLogs::Scenario, scenario);
        QFETCH(int, misses);
        QStringList wrong;
        for (unsigned seed = 1; seed <= 10; ++seed) {
            const QString found = PlantedLogs::mismatch(scenario, PlantedLogs::run(scenario, seed));
            if (!found.isEmpty())
                wrong << QStringLiteral("seed %1: %2").arg(seed).arg(found);
        }
        QVERIFY2(wrong.size() <= misses, qPrintable(wrong.join(u'\n')));
    }

    // Too short or sparse a log says so; thirty drops within an hour are one bad day, no pattern.
    void notes_data()
    {
        QTest::addColumn<int>("days");
        // "noon": a daily drop near noon; "flapping": down at every fourth minute on 15 March from
        // 10:00; "midnight": down at each midnight capture; "none": no drop
        QTest::addColumn<QString>("drops");
        QTest::addColumn<int>("every"); // seconds between captures
        QTest::addColumn<QString>("note"); // the start of the note; empty: patterns are read
        QTest::newRow("13 days") << 13 << "noon" << 300 << "Too little log to look for patterns: only 13 days have 12";
        row("a capture every three hours", 60, "noon", 10800, "Too little log to look for patterns: no day");
        QTest::newRow("an hourly capture for 14 days") << 14 << "noon" << 3600 << "";
        QTest::newRow("one bad day") << 30 << "flapping" << 120 << "Nothing stands out from chance ";
        QTest::newRow("more readable days than kept") << 20300 << "none" << 7200 << "Too long a log to look";
        QTest::newRow("more drop days than kept") << 20300 << "midnight" << 10800 << "Too long a log to look";
    }

    void notes()
    {
        QFETCH(int, days);
        QFETCH(QString, drops);
        QFETCH(int, every);
        QFETCH(QString, note);
        LogSimulation::Options options = PlantedLogs::options(days, every);
        if (drops == u"noon")
            options.dropMinute = 12 * 60;
        const QString downAt = drops == u"flapping" ? "15/03/2026,10:(?:[024][048]|[135][26])" : "../../....,00:00";
        QString log = QString::fromLatin1(PlantedLogs::logOf(options));
        if (drops == u"flapping" || drops == u"midnight")
            log.replace(QRegularExpression(QString("(?m)^(%1:..),[^,]*").arg(downAt)), "\\1,3.0");
        const ReportFigures figures = PlantedLogs::figuresOf(log.toLatin1());
        QVERIFY(drops != u"flapping"
            || std::ranges::any_of(figures.days, [](const DayFigures& day) { return day.drops >= 15; }));
        QVERIFY2(note.isEmpty() ? figures.findings.note.isEmpty() : figures.findings.note.startsWith(note),
            qPrintable(figures.findings.note));
        QCOMPARE(figures.findings.list.empty(), !note.isEmpty());
    }

    // Each statistic against its exact value, also far out where careless sums underflow: the binomial
    // tail of n, p, k; the hypergeometric tail of population, marked, draws, k; and of a series, the
    // rank trend score, where it changes and the chance of that, and the slope through it at x = 0, 1, ...
    void statistics_data()
    {
        QTest::addColumn<QString>("statistic");
        QTest::addColumn<Series>("arguments");
        QTest::addColumn<double>("expected");
        QTest::newRow("eight heads of ten or more") << "binomial" << Series{10, 0.5, 8} << 0.0546875;
        QTest::newRow("at least nothing") << "binomial" << Series{10, 0.5, 0} << 1.0;
        QTest::newRow("more than all") << "binomial" << Series{10, 0.5, 11} << 0.0;
        QTest::newRow("below the mean") << "binomial" << Series{20, 0.1, 1} << 0.8784233454094307;
        QTest::newRow("far above a small mean") << "binomial" << Series{1000, 0.001, 10} << 1.0742833868464864e-07;
        QTest::newRow("all drawn are marked") << "hypergeometric" << Series{56, 40, 20, 20} << 0.0001754635299833635;
        QTest::newRow("drawn below the mean") << "hypergeometric" << Series{50, 25, 10, 3} << 0.9631225295177146;
        QTest::newRow("more marked than there are") << "hypergeometric" << Series{10, 3, 5, 4} << 0.0;
        const Series rising{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        const Series step{0, 0, 0, 0, 0, 5, 5, 5, 5, 5};
        QTest::newRow("rising") << "score" << rising << 3.9354796403996297;
        QTest::newRow("falling") << "score" << Series(rising.rbegin(), rising.rend()) << -3.9354796403996297;
        QTest::newRow("flat") << "score" << Series{4, 4, 4, 4, 4, 4} << 0.0;
        QTest::newRow("step after five") << "score" << step << 2.5067182457620487;
        QTest::newRow("step after five, where") << "change" << step << 5.0;
        QTest::newRow("step after five, by chance") << "change chance" << step << 0.06614250297660204;
        row("a line with two wild values", "slope", Series{1, 3, 5, 90, 9, 11, 13, -40, 17, 19, 21}, 2.0);
    }

    void statistics()
    {
        QFETCH(QString, statistic);
        QFETCH(Series, arguments);
        QFETCH(double, expected);
        using namespace RobustStatistics;
        const auto whole = [&](std::size_t i) { return qint64(arguments[i]); };
        std::vector<Point> points;
        for (std::size_t x = 0; x < arguments.size(); ++x)
            points.push_back({double(x), arguments[x]});
        const double value = statistic == u"binomial" ? binomialTail(whole(0), arguments[1], whole(2))
            : statistic == u"hypergeometric"          ? hypergeometricTail(whole(0), whole(1), whole(2), whole(3))
            : statistic == u"score"                   ? mannKendallScore(arguments)
            : statistic == u"change"                  ? double(pettittChange(arguments).index)
            : statistic == u"change chance"           ? pettittChange(arguments).p
                                                      : theilSenSlope(points);
        QVERIFY2(std::abs(value - expected) <= 1e-9 * std::max(std::abs(expected), 1e-9),
            qPrintable(QString::number(value, 'g', 17)));
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
            result << (named ? path(argument.section(u'}', 1)) : argument);
            if (!kind.isEmpty()) {
                makeNode(kind, result.last(), path(QStringLiteral("stats.csv")));
                m_made.append({result.last(), kindOf(result.last())});
            }
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

QTEST_GUILESS_MAIN(TestReport)
#include "TestReport.moc"
