// Installs the program into a folder whose name has blanks and the characters shells and desktop
// entries give a meaning to, and checks the folder works on its own.

#include "support/FileBytes.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_folder = m_root.filePath(QStringLiteral("my programs/a\"b$c`d%e'f"));

    // A session without any display, so a window could not open; the exit code is -1 for a crash.
    std::pair<int, QByteArray> runToEnd(const QString& program, const QStringList& arguments = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : {u"DISPLAY"_qs, u"WAYLAND_DISPLAY"_qs, u"QT_QPA_PLATFORM"_qs})
            environment.remove(name);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_root.filePath(QStringLiteral("data home")));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        const bool ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
        return {ended ? process.exitCode() : -1, process.readAll()};
    }

private slots:
    void initTestCase()
    {
        const auto [code, output] = runToEnd(QStringLiteral(LINEGAUGE_CMAKE),
            {u"--install"_qs, QStringLiteral(LINEGAUGE_BUILD_DIR), u"--prefix"_qs, m_folder});
        QVERIFY2(code == 0, output.constData());
    }

    // Exec quotes the program as one argument, escaped as entries require; the script puts the entry
    // and icons in the menu and takes them out again. Every size a menu or launcher asks for is there:
    // a size the theme lacks is scaled from another one and shows blurred.
    void desktopEntry_namesInstalledFilesAndGoesInTheMenu()
    {
        QVERIFY(QFileInfo(m_folder + u"/linegauge"_qs).isExecutable());
        const QByteArray entry = fileBytes(m_folder + QStringLiteral("/linegauge.desktop"));
        QCOMPARE(QString::fromUtf8(entry),
            QString::fromUtf8(fileBytes(QStringLiteral(LINEGAUGE_INSTALL_DATA "/linegauge.desktop")))
                .replace(QStringLiteral("@ROOT@"), m_root.path()));
        const QString script = m_folder + QStringLiteral("/add-to-menu.sh");
        const QString menuEntry = m_root.filePath(QStringLiteral("data home/applications/linegauge.desktop"));
        const QStringList icons{u"48x48/apps/linegauge.png"_qs, u"scalable/apps/linegauge.svg"_qs};
        const auto menuIcon
            = [this](const QString& icon) { return m_root.filePath(u"data home/icons/hicolor/"_qs + icon); };
        QCOMPARE(runToEnd(script).first, 0);
        QCOMPARE(fileBytes(menuEntry), entry);
        for (const QString& icon : icons) {
            const QByteArray installed = fileBytes(m_folder + u"/share/icons/hicolor/"_qs + icon);
            QVERIFY(!installed.isEmpty());
            QCOMPARE(fileBytes(menuIcon(icon)), installed);
        }
        QCOMPARE(runToEnd(script, {QStringLiteral("--remove")}).first, 0);
        QVERIFY(!QFileInfo::exists(menuEntry));
        for (const QString& icon : icons)
            QVERIFY(!QFileInfo::exists(menuIcon(icon)));
        const QString png = m_folder + QStringLiteral("/share/icons/hicolor/%1x%1/apps/linegauge.png");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QCOMPARE(QImageReader(png.arg(size)).size(), QSize(size, size));
    }

    // Software centres take the description only when it validates; it names the installed entry.
    void metainfo_validates()
    {
        const QString metainfo = m_folder + u"/share/metainfo/io.github.linegauge.linegauge.metainfo.xml"_qs;
        const auto [code, output] = runToEnd(u"appstreamcli"_qs, {u"validate"_qs, u"--no-net"_qs, metainfo});
        QVERIFY2(code == 0, output.isEmpty() ? "appstreamcli did not run" : output.constData());
        QVERIFY(fileBytes(metainfo).contains("<launchable type=\"desktop-id\">linegauge.desktop</launchable>"));
    }

    // The program keeps settings.ini and its CSV file beside itself.
    void program_runsWithoutDisplay()
    {
        auto [code, output] = runToEnd(m_folder + QStringLiteral("/linegauge"), {QStringLiteral("--version")});
        QVERIFY2(code == 0 && output == "Linegauge " LINEGAUGE_VERSION_TEXT "\n", output.constData());
        QVERIFY(QFile::copy(QStringLiteral(LINEGAUGE_INSTALL_DATA "/stats.csv"), m_folder + u"/stats.csv"_qs));
        std::tie(code, output) = runToEnd(m_folder + QStringLiteral("/linegauge"), {"--report", "--open"});
        QVERIFY2(code == 0 && output.contains("the report was written to"), output.constData());
        QVERIFY(QFileInfo(m_folder + QStringLiteral("/stats-report.html")).size() > 0);
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
