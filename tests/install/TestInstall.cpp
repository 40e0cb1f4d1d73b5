// Installs the program into temporary folders and checks the folder works on its own: the files
// are there, the desktop entry starts the installed executable, and the folder stays writable.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs a program to its end; the output is returned and the exit code stored.
QByteArray runToEnd(
    const QString& program, const QStringList& arguments, const QProcessEnvironment& environment, int& exitCode)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        exitCode = -1;
        return process.readAll();
    }
    exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAll();
}

QByteArray installInto(const QString& prefix, int& exitCode)
{
    return runToEnd(QStringLiteral(LINEGAUGE_CMAKE),
        {QStringLiteral("--install"), QStringLiteral(LINEGAUGE_BUILD_DIR), QStringLiteral("--prefix"), prefix},
        QProcessEnvironment::systemEnvironment(), exitCode);
}

// The value of one key in one group of the desktop entry with its string escapes undone.
QString desktopValue(
    const QString& entryPath, const QString& key, const QString& group = QStringLiteral("Desktop Entry"))
{
    QFile file(entryPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray prefix = key.toUtf8() + '=';
    QByteArray currentGroup;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith('[')) {
            currentGroup = line.mid(1, line.indexOf(']') - 1);
            continue;
        }
        if (currentGroup != group.toUtf8() || !line.startsWith(prefix))
            continue;
        const QString raw = QString::fromUtf8(line.mid(prefix.size()));
        QString value;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] == u'\\' && i + 1 < raw.size()) {
                const QChar next = raw[++i];
                value += next == u's' ? u' ' : next == u'n' ? u'\n' : next == u't' ? u'\t' : next;
            } else {
                value += raw[i];
            }
        }
        return value;
    }
    return {};
}

// The program an Exec line starts: its first argument, quoted or not, with %% read as %.
QString execProgram(const QString& exec)
{
    QString program;
    if (!exec.startsWith(u'"'))
        return exec.section(u' ', 0, 0).replace(QStringLiteral("%%"), QStringLiteral("%"));
    for (qsizetype i = 1; i < exec.size() && exec[i] != u'"'; ++i) {
        if (exec[i] == u'\\' && i + 1 < exec.size())
            ++i;
        program += exec[i];
    }
    return program.replace(QStringLiteral("%%"), QStringLiteral("%"));
}

// The environment of a session without any display, so a window could not open.
QProcessEnvironment headlessEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void install_givesWorkingFolder_data();
    void install_givesWorkingFolder();
    void addToMenu_copiesEntry();

private:
    QTemporaryDir m_root;
};

void TestInstall::install_givesWorkingFolder_data()
{
    QTest::addColumn<QString>("folderName");
    QTest::newRow("plain folder") << QStringLiteral("linegauge");
    QTest::newRow("folder with blanks") << QStringLiteral("my programs/line gauge");
    QTest::newRow("folder with shell and field characters") << QStringLiteral("a\"b$c`d%e'f");
}

void TestInstall::install_givesWorkingFolder()
{
    QFETCH(QString, folderName);
    QVERIFY(m_root.isValid());
    const QString prefix = m_root.filePath(folderName);
    int exitCode = 0;
    const QByteArray installLog = installInto(prefix, exitCode);
    QVERIFY2(exitCode == 0, installLog.constData());

    const QString executable = prefix + QStringLiteral("/linegauge");
    QVERIFY(QFileInfo(executable).isExecutable());
    const QString entry = prefix + QStringLiteral("/linegauge.desktop");
    QCOMPARE(execProgram(desktopValue(entry, QStringLiteral("Exec"))), executable);
    const QString icon = desktopValue(entry, QStringLiteral("Icon"));
    QCOMPARE(icon, prefix + QStringLiteral("/linegauge.xpm"));
    QVERIFY(QFileInfo(icon).size() > 0);
    QVERIFY(QFileInfo(prefix + QStringLiteral("/add-to-menu.sh")).isExecutable());

    const QByteArray version = runToEnd(executable, {QStringLiteral("--version")}, headlessEnvironment(), exitCode);
    QCOMPARE(exitCode, 0);
    QCOMPARE(version, QByteArray("Linegauge " LINEGAUGE_VERSION_TEXT "\n"));

    // The entry's "Line report" action runs the report on the installed folder's log, no window.
    QCOMPARE(desktopValue(entry, QStringLiteral("Actions")), QStringLiteral("report;"));
    const QString report = desktopValue(entry, QStringLiteral("Exec"), QStringLiteral("Desktop Action report"));
    QCOMPARE(execProgram(report), executable);
    QVERIFY2(report.endsWith(QStringLiteral(" --report --open")), qPrintable(report));
    QCOMPARE(desktopValue(entry, QStringLiteral("Name"), QStringLiteral("Desktop Action report")),
        QStringLiteral("Line report"));
    const QByteArray noLog = runToEnd(executable, {QStringLiteral("--report")}, headlessEnvironment(), exitCode);
    QCOMPARE(exitCode, 1);
    QVERIFY2(noLog.contains("stats.csv: there is no such file"), noLog.constData());
    QFile log(prefix + QStringLiteral("/stats.csv"));
    QVERIFY(log.open(QIODevice::WriteOnly));
    log.write("Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation\r\n01/03/2026,10:00:00,8,12,30,20\r\n");
    log.close();
    const QByteArray reportLog
        = runToEnd(executable, {QStringLiteral("--report"), QStringLiteral("--open")}, headlessEnvironment(), exitCode);
    QVERIFY2(exitCode == 0, reportLog.constData());
    QVERIFY(QFileInfo(prefix + QStringLiteral("/stats-report.html")).size() > 0);

    // The program keeps settings.ini and its CSV file beside itself.
    QFile settings(prefix + QStringLiteral("/settings.ini"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
}

void TestInstall::addToMenu_copiesEntry()
{
    const QString prefix = m_root.filePath(QStringLiteral("menu test"));
    int exitCode = 0;
    const QByteArray installLog = installInto(prefix, exitCode);
    QVERIFY2(exitCode == 0, installLog.constData());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString dataHome = m_root.filePath(QStringLiteral("data home"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    const QString script = prefix + QStringLiteral("/add-to-menu.sh");
    const QString menuEntry = dataHome + QStringLiteral("/applications/linegauge.desktop");

    QByteArray log = runToEnd(script, {}, environment, exitCode);
    QVERIFY2(exitCode == 0, log.constData());
    QFile installed(prefix + QStringLiteral("/linegauge.desktop"));
    QFile copied(menuEntry);
    QVERIFY(installed.open(QIODevice::ReadOnly) && copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), installed.readAll());

    log = runToEnd(script, {QStringLiteral("--remove")}, environment, exitCode);
    QVERIFY2(exitCode == 0, log.constData());
    QVERIFY(!QFileInfo::exists(menuEntry));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
