// Installs the program into a folder whose name has blanks and the characters shells and desktop
// entries give a meaning to, and checks the folder works on its own.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray output;
};

// Runs a program to its end in a session without any display, so a window could not open.
Run runToEnd(const QString& program, const QStringList& arguments, const QString& dataHome = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : {u"DISPLAY"_qs, u"WAYLAND_DISPLAY"_qs, u"QT_QPA_PLATFORM"_qs})
        environment.remove(name);
    if (!dataHome.isEmpty())
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAll()};
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_folder = m_root.filePath(QStringLiteral("my programs/a\"b$c`d%e'f"));

private slots:
    void initTestCase()
    {
        const Run install = runToEnd(QStringLiteral(LINEGAUGE_CMAKE),
            {QStringLiteral("--install"), QStringLiteral(LINEGAUGE_BUILD_DIR), QStringLiteral("--prefix"), m_folder});
        QVERIFY2(install.exitCode == 0, install.output.constData());
    }

    // The entry starts the installed program: Exec quotes it as one argument, with ", ` and $
    // escaped inside the quotes, backslashes doubled as in any value, and % doubled.
    void desktopEntry_namesInstalledFiles()
    {
        QVERIFY(QFileInfo(m_folder + QStringLiteral("/linegauge")).isExecutable());
        QVERIFY(QFileInfo(m_folder + QStringLiteral("/add-to-menu.sh")).isExecutable());
        QVERIFY(QFileInfo(m_folder + QStringLiteral("/linegauge.xpm")).size() > 0);
        QCOMPARE(QString::fromUtf8(contents(m_folder + QStringLiteral("/linegauge.desktop"))),
            QString::fromUtf8(contents(QStringLiteral(LINEGAUGE_INSTALL_DATA "/linegauge.desktop")))
                .replace(QStringLiteral("@ROOT@"), m_root.path()));
        // The program keeps settings.ini and its CSV file beside itself.
        QVERIFY(QFileInfo(m_folder).isWritable());
    }

    void program_runsWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("says");
        QTest::newRow("version") << QStringList{"--version"} << QByteArray() << 0
                                 << QByteArray("Linegauge " LINEGAUGE_VERSION_TEXT "\n");
        QTest::newRow("report without a log")
            << QStringList{"--report"} << QByteArray() << 1 << QByteArray("stats.csv: there is no such file");
        QTest::newRow("the entry's report action on the folder's log")
            << QStringList{"--report", "--open"}
            << QByteArray(
                   "Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n01/03/2026,10:00:00,8,12,30,20\r\n")
            << 0 << QByteArray("the report was written to");
    }

    void program_runsWithoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, log);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, says);
        QFile csv(m_folder + QStringLiteral("/stats.csv"));
        QVERIFY(log.isEmpty() || (csv.open(QIODevice::WriteOnly) && csv.write(log) == log.size()));
        csv.close();
        const Run run = runToEnd(m_folder + QStringLiteral("/linegauge"), arguments);
        QVERIFY2(run.exitCode == exitCode && run.output.contains(says), run.output.constData());
        QCOMPARE(QFileInfo(m_folder + QStringLiteral("/stats-report.html")).size() > 0, !log.isEmpty());
    }

    void addToMenu_copiesAndRemovesEntry()
    {
        const QString script = m_folder + QStringLiteral("/add-to-menu.sh");
        const QString dataHome = m_root.filePath(QStringLiteral("data home"));
        const QString menuEntry = dataHome + QStringLiteral("/applications/linegauge.desktop");
        Run run = runToEnd(script, {}, dataHome);
        QVERIFY2(run.exitCode == 0, run.output.constData());
        QCOMPARE(contents(menuEntry), contents(m_folder + QStringLiteral("/linegauge.desktop")));
        run = runToEnd(script, {QStringLiteral("--remove")}, dataHome);
        QVERIFY2(run.exitCode == 0, run.output.constData());
        QVERIFY(!QFileInfo::exists(menuEntry));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
