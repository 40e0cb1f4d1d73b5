#include "stats/CsvLog.h"
#include "stats/LineStatTable.h"
#include "stats/StatsLine.h"
#include "support/FileBytes.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// Slash-joined texts, and per statistic what the page carried: - no line, N number, A "NA", T text.
void setValues(LineStatTable& table, const QString& texts, const QString& seen)
{
    for (std::size_t i = 0; i < std::size_t(statCount); ++i) {
        table.valueTexts.at(i) = texts.split(u'/').at(qsizetype(i));
        table.pageValues.at(i) = PageValue(QStringLiteral("-NAT").indexOf(seen[qsizetype(i)]));
    }
}

} // namespace

// The CSV file is the user's record of the line: a failed write says so and leaves no broken line,
// and every line has exactly its header's layout, as spreadsheets read it by column.
class TestCsvLog : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(path()); }

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
        rlimit limited = previous;
        limited.rlim_cur = sizeLimit > 0 ? rlim_t(sizeLimit) : previous.rlim_cur;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
        const bool appended = CsvLog::appendLineToFile(target, QStringLiteral("05/03/2026,\u20AC,NA"));
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(appended, written);
        QCOMPARE(fileBytes(path()), after);
    }

    void valueField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numberOrNa");
        QTest::addColumn<QString>("expected");
        QTest::newRow("bare CR, LF, NUL, escape and C1 control")
            << QStringView(u"6.5\r7\n8\0\x1b[1m\x85", 13).toString() << false << "6.578[1m";
        QTest::newRow("formula with quotes")
            << "=HYPERLINK(\"http://x\",\"y\")" << false << "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"";
        QTest::newRow("minus text") << "-x" << false << "'-x";
        QTest::newRow("at formula after blanks") << "  @SUM(A1)" << false << "'  @SUM(A1)";
        QTest::newRow("longest text stands") << QString(32, u'x') << false << QString(32, u'x');
        QTest::newRow("negative number too long")
            << "-" + QString(40, u'1') << true << "'-" + QString(28, u'1') + "...";
    }

    void valueField()
    {
        QFETCH(QString, text);
        QFETCH(bool, numberOrNa);
        QFETCH(QString, expected);
        QCOMPARE(CsvLog::valueField(text, numberOrNa), expected);
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

QTEST_GUILESS_MAIN(TestCsvLog)
#include "TestCsvLog.moc"
