#include "report/ReportCommand.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

// The report started from the desktop's menu says on screen why no page came, naming the log.
class TestReportAction : public QObject
{
    Q_OBJECT

private slots:
    void problemIsTold_data()
    {
        QTest::addColumn<QString>("log");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no log yet on a fresh install") << "stats.csv" << false << "no such file";
        QTest::newRow("log is a folder") << "logs" << true << "folder";
    }

    void problemIsTold()
    {
        QFETCH(QString, log);
        QFETCH(bool, folder);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(log);
        if (folder)
            QVERIFY(QDir().mkdir(path));
        QStringList told;
        QString errorText;
        QTextStream errors(&errorText);
        const int status = ReportCommand::runAndTell({QStringLiteral("--csv"), path, QStringLiteral("--open")},
            dir.path(), errors, [&told](const QString& problem) { told << problem; });
        QCOMPARE(status, int(ReportCommand::logUnusable));
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().contains(path), qPrintable(told.first()));
        QVERIFY2(told.first().contains(reason), qPrintable(told.first()));
        errors.flush();
        QCOMPARE(errorText.trimmed(), told.first());
    }
};

QTEST_GUILESS_MAIN(TestReportAction)
#include "TestReportAction.moc"
