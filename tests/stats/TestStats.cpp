#include "stats/CsvLog.h"
#include "stats/LineStatTable.h"
#include "stats/NumberFormat.h"
#include "stats/StatsLine.h"
#include "stats/StatsUpdater.h"
#include "support/FakeClock.h"
#include "support/FileBytes.h"
#include "support/RecordingStatsDisplay.h"
#include "support/RecordingStatusLine.h"
#include "support/RecordingTrayNotice.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <limits>
#include <sys/resource.h>

using Values = std::array<float, statCount>;
Q_DECLARE_METATYPE(QList<Values>)

namespace {

const QLocale german(QLocale::German, QLocale::Germany);
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
// Stands for a statistic that has had no number in this run: it keeps its 0.0 start value.
constexpr float never = -std::numeric_limits<float>::infinity();

// A statistics update after each capture, with everything it shows recorded.
struct Rig
{
    Rig() { updater.setThresholds(6.0f, 50.0f); }

    LineStatTable table;
    RecordingStatusLine statusLine;
    RecordingStatsDisplay display;
    RecordingTrayNotice tray;
    FakeClock clock{QDateTime(QDate(2026, 3, 5), QTime(23, 59, 58))};
    StatsUpdater updater{table, statusLine, display, tray, clock, german};
    float peak = 0.0f;

    void capture(const Values& values)
    {
        for (std::size_t i = 0; i < values.size(); ++i) {
            table.currentValues[i] = values[i] != never ? values[i] : table.currentValues[i];
            table.measured[i] = table.measured[i] || values[i] != never;
        }
        peak = updater.updateStats();
    }
};

// Slash-joined texts, and per statistic what the page carried: - no line, N number, A "NA", T text.
void setValues(LineStatTable& table, const QString& texts, const QString& seen)
{
    for (std::size_t i = 0; i < std::size_t(statCount); ++i) {
        table.valueTexts.at(i) = texts.split(u'/').at(qsizetype(i));
        table.pageValues.at(i) = PageValue(QStringLiteral("-NAT").indexOf(seen[qsizetype(i)]));
    }
}

} // namespace

// What each capture shows: minimum, maximum, line state and one balloon per drop, texts in a comma
// locale. And what it logs: the CSV file is the user's record of the line, so a failed write says so
// and leaves no broken line, and every line has exactly its header's layout, as spreadsheets read it
// by column.
class TestStats : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(path()); }

    // Steps: a capture finding the line Up or Down, + in the tray, - on screen; C acknowledges a balloon.
    void dropSequence_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("balloonsOn");
        QTest::addColumn<int>("balloons");
        QTest::addColumn<int>("trayRefreshes");
        QTest::newRow("first capture down in tray") << "D+" << true << 0 << 1;
        QTest::newRow("up, down, down in tray") << "U+ D+ D+" << true << 1 << 3;
        QTest::newRow("drop while shown, then down in tray") << "U- D- D+" << true << 0 << 1;
        QTest::newRow("balloons off") << "U+ D+ U+ D+" << false << 0 << 4;
        QTest::newRow("pending notice blocks second drop") << "U+ D+ U+ D+" << true << 1 << 4;
        QTest::newRow("acknowledged notice allows next drop") << "U+ D+ C U+ D+" << true << 2 << 4;
    }

    void dropSequence()
    {
        QFETCH(QString, steps);
        QFETCH(bool, balloonsOn);
        QFETCH(int, balloons);
        QFETCH(int, trayRefreshes);
        Rig rig;
        rig.updater.setDropNotices(balloonsOn);
        for (const QString& step : steps.split(u' ')) {
            rig.tray.inTray = step.endsWith(u'+');
            const bool up = step.startsWith(u'U');
            if (step == QLatin1String("C"))
                rig.updater.dropNoticeGone();
            else
                rig.capture({up ? 6.5f : 5.0f, 12.0f, 23.4f, 11.0f});
            QCOMPARE(rig.statusLine.colours.last(), up ? QColor(0, 128, 0) : QColor(255, 0, 0));
        }
        QCOMPARE(rig.tray.notices.size(), balloons);
        QCOMPARE(rig.display.lastDrops.size(), steps.count(u'D'));
        QCOMPARE(rig.display.lastDrops.last(), QStringLiteral("Last connection drop: Do. 05/03/2026 23:59:58"));
        QCOMPARE(rig.tray.tips.size(), trayRefreshes);
        QCOMPARE(rig.tray.tips.last(), QStringLiteral("Linegauge (Monitor ON)\r\nSNR:5/12\r\nAttn:23,4/11"));
        QCOMPARE(rig.updater.trayTip(), rig.tray.tips.last());
        // Stopping monitoring puts the tip back and leaves the drop notice as the captures left it.
        rig.updater.monitoringStopped();
        QCOMPARE(rig.updater.trayTip(), QStringLiteral("Linegauge (Monitor OFF)"));
        QCOMPARE(rig.updater.dropNoticeShown(), balloons > 0);
        for (const RecordingTrayNotice::Notice& notice : std::as_const(rig.tray.notices))
            QCOMPARE(notice.title + u'|' + notice.text,
                QStringLiteral("Linegauge|Do. 05/03/2026 23:59:58\r\nADSL connection dropped."));
    }

    // Shown: the window icons, then minimum and maximum as the labels show them, then the peak.
    void capture_data()
    {
        QTest::addColumn<QList<Values>>("captures");
        QTest::addColumn<QString>("shown");
        QTest::newRow("every value on its threshold")
            << QList<Values>{{6.0f, 6.0f, 50.0f, 50.0f}} << "small_online 6,0/6,0/50,0/50,0 6,0/6,0/50,0/50,0 50";
        QTest::newRow("up SNR 5.9") << QList<Values>{{10.0f, 5.9f, 30.0f, 30.0f}}
                                    << "small_offline 10,0/5,9/30,0/30,0 10,0/5,9/30,0/30,0 30";
        QTest::newRow("above 100 and below 0 keep the start values") << QList<Values>{
            {150.0f, -3.0f, 30.0f, 20.0f}} << "small_offline 100,0/-3,0/30,0/20,0 150,0/0,0/30,0/20,0 150";
        QTest::newRow("range accumulates, by less than 1 dB too") << QList<Values>{{10.0f, 10.0f, 30.0f, 30.0f},
            {12.0f, 9.5f, 30.0f, 30.5f}} << "small_online,small_online 10,0/9,5/30,0/30,0 12,0/10,0/30,0/30,5 30.5";
        // An undecided line shows no icon.
        QTest::newRow("never measured takes no part, the rest passing")
            << QList<Values>{{10.0f, 10.0f, 30.0f, never}} << " 10,0/10,0/30,0/ 10,0/10,0/30,0/ 30";
        QTest::newRow("one measured value past its threshold")
            << QList<Values>{{-4.0f, never, 60.0f, never}} << "small_offline -4,0//60,0/ 0,0//60,0/ 60";
        QTest::newRow("value not a number is down and leaves minimum, maximum and peak")
            << QList<Values>{{10.0f, 10.0f, 10.0f, 10.0f}, {notANumber, 4.0f, 4.0f, 4.0f}}
            << "small_online,small_offline 10,0/4,0/4,0/4,0 10,0/10,0/10,0/10,0 4";
    }

    void capture()
    {
        QFETCH(QList<Values>, captures);
        QFETCH(QString, shown);

        Rig rig;
        for (const Values& values : captures)
            rig.capture(values);
        const auto joined = [](const auto& texts) { return QStringList(texts.begin(), texts.end()).join(u'/'); };
        QCOMPARE(rig.display.icons.join(u',') + u' ' + joined(rig.display.minimum) + u' ' + joined(rig.display.maximum)
                + u' ' + QString::number(rig.peak),
            shown);
    }

    // A value as the labels and tips show it, and as a CSV field: text made safe for spreadsheets,
    // which would run a formula and break the row at a control character.
    void valueText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<char>("form"); // l label, t tip, f CSV field, n CSV field of a number or NA
        QTest::addColumn<QString>("text");
        QTest::newRow("label: exact half rounds away from zero") << "6.25" << 'l' << "6,3";
        QTest::newRow("label: small negative has no minus zero") << "-0.04" << 'l' << "0,0";
        QTest::newRow("label: large value has no grouping") << "1e7" << 'l' << "10000000,0";
        QTest::newRow("label: not a number") << "nan" << 'l' << "nan";
        QTest::newRow("tip: seven digits") << "1234567" << 't' << "1234567";
        QTest::newRow("field: bare CR, LF, NUL, escape and C1 control")
            << QStringView(u"6.5\r7\n8\0\x1b[1m\x85", 13).toString() << 'f' << "6.578[1m";
        QTest::newRow("field: formula with quotes")
            << "=HYPERLINK(\"http://x\",\"y\")" << 'f' << "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"";
        QTest::newRow("field: minus text") << "-x" << 'f' << "'-x";
        QTest::newRow("field: at formula after blanks") << "  @SUM(A1)" << 'f' << "'  @SUM(A1)";
        QTest::newRow("field: longest text stands") << QString(32, u'x') << 'f' << QString(32, u'x');
        QTest::newRow("field: long negative") << "-" + QString(40, u'1') << 'n' << "'-" + QString(28, u'1') + "...";
    }

    void valueText()
    {
        QFETCH(QString, value);
        QFETCH(char, form);
        QFETCH(QString, text);
        const float number = value.toFloat();
        QCOMPARE(form == 'l'  ? NumberFormat::labelForm(number, german)
                : form == 't' ? NumberFormat::tooltipForm(number, german)
                              : CsvLog::valueField(value, form == 'n'),
            text);
    }

    // A line appended to the log as the user named it; a file size limit (0: none) fills the disk.
    void append_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("sizeLimit");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("after");
        const QByteArray kept = "old\r\n";
        const QByteArray added = "old\r\n05/03/2026,\x80,NA\r\n";
        QTest::newRow("file ends with its line break") << kept << "stats.csv" << 0 << true << added;
        QTest::newRow("file cut off in a line") << QByteArray("old") << "stats.csv" << 0 << true << added;
        QTest::newRow("empty name gives the bare folder") << kept << "" << 0 << false << kept;
        QTest::newRow("folder missing") << kept << "missing/stats.csv" << 0 << false << kept;
        QTest::newRow("disk full") << kept << "/dev/full" << 0 << false << kept;
        QTest::newRow("disk fills up in the line: the part written goes") << kept << "stats.csv" << 12 << false << kept;
        QTest::newRow("character device") << kept << "/dev/null" << 0 << true << kept;
    }

    void append()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, fileName);
        QFETCH(int, sizeLimit);
        QFETCH(bool, written);
        QFETCH(QByteArray, after);
        writeFileBytes(path(), before);
        const QString target = CsvLog::outputPathFor(m_dir.path(), fileName);
        rlimit previous{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
        const rlimit limited{sizeLimit > 0 ? rlim_t(sizeLimit) : previous.rlim_cur, previous.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
        const bool appended = CsvLog::appendLineToFile(target, QStringLiteral("05/03/2026,\u20AC,NA"));
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(appended, written);
        QCOMPARE(fileBytes(path()), after);
    }

    // Header and two captures: numbers (a minus is no formula) and NA as the page gave them, a text
    // made safe, and a statistic absent from the page as NA rather than its earlier text.
    void linesInFile_matchFixture_data()
    {
        QTest::addColumn<bool>("separate");
        QTest::addColumn<QString>("fixture");
        QTest::newRow("separate date and time") << true << "separate.csv";
        QTest::newRow("date and time in one column") << false << "joined.csv";
    }

    void linesInFile_matchFixture()
    {
        QFETCH(bool, separate);
        QFETCH(QString, fixture);
        LineStatTable table;
        QString lines = StatsLine::csvHeader(separate) + "\r\n";
        setValues(table, QStringLiteral("6.5/NA/23.4/11.0"), QStringLiteral("NANN"));
        lines += StatsLine::csvDataLine(table, QDateTime(QDate(2026, 3, 5), QTime(7, 8, 9)), separate) + "\r\n";
        setValues(table, QStringLiteral("-07.10/na/=1+1/old"), QStringLiteral("NAT-"));
        lines += StatsLine::csvDataLine(table, QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58)), separate) + "\r\n";
        QCOMPARE(lines.toLatin1(), fileBytes(QStringLiteral(LINEGAUGE_TEST_DATA "/csv/") + fixture));
    }

private:
    QString path() const { return m_dir.filePath(QStringLiteral("stats.csv")); }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestStats)
#include "TestStats.moc"
