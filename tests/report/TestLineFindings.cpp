#include "PlantedLogs.h"
#include "report/LogReader.h"
#include "report/ReportBuilder.h"
#include "report/ReportCommand.h"
#include "support/FileBytes.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr unsigned seeds = 10;

LogSimulation::Options simulated(int days, int every)
{
    LogSimulation::Options options;
    options.days = days;
    options.every = every;
    return options;
}

ReportFigures figuresOf(QByteArray log)
{
    QBuffer buffer(&log);
    buffer.open(QIODevice::ReadOnly);
    ReportBuilder builder(6.0f, 50.0f);
    LogReader::read(buffer, builder);
    return builder.finish();
}

} // namespace

// The findings read from simulated logs whose truth is known: every planted pattern must be found
// with its figures within PlantedLogs' tolerances, in every seed; plain noise with random drops must
// stay silent in nine seeds of ten; a log too short or sparse says so instead; and the page shows
// at its top exactly the sentences that the JSON carries with their figures.
class TestLineFindings : public QObject
{
    Q_OBJECT

private slots:
    void planted_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<unsigned>("seed");
        const std::vector<PlantedLogs::Scenario> scenarios = PlantedLogs::plantedScenarios();
        for (std::size_t i = 0; i < scenarios.size(); ++i) {
            for (unsigned seed = 1; seed <= seeds; ++seed)
                QTest::addRow("%s, seed %u", qPrintable(scenarios[i].name), seed) << int(i) << seed;
        }
    }

    void planted()
    {
        QFETCH(int, scenario);
        QFETCH(unsigned, seed);
        const PlantedLogs::Scenario planted = PlantedLogs::plantedScenarios()[std::size_t(scenario)];
        const QString wrong = PlantedLogs::mismatch(planted, PlantedLogs::run(planted, seed));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void noise_data()
    {
        QTest::addColumn<int>("scenario");
        const std::vector<PlantedLogs::Scenario> scenarios = PlantedLogs::noiseScenarios();
        for (std::size_t i = 0; i < scenarios.size(); ++i)
            QTest::newRow(qPrintable(scenarios[i].name)) << int(i);
    }

    void noise()
    {
        QFETCH(int, scenario);
        const PlantedLogs::Scenario noise = PlantedLogs::noiseScenarios()[std::size_t(scenario)];
        QStringList found;
        for (unsigned seed = 1; seed <= seeds; ++seed) {
            const QString wrong = PlantedLogs::mismatch(noise, PlantedLogs::run(noise, seed));
            if (!wrong.isEmpty())
                found << QStringLiteral("seed %1: %2").arg(seed).arg(wrong);
        }
        QVERIFY2(found.size() <= 1, qPrintable(found.join(u'\n')));
    }

    void tooLittle_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("every");
        QTest::addColumn<QString>("note"); // the start of the note; empty: patterns are read

        QTest::newRow("13 days") << 13 << 300 << "Too little log to look for patterns: only 13 days have 12";
        QTest::newRow("a capture every three hours") << 60 << 10800 << "Too little log to look for patterns: no day";
        QTest::newRow("an hourly capture for 14 days") << 14 << 3600 << "";
    }

    void tooLittle()
    {
        QFETCH(int, days);
        QFETCH(int, every);
        QFETCH(QString, note);
        PlantedLogs::Scenario scenario{QString(), std::nullopt, simulated(days, every)};
        scenario.options.dropMinute = 12 * 60; // a pattern that a long enough log would show
        const Findings findings = PlantedLogs::run(scenario, 1).findings;
        if (note.isEmpty()) {
            QVERIFY(findings.note.isEmpty());
            QVERIFY(!findings.list.empty());
        } else {
            QVERIFY2(findings.note.startsWith(note), qPrintable(findings.note));
            QVERIFY(findings.list.empty());
        }
    }

    // A day on which the line flapped thirty times within an hour is one day with drops, neither a
    // time of day nor a weekday that drops keep to.
    void oneBadDay()
    {
        const PlantedLogs::Scenario plain{QString(), std::nullopt, simulated(30, 120)};
        QByteArray log;
        LogSimulation::write(plain.options, [&log](std::string_view line) {
            QByteArray text(line.data(), qsizetype(line.size()));
            const int minute = text.startsWith("15/03/2026,10:") ? text.mid(14, 2).toInt() : -1;
            if (minute >= 0 && minute % 4 == 0)
                text = text.left(20) + "3.0" + text.mid(text.indexOf(',', 20));
            log += text;
        });
        const ReportFigures figures = figuresOf(log);
        QVERIFY(std::any_of(
            figures.days.begin(), figures.days.end(), [](const DayFigures& day) { return day.drops >= 15; }));
        QCOMPARE(figures.findings.note.left(31), QStringLiteral("Nothing stands out from chance "));
    }

    // Three patterns at once: each is on the page, above the summary, as the JSON's text, and the
    // JSON holds the figures of its kind.
    void pageAndJson()
    {
        LogSimulation::Options options = simulated(60, 300);
        options.dropMinute = 7 * 60;
        options.drift = LogSimulation::Change{2, 0.06, {}};
        options.step = LogSimulation::Change{1, -3.0, options.start.addDays(30)};
        QTemporaryDir dir;
        QByteArray log;
        LogSimulation::write(
            options, [&log](std::string_view line) { log.append(line.data(), qsizetype(line.size())); });
        writeFileBytes(dir.filePath(QStringLiteral("stats.csv")), log);
        QString errors;
        QTextStream stream(&errors);
        QCOMPARE(ReportCommand::run({"--report", "--csv", dir.filePath(QStringLiteral("stats.csv")), "--json",
                                        dir.filePath(QStringLiteral("figures.json"))},
                     dir.path(), stream),
            int(ReportCommand::written));

        const QString page = QString::fromUtf8(fileBytes(dir.filePath(QStringLiteral("stats-report.html"))));
        const QJsonObject figures
            = QJsonDocument::fromJson(fileBytes(dir.filePath(QStringLiteral("figures.json")))).object();
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
};

QTEST_GUILESS_MAIN(TestLineFindings)
#include "TestLineFindings.moc"
