#include "report/ReportCommand.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>

namespace {

// A log with every kind of line: a capture before four numbers are known, three drops (one never
// recovered), NA and quoted router texts that keep the previous value, two pauses, a header in the
// middle, and three lines to skip. Separate layout, CR LF.
const QByteArray knownLog = "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n"
                            "01/03/2026,10:00:00,NA,12.0,30.0,20.0\r\n"
                            "01/03/2026,10:01:00,8.0,12.0,30.0,20.0\r\n"
                            "01/03/2026,10:02:00,5.0,12.0,30.0,20.0\r\n"
                            "01/03/2026,10:03:00,NA,12.0,30.0,20.0\r\n"
                            "garbage\r\n"
                            "01/03/2026,10:04:00,8.0,12.0,30.0,20.0\r\n"
                            "01/03/2026,10:05:00,8.0,12.0,30.0,20.0\r\n"
                            "01/03/2026,10:25:00,8.0,12.0,30.0,51.0\r\n"
                            "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n"
                            "02/03/2026,00:00:00,8.0,12.0,30.0,20.0\r\n"
                            "02/03/2026,00:01:00,\"a,\"\"b\"\"\",12.0,30.0,20.0\r\n"
                            "02/03/2026,00:02:00,8.0,12.0,30.0\r\n"
                            "31/02/2026,00:03:00,8.0,12.0,30.0,20.0\r\n"
                            "02/03/2026,00:04:00,5.0,12.0,30.0,20.0\r\n"
                            "02/03/2026,00:06:00,5.0,12.0,30.0,20.0\r\n";

// The same log as the program writes it with "Separate date and time=0".
QByteArray joinedLayout(QByteArray log)
{
    log.replace("Date,Time,", "DateTime,");
    static const QRegularExpression dateComma(
        QStringLiteral("^(\\d\\d/\\d\\d/\\d{4}),"), QRegularExpression::MultilineOption);
    return QString::fromLatin1(log).replace(dateComma, QStringLiteral("\\1 ")).toLatin1();
}

} // namespace

// The report command from the command line to the JSON figures: every figure of a known log, both
// layouts, the period limits, and the bad inputs that must end in one clear line or a report that
// counts what it skipped.
class TestReportCommand : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void figures_data();
    void figures();
    void dayFigures();
    void defaults_comeFromSettings();
    void badInput_data();
    void badInput();
    void badArguments_data();
    void badArguments();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void write(const QString& name, const QByteArray& content) const;
    int run(const QStringList& arguments);
    QJsonObject json() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_errors;
};

void TestReportCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_errors.clear();
}

void TestReportCommand::write(const QString& name, const QByteArray& content) const
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

int TestReportCommand::run(const QStringList& arguments)
{
    QTextStream errors(&m_errors);
    return ReportCommand::run(QStringList{QStringLiteral("--report")} + arguments, m_dir->path(), errors);
}

QJsonObject TestReportCommand::json() const
{
    QFile file(path(QStringLiteral("figures.json")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void TestReportCommand::figures_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QStringList>("period");
    QTest::addColumn<QByteArray>("tweaks"); // the "Tweaks" section of settings.ini
    // captures, skipped lines, drops, down seconds, longest drop, gaps
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    const QList<int> whole{11, 3, 3, 49140, 48900, 2};
    QTest::newRow("separate layout, CR LF")
        << knownLog << QStringList() << QByteArray() << whole << "2026-03-01T10:00:00"
        << "2026-03-02T00:06:00";
    QTest::newRow("joined layout, LF") << joinedLayout(knownLog).replace("\r\n", "\n") << QStringList() << QByteArray()
                                       << whole << "2026-03-01T10:00:00"
                                       << "2026-03-02T00:06:00";
    QTest::newRow("layouts mixed") << knownLog.first(knownLog.indexOf("02/03"))
            + joinedLayout(knownLog.sliced(knownLog.indexOf("02/03")))
                                   << QStringList() << QByteArray() << whole << "2026-03-01T10:00:00"
                                   << "2026-03-02T00:06:00";
    // The first day's last capture is down: its drop ends with the period, at that capture.
    QTest::newRow("to the first day") << knownLog << QStringList{"--to", "2026-03-01"} << QByteArray()
                                      << QList<int>{7, 3, 2, 120, 120, 1} << "2026-03-01T10:00:00"
                                      << "2026-03-01T10:25:00";
    // The drop that began before the period is not one of its drops.
    QTest::newRow("from the second day") << knownLog << QStringList{"--from=2026-03-02"} << QByteArray()
                                         << QList<int>{4, 3, 1, 120, 120, 0} << "2026-03-02T00:00:00"
                                         << "2026-03-02T00:06:00";
    QTest::newRow("one day by both limits") << knownLog << QStringList{"--from", "2026-03-02", "--to", "2026-03-02"}
                                            << QByteArray() << QList<int>{4, 3, 1, 120, 120, 0} << "2026-03-02T00:00:00"
                                            << "2026-03-02T00:06:00";
    QTest::newRow("attenuation threshold from the settings")
        << knownLog << QStringList() << QByteArray("Att. threshold=52\r\n") << QList<int>{11, 3, 2, 240, 120, 2}
        << "2026-03-01T10:00:00"
        << "2026-03-02T00:06:00";
    // Never up, so never a drop.
    QTest::newRow("SNR threshold from the settings") << knownLog << QStringList() << QByteArray("SNR threshold=9\r\n")
                                                     << QList<int>{11, 3, 0, 0, 0, 2} << "2026-03-01T10:00:00"
                                                     << "2026-03-02T00:06:00";
}

void TestReportCommand::figures()
{
    QFETCH(QByteArray, log);
    QFETCH(QStringList, period);
    QFETCH(QByteArray, tweaks);
    QFETCH(QList<int>, counts);
    QFETCH(QString, first);
    QFETCH(QString, last);

    write(QStringLiteral("stats.csv"), log);
    if (!tweaks.isEmpty())
        write(QStringLiteral("settings.ini"), "[Tweaks]\r\n" + tweaks);
    const QStringList arguments = QStringList{"--csv", path("stats.csv"), "--json", path("figures.json")} + period;
    QCOMPARE(run(arguments), int(ReportCommand::written));
    QCOMPARE(m_errors, QString());

    const QJsonObject figures = json();
    QCOMPARE(figures.value("captures").toInt(), counts[0]);
    QCOMPARE(figures.value("skipped_lines").toInt(), counts[1]);
    QCOMPARE(figures.value("drops").toInt(), counts[2]);
    QCOMPARE(figures.value("down_seconds").toInt(), counts[3]);
    QCOMPARE(figures.value("longest_drop_seconds").toInt(), counts[4]);
    QCOMPARE(figures.value("gaps").toArray().size(), counts[5]);
    QCOMPARE(figures.value("first").toString(), first);
    QCOMPARE(figures.value("last").toString(), last);
    QVERIFY(QFile::exists(path("stats-report.html")));
}

void TestReportCommand::dayFigures()
{
    write(QStringLiteral("stats.csv"), knownLog);
    QCOMPARE(run({"--csv", path("stats.csv"), "--json", path("figures.json")}), int(ReportCommand::written));
    const QJsonObject figures = json();

    const QJsonArray days = figures.value("days").toArray();
    QCOMPARE(days.size(), 2);
    const QJsonObject first = days[0].toObject();
    QCOMPARE(first.value("date").toString(), QStringLiteral("2026-03-01"));
    QCOMPARE(first.value("captures").toInt(), 7);
    QCOMPARE(first.value("drops").toInt(), 2);
    QCOMPARE(first.value("down_seconds").toInt(), 49020);
    const QJsonObject firstMin = first.value("min").toObject();
    const QJsonObject firstMax = first.value("max").toObject();
    QCOMPARE(firstMin.value("down_snr").toDouble(), 5.0);
    QCOMPARE(firstMax.value("down_snr").toDouble(), 8.0);
    QCOMPARE(firstMin.value("up_att").toDouble(), 20.0);
    QCOMPARE(firstMax.value("up_att").toDouble(), 51.0);
    QCOMPARE(firstMax.value("up_snr").toDouble(), 12.0);
    QCOMPARE(firstMin.value("down_att").toDouble(), 30.0);
    const QJsonObject second = days[1].toObject();
    QCOMPARE(second.value("date").toString(), QStringLiteral("2026-03-02"));
    QCOMPARE(second.value("captures").toInt(), 4);
    QCOMPARE(second.value("drops").toInt(), 1);
    QCOMPARE(second.value("down_seconds").toInt(), 120);
    // The quoted text kept 8.0, so the day never saw anything else above 5.
    QCOMPARE(second.value("max").toObject().value("down_snr").toDouble(), 8.0);

    const QJsonArray gaps = figures.value("gaps").toArray();
    QCOMPARE(gaps[0].toObject().value("start").toString(), QStringLiteral("2026-03-01T10:05:00"));
    QCOMPARE(gaps[0].toObject().value("seconds").toInt(), 1200);
    QCOMPARE(gaps[1].toObject().value("start").toString(), QStringLiteral("2026-03-01T10:25:00"));
    QCOMPARE(gaps[1].toObject().value("seconds").toInt(), 48900);
}

// Without --csv and --out the report reads the log the settings name, in the program's folder, and
// writes the page beside it.
void TestReportCommand::defaults_comeFromSettings()
{
    write(QStringLiteral("settings.ini"), "[Options]\r\nOutput filename=line log.csv\r\n");
    write(QStringLiteral("line log.csv"), knownLog);
    QCOMPARE(run({}), int(ReportCommand::written));
    QVERIFY(QFile::exists(path("line log-report.html")));
}

void TestReportCommand::badInput_data()
{
    QTest::addColumn<QByteArray>("content"); // written as stats.csv unless the row makes something else
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // part of the one error line; empty for a written report
    QTest::addColumn<int>("captures");
    QTest::addColumn<int>("skipped");

    const QByteArray good = "01/03/2026,10:00:00,8.0,12.0,30.0,20.0\n";
    QByteArray garbage(1 << 20, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + i / 13) % 251);

    QTest::newRow("missing file") << QByteArray("<missing>") << 1 << "there is no such file" << 0 << 0;
    QTest::newRow("folder in its place") << QByteArray("<folder>") << 1 << "it is a folder" << 0 << 0;
    QTest::newRow("empty file") << QByteArray() << 1 << "holds no captures (0 lines skipped)" << 0 << 0;
    QTest::newRow("headers only") << QByteArray("Date,Time,a,b,c,d\r\nDateTime,a,b,c,d\r\n\r\n") << 1
                                  << "holds no captures (0 lines skipped)" << 0 << 0;
    QTest::newRow("binary garbage") << garbage << 1 << "holds no captures" << 0 << 0;
    QTest::newRow("period without captures")
        << QByteArray("<period>") + good << 1 << "holds no captures from 2030" << 0 << 0;
    QTest::newRow("report cannot be written")
        << QByteArray("<unwritable>") + good << 1 << "cannot write the report" << 0 << 0;
    QTest::newRow("lines cut short") << good + "01/03/2026,10:01:00,8.0,12\n01/03/2026,10:0" << 0 << QString() << 1
                                     << 2;
    QTest::newRow("dates that do not exist")
        << good + "29/02/2026,10:00:00,8,12,30,20\n31/04/2026,10:00:00,8,12,30,20\n"
        << 0 << QString() << 1 << 2;
    QTest::newRow("values of any size") << good
            + "01/03/2026,10:01:00,99999999999999999999999999999999999999999,3e38,1e-6,-3e38\n"
                                        << 0 << QString() << 2 << 0;
    QTest::newRow("line of a megabyte") << good + garbage.replace('\n', 'x') + "\n" + good << 0 << QString() << 2 << 1;
    QTest::newRow("no four numbers ever")
        << QByteArray("01/03/2026,10:00:00,NA,NA,NA,NA\n") << 0 << QString() << 1 << 0;
}

void TestReportCommand::badInput()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(int, captures);
    QFETCH(int, skipped);

    QStringList extra;
    if (content == "<folder>")
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("stats.csv")));
    else if (content != "<missing>")
        write(QStringLiteral("stats.csv"), content.sliced(content.startsWith('<') ? content.indexOf('>') + 1 : 0));
    if (content.startsWith("<period>"))
        extra = QStringList{"--from", "2030-01-01"};
    if (content.startsWith("<unwritable>"))
        extra = QStringList{"--out", path("no folder/page.html")};

    const int result = run(QStringList{"--csv", path("stats.csv"), "--json", path("figures.json")} + extra);
    QCOMPARE(result, status);
    if (status != 0) {
        QVERIFY2(m_errors.contains(message), qPrintable(m_errors));
        QCOMPARE(m_errors.count(u'\n'), 1);
        QVERIFY(!QFile::exists(path("stats-report.html")));
        return;
    }
    QCOMPARE(json().value("captures").toInt(), captures);
    QCOMPARE(json().value("skipped_lines").toInt(), skipped);
    QCOMPARE(json().value("drops").toInt(), 0);
}

void TestReportCommand::badArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown argument") << QStringList{"--bogus"} << "unknown argument \"--bogus\"";
    QTest::newRow("value missing") << QStringList{"--csv"} << "--csv needs a value";
    QTest::newRow("empty value") << QStringList{"--out="} << "--out needs a value";
    QTest::newRow("date that does not exist") << QStringList{"--from", "2026-02-30"} << "date that exists";
    QTest::newRow("date in another form") << QStringList{"--to", "1/3/2026"} << "date that exists";
    QTest::newRow("period backwards") << QStringList{"--from", "2026-03-02", "--to", "2026-03-01"}
                                      << "--from comes after --to";
}

void TestReportCommand::badArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    write(QStringLiteral("stats.csv"), knownLog);
    QCOMPARE(run(QStringList{"--csv", path("stats.csv")} + arguments), int(ReportCommand::badArguments));
    QVERIFY2(m_errors.startsWith(QStringLiteral("linegauge: ")) && m_errors.contains(message), qPrintable(m_errors));
    QVERIFY(m_errors.contains(QStringLiteral("Usage: linegauge --report")));
    QVERIFY(!QFile::exists(path("stats-report.html")));
}

QTEST_GUILESS_MAIN(TestReportCommand)
#include "TestReportCommand.moc"
