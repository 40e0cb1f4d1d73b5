#include "app/MainWindow.h"

#include <QProcess>
#include <QTest>

// The window's accessibility tree read over AT-SPI by the system's Python, as a screen reader
// reads it: every box and every value cell has a name of its own.
class TestAtspiTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QProcess reader;
        reader.start(qEnvironmentVariable("LINEGAUGE_PYTHON"),
            {QStringLiteral(LINEGAUGE_ATSPI_READER), QCoreApplication::applicationName()});
        // The reader asks this process over the bus, so the events must keep flowing while it reads.
        QTRY_COMPARE_WITH_TIMEOUT(reader.state(), QProcess::NotRunning, 60000);
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
            m_namesByRole.insert(line.section(u'\t', 0, 0), line.section(u'\t', 1));
    }

    void namesRead_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<int>("distinct");
        QTest::addColumn<QStringList>("someNames");
        QStringList cells;
        for (const char* statistic : {"Down SNR", "Up SNR", "Down Attenuation", "Up Attenuation"}) {
            for (const char* column : {" minimum", " current", " maximum"})
                cells << QLatin1String(statistic) + QLatin1String(column);
        }
        QTest::newRow("entry boxes by their captions")
            << "text" << 6 << QStringList{"IP address", "Interval (minutes)", "Page text"};
        QTest::newRow("password box by its caption") << "password text" << 1 << QStringList{"Password"};
        QTest::newRow("value cells by statistic and column") << "label" << 12 << cells;
    }

    void namesRead()
    {
        QFETCH(QString, role);
        QFETCH(int, distinct);
        QFETCH(QStringList, someNames);
        const QStringList names = m_namesByRole.values(role);
        QVERIFY2(!names.contains(QString()) || role == u"label", qPrintable(names.join(u',')));
        QVERIFY2(QSet<QString>(names.begin(), names.end()).size() >= distinct, qPrintable(names.join(u',')));
        for (const QString& name : someNames)
            QVERIFY2(names.contains(name), qPrintable(name + " not in " + names.join(u',')));
    }

private:
    QMultiHash<QString, QString> m_namesByRole;
};

QTEST_MAIN(TestAtspiTree)
#include "TestAtspiTree.moc"
