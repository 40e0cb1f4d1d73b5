#include "stats/CsvLog.h"
#include "support/FailingDevice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// The CSV file is the user's record of the line: a failing write must say so and must never leave
// a broken line for the next capture to continue.
class TestCsvLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void existingLines_areContinued();
    void unwritableTarget_reportsFailure_data();
    void unwritableTarget_reportsFailure();
    void readOnlyFile_reportsFailure();
    void characterDevice_isWritten();
    void failingDevice_reportsFailure_data();
    void failingDevice_reportsFailure();
    void fileSizeLimit_leavesNoPartialLine();
    void valueField_data();
    void valueField();
    void outputPathFor_data();
    void outputPathFor();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("stats.csv")); }
    QByteArray contents() const;

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestCsvLog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QByteArray TestCsvLog::contents() const
{
    QFile file(path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestCsvLog::existingLines_areContinued()
{
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("old line\r\n");
    file.close();
    QVERIFY(CsvLog::appendLineToFile(path(), QStringLiteral("05/03/2026,07:08:09,\u20AC,NA,1,2")));
    QCOMPARE(contents(), QByteArray("old line\r\n05/03/2026,07:08:09,\x80,NA,1,2\r\n"));
}

void TestCsvLog::unwritableTarget_reportsFailure_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<bool>("absolute");
    QTest::newRow("empty path") << "" << true;
    QTest::newRow("bare folder, as for an empty file name") << "" << false;
    QTest::newRow("folder missing") << "missing/stats.csv" << false;
    QTest::newRow("folder is a file") << "stats.csv/inner.csv" << false;
    QTest::newRow("disk full") << "/dev/full" << true;
}

void TestCsvLog::unwritableTarget_reportsFailure()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, absolute);
    QVERIFY(CsvLog::appendLineToFile(path(), QStringLiteral("kept")));
    const QString target = absolute ? relativePath : m_dir->filePath(relativePath);
    QVERIFY(!CsvLog::appendLineToFile(target, QStringLiteral("lost")));
    QCOMPARE(contents(), QByteArray("kept\r\n"));
}

void TestCsvLog::readOnlyFile_reportsFailure()
{
    if (geteuid() == 0)
        QSKIP("file permissions do not bind the super-user");
    QVERIFY(CsvLog::appendLineToFile(path(), QStringLiteral("kept")));
    QFile::setPermissions(path(), QFileDevice::ReadOwner);
    QVERIFY(!CsvLog::appendLineToFile(path(), QStringLiteral("lost")));
    QCOMPARE(contents(), QByteArray("kept\r\n"));
}

void TestCsvLog::characterDevice_isWritten()
{
    QVERIFY(CsvLog::appendLineToFile(QStringLiteral("/dev/null"), QStringLiteral("gone")));
}

void TestCsvLog::failingDevice_reportsFailure_data()
{
    QTest::addColumn<qint64>("capacity");
    QTest::addColumn<bool>("expected");
    QTest::newRow("full before the line") << qint64(0) << false;
    QTest::newRow("full in the middle of the line") << qint64(5) << false;
    QTest::newRow("full before the line end") << qint64(10) << false;
    QTest::newRow("room for the whole line") << qint64(12) << true;
}

void TestCsvLog::failingDevice_reportsFailure()
{
    QFETCH(qint64, capacity);
    QFETCH(bool, expected);
    FailingDevice device(capacity);
    QCOMPARE(CsvLog::appendLine(device, QStringLiteral("1234567890")), expected);
}

void TestCsvLog::fileSizeLimit_leavesNoPartialLine()
{
    QVERIFY(CsvLog::appendLineToFile(path(), QStringLiteral("kept")));
    rlimit previous{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 20;
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    const bool written = CsvLog::appendLineToFile(path(), QString(100, 'x'));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    QVERIFY(!written);
    QCOMPARE(contents(), QByteArray("kept\r\n"));
    QVERIFY(CsvLog::appendLineToFile(path(), QStringLiteral("next")));
    QCOMPARE(contents(), QByteArray("kept\r\nnext\r\n"));
}

void TestCsvLog::valueField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numberOrNa");
    QTest::addColumn<QString>("expected");
    const QString ones(40, u'1');
    QTest::newRow("number as it stands") << "-3.50" << true << "-3.50";
    QTest::newRow("NA as it stands") << "na" << true << "na";
    QTest::newRow("empty text") << "" << false << "";
    QTest::newRow("comma") << "1,5" << false << "\"1,5\"";
    QTest::newRow("double quotes") << "say \"hi\"" << false << "\"say \"\"hi\"\"\"";
    QTest::newRow("bare CR, LF, NUL, escape and C1 control")
        << QStringView(u"6.5\r7\n8\0\x1b[1m\x85", 13).toString() << false << "6.578[1m";
    QTest::newRow("hyperlink formula") << "=HYPERLINK(\"http://x\",\"y\")" << false
                                       << "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"";
    QTest::newRow("plus formula") << "+1+1" << false << "'+1+1";
    QTest::newRow("minus text") << "-x" << false << "'-x";
    QTest::newRow("at formula after blanks") << "  @SUM(A1)" << false << "'  @SUM(A1)";
    QTest::newRow("3 MB text") << QString(3 << 20, u'x') << false << QString(29, u'x') + "...";
    QTest::newRow("number too long") << ones << true << ones.first(29) + "...";
    QTest::newRow("negative number too long") << "-" + ones << true << "'-" + ones.first(28) + "...";
}

void TestCsvLog::valueField()
{
    QFETCH(QString, text);
    QFETCH(bool, numberOrNa);
    QFETCH(QString, expected);
    QCOMPARE(CsvLog::valueField(text, numberOrNa), expected);
}

void TestCsvLog::outputPathFor_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain name in the program's folder") << "stats.csv" << QStringLiteral("/opt/lg/stats.csv");
    QTest::newRow("absolute name as it stands") << "/data/line.csv" << QStringLiteral("/data/line.csv");
    QTest::newRow("parent folder allowed") << "../line.csv" << QStringLiteral("/opt/lg/../line.csv");
    QTest::newRow("empty name gives the folder") << "" << QStringLiteral("/opt/lg");
}

void TestCsvLog::outputPathFor()
{
    QFETCH(QString, fileName);
    QFETCH(QString, expected);
    QCOMPARE(CsvLog::outputPathFor(QStringLiteral("/opt/lg"), fileName), expected);
}

QTEST_GUILESS_MAIN(TestCsvLog)
#include "TestCsvLog.moc"
