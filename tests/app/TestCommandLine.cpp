#include "app/CommandLine.h"

#include <QTest>

using Request = CommandLine::Request;

// The command line picks the version, the usage, the report or the window before anything else
// starts; the toolkit's own options and the report's must never turn into another request.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void request_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Request>("request");
        QTest::newRow("nothing opens the window") << QStringList() << Request::window;
        QTest::newRow("toolkit options open the window") << QStringList{"-platform", "offscreen"} << Request::window;
        QTest::newRow("version after other arguments") << QStringList{"-style", "x", "--version"} << Request::version;
        QTest::newRow("help before version wins") << QStringList{"--help", "--version"} << Request::help;
        QTest::newRow("version before help wins") << QStringList{"--version", "--help"} << Request::version;
        QTest::newRow("version with the report") << QStringList{"--report", "--version"} << Request::version;
        QTest::newRow("report after its options") << QStringList{"--csv", "log.csv", "--report"} << Request::report;
        QTest::newRow("report named as a value of another option") << QStringList{"--csv=--report"} << Request::window;
    }

    void request()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Request, request);
        QCOMPARE(CommandLine::requestOf(QStringList{QStringLiteral("linegauge")} + arguments), request);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
