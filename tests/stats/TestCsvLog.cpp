#include "stats/CsvLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

// The CSV file is the user's record of the line: a failing write must say so and must never leave
// a broken line for the next capture to continue.
class TestCsvLog : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(path()); }

    // The log holds "before" and the new line goes to the file name as the user typed it.
    void append_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("after");
        const QByteArray kept = "old\r\n";
        const QByteArray added = "old\r\n05/03/2026,\x80,NA\r\n";
        QTest::newRow("file ends with its line break") << kept << "stats.csv" << true << added;
        QTest::newRow("file cut off in a line") << QByteArray("old") << "stats.csv" << true << added;
        QTest::newRow("empty name gives the bare folder") << kept << "" << false << kept;
        QTest::newRow("folder missing") << kept << "missing/stats.csv" << false << kept;
        QTest::newRow("disk full") << kept << "/dev/full" << false << kept;
        QTest::newRow("character device") << kept << "/dev/null" << true << kept;
    }

    void append()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, fileName);
        QFETCH(bool, written);
        QFETCH(QByteArray, after);
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        const QString target = CsvLog::outputPathFor(m_dir.path(), fileName);
        QCOMPARE(CsvLog::appendLineToFile(target, QStringLiteral("05/03/2026,\u20AC,NA")), written);
        QCOMPARE(contents(), after);
    }

    // The disk fills up in the middle of the line: the part written is cut off again.
    void fileSizeLimit_leavesNoPartialLine()
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
        QVERIFY(CsvLog::appendLineToFile(path(), QStringLiteral("next")));
        QCOMPARE(contents(), QByteArray("kept\r\nnext\r\n"));
    }

    void valueField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numberOrNa");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number as it stands") << "-3.50" << true << "-3.50";
        QTest::newRow("comma") << "1,5" << false << "\"1,5\"";
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

private:
    QString path() const { return m_dir.filePath(QStringLiteral("stats.csv")); }
    QByteArray contents() const
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCsvLog)
#include "TestCsvLog.moc"
