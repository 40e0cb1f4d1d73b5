#include "platform/PrivateProfile.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "stats/StatusTexts.h"
#include "support/FileBytes.h"
#include "support/RecordingStatusLine.h"

#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

QByteArray fixture(const char* name)
{
    return fileBytes(QStringLiteral(LINEGAUGE_TEST_DATA "/settings/") + QLatin1String(name));
}

// Every field the loader fills, in one line, so a row states the whole outcome of a load.
QString describe(const Settings& s)
{
    return QStringList{s.routerIp, s.userName, s.password, s.portText, s.statsPage, QString::number(s.useBalloons),
        QString::number(s.markers), QString::number(s.labels), QString::number(s.grid), QString::number(s.saveToFile),
        QString::number(s.graphMax), QString::number(s.snrThreshold), QString::number(s.attThreshold),
        QString::number(s.separateDateTime), QString::number(s.autoRange)}
        .join(u'|');
}

} // namespace

// The settings file is kept by the user across versions: what the program writes must be exact,
// and whatever the user typed into it must load without harm.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void untouchedWindow_writtenFile();
    void handwrittenFile_survivesLoadSaveCycles();
    void load_data();
    void load();
    void fileOverSizeBound_changesNothing();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("settings.ini")); }
    void writeFile(const QByteArray& content) const { writeFileBytes(path(), content); }

    std::optional<QTemporaryDir> m_dir;
    RecordingStatusLine m_status;
};

void TestSettingsFile::init()
{
    QVERIFY(m_dir.emplace().isValid());
    m_status = RecordingStatusLine();
}

// The missing keys are appended inside Options, in their order and spelling.
void TestSettingsFile::untouchedWindow_writtenFile()
{
    writeFile(fixture("missing-keys.ini"));
    const SettingsSaveResult result = saveSettings(path(), Settings(), m_status);
    QVERIFY(result.fileWritten && result.passwordStored);
    QCOMPARE(fileBytes(path()), fixture("missing-keys.expected.ini"));
    QCOMPARE(m_status.texts, QStringList{StatusTexts::savingSettings});
}

// A password the file cannot hold leaves the stored one in place, and says so.
void TestSettingsFile::handwrittenFile_survivesLoadSaveCycles()
{
    const QByteArray original = fixture("handwritten.ini");
    writeFile(original);
    Settings settings;
    for (int cycle = 0; cycle < 3; ++cycle) {
        QVERIFY(loadSettings(path(), settings, m_status));
        QCOMPARE(describe(settings), "192.168.1.1|admin|s3cret!|8080|/status/line.htm|1|1|0|0|2|80|4.5|55|0|1");
        QVERIFY(saveSettings(path(), settings, m_status).fileWritten);
        QCOMPARE(fileBytes(path()), original);
    }
    settings.password = QStringLiteral("caf\u00E9");
    const SettingsSaveResult result = saveSettings(path(), settings, m_status);
    QVERIFY(result.fileWritten && !result.passwordStored);
    QCOMPARE(fileBytes(path()), original);
}

// Loaded over a window whose password is "old": a missing key reads empty, and a value that does not
// convert keeps its field.
void TestSettingsFile::load_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("values that do not convert")
        << QByteArray("[Options]\r\nPassword (encrypted)=ABC\r\nSysTray Balloons=true\r\nMarkers=yes\r\n"
                      "Save to file=3\r\n[Tweaks]\r\nMaximum value=0\r\nSNR threshold=4,500\r\n"
                      "Att. threshold=1e50\r\nSeparate date and time=no\r\nStats page=\r\n")
        << "||old||/doc/adsl.htm|0|0|1|0|1|50|6|50|1|0";
    QTest::newRow("numbers as flags, halves to even")
        << QByteArray("[Options]\r\nMarkers=TRUE\r\nGrid=-1\r\nSave to file=2.5\r\n")
        << "||||/doc/adsl.htm|0|1|0|1|2|50|6|50|1|0";
}

void TestSettingsFile::load()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    writeFile(content);
    Settings settings;
    settings.password = QStringLiteral("old");
    QVERIFY(loadSettings(path(), settings, m_status));
    QCOMPARE(describe(settings), expected);
    QCOMPARE(m_status.texts, QStringList{StatusTexts::loadingSettings});
}

// A file that cannot be read is neither loaded nor replaced by the program's keys alone.
void TestSettingsFile::fileOverSizeBound_changesNothing()
{
    const QByteArray content = "[Options]\r\nRouter IP=1.2.3.4\r\n" + QByteArray(PrivateProfile::maxFileBytes, '\n');
    writeFile(content);
    Settings settings;
    QVERIFY(!loadSettings(path(), settings, m_status));
    QCOMPARE(describe(settings), describe(Settings()));
    const SettingsSaveResult result = saveSettings(path(), settings, m_status);
    QVERIFY(!result.fileWritten && !result.passwordStored);
    QCOMPARE(fileBytes(path()), content);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "TestSettingsFile.moc"
