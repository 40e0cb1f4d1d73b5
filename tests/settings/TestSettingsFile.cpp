#include "platform/PrivateProfile.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "stats/StatusTexts.h"
#include "support/RecordingStatusLine.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>

#include <functional>
#include <map>

namespace {

// Each field the loader fills, reachable by name so one table covers every key.
struct FieldAccess
{
    std::function<QVariant(const Settings&)> get;
    std::function<void(Settings&, const QVariant&)> set;
};

template <typename T> FieldAccess access(T Settings::*member)
{
    return {[member](const Settings& s) { return QVariant::fromValue(s.*member); },
        [member](Settings& s, const QVariant& v) { s.*member = v.value<T>(); }};
}

const std::map<QString, FieldAccess>& fields()
{
    static const std::map<QString, FieldAccess> table{{"routerIp", access(&Settings::routerIp)},
        {"userName", access(&Settings::userName)}, {"password", access(&Settings::password)},
        {"useBalloons", access(&Settings::useBalloons)}, {"markers", access(&Settings::markers)},
        {"labels", access(&Settings::labels)}, {"grid", access(&Settings::grid)},
        {"saveToFile", access(&Settings::saveToFile)}, {"graphMax", access(&Settings::graphMax)},
        {"snrThreshold", access(&Settings::snrThreshold)}, {"attThreshold", access(&Settings::attThreshold)},
        {"separateDateTime", access(&Settings::separateDateTime)}, {"statsPage", access(&Settings::statsPage)},
        {"autoRange", access(&Settings::autoRange)}};
    return table;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QByteArray fixture(const char* name)
{
    return readAll(QStringLiteral(LINEGAUGE_TEST_DATA "/settings/") + QLatin1String(name));
}

void loadRow(const char* name, const char* content, const char* field, const QVariant& start, const QVariant& expected)
{
    QTest::newRow(name) << QByteArray(content) << QString::fromLatin1(field) << start << expected;
}

} // namespace

// The settings file is kept by the user across versions: what the program writes must be exact,
// and whatever the user typed into it must load without harm.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void untouchedWindow_writtenFile_data();
    void untouchedWindow_writtenFile();
    void handwrittenFile_survivesLoadSaveCycles();
    void loadKey_data();
    void loadKey();
    void unstorablePassword_keepsStoredOne();
    void unusableFile_changesNothing_data();
    void unusableFile_changesNothing();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("settings.ini")); }
    void writeFile(const QByteArray& content) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingStatusLine m_status;
};

void TestSettingsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_status = RecordingStatusLine();
}

void TestSettingsFile::writeFile(const QByteArray& content) const
{
    QFile file(path());
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the settings file");
}

void TestSettingsFile::untouchedWindow_writtenFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("no file: the ten option keys") << QByteArray() << fixture("untouched.ini");
    QTest::newRow("keys missing: appended inside Options")
        << fixture("missing-keys.ini") << fixture("missing-keys.expected.ini");
}

void TestSettingsFile::untouchedWindow_writtenFile()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        writeFile(before);
    const SettingsSaveResult result = saveSettings(path(), Settings(), m_status);
    QVERIFY(result.fileWritten && result.passwordStored);
    QCOMPARE(readAll(path()), after);
    QCOMPARE(m_status.texts, QStringList{StatusTexts::savingSettings});
}

void TestSettingsFile::handwrittenFile_survivesLoadSaveCycles()
{
    const QByteArray original = fixture("handwritten.ini");
    writeFile(original);
    for (int cycle = 0; cycle < 3; ++cycle) {
        Settings settings;
        QVERIFY(loadSettings(path(), settings, m_status));
        QCOMPARE(QStringList(
                     {settings.routerIp, settings.userName, settings.password, settings.portText, settings.statsPage}),
            QStringList({"192.168.1.1", "admin", "s3cret!", "8080", "/status/line.htm"}));
        QVERIFY(settings.useBalloons && settings.markers && !settings.labels && !settings.grid);
        QVERIFY(settings.autoRange && !settings.separateDateTime);
        QCOMPARE(settings.saveToFile, 2);
        QCOMPARE(settings.graphMax, 80.0f);
        QCOMPARE(settings.snrThreshold, 4.5f);
        QVERIFY(saveSettings(path(), settings, m_status).fileWritten);
        QCOMPARE(readAll(path()), original);
    }
}

// Keys the hand-written file above already loads right are not repeated here.
void TestSettingsFile::loadKey_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("start");
    QTest::addColumn<QVariant>("expected");
    const QVariant page("/doc/adsl.htm");
    loadRow("username missing empties it", "[Options]\r\n", "userName", "admin", "");
    loadRow("hand-typed password below the key is skipped", "[Options]\r\nPassword (encrypted)=ABC\r\n", "password",
        "old", "old");
    loadRow("empty password loads empty", "[Options]\r\nPassword (encrypted)=\r\n", "password", "old", "");
    loadRow("balloons word true stays off", "[Options]\r\nSysTray Balloons=true\r\n", "useBalloons", false, false);
    loadRow("balloons 0 changes nothing", "[Options]\r\nSysTray Balloons=0\r\n", "useBalloons", true, true);
    loadRow("markers TRUE", "[Options]\r\nMarkers=TRUE\r\n", "markers", false, true);
    loadRow("markers 0", "[Options]\r\nMarkers=0\r\n", "markers", true, false);
    loadRow("markers word yes keeps its mark", "[Options]\r\nMarkers=yes\r\n", "markers", true, true);
    loadRow("labels opposite of markers True", "[Options]\r\nMarkers=True\r\n", "labels", true, false);
    loadRow("labels checked without markers key", "[Options]\r\n", "labels", false, true);
    loadRow("grid -1", "[Options]\r\nGrid=-1\r\n", "grid", false, true);
    loadRow("save to file 0", "[Options]\r\nSave to file=0\r\n", "saveToFile", 1, 0);
    loadRow("save to file 3 keeps", "[Options]\r\nSave to file=3\r\n", "saveToFile", 1, 1);
    loadRow("save to file empty keeps", "[Options]\r\nSave to file=\r\n", "saveToFile", 1, 1);
    loadRow("save to file 2.5 halves to even", "[Options]\r\nSave to file=2.5\r\n", "saveToFile", 1, 2);
    loadRow("save to file 1.5 halves to even", "[Options]\r\nSave to file=1.5\r\n", "saveToFile", 0, 2);
    loadRow("maximum 0 keeps", "[Tweaks]\r\nMaximum value=0\r\n", "graphMax", 50.0f, 50.0f);
    loadRow("maximum not a number keeps", "[Tweaks]\r\nMaximum value=high\r\n", "graphMax", 50.0f, 50.0f);
    loadRow("maximum beyond single range keeps", "[Tweaks]\r\nMaximum value=1e50\r\n", "graphMax", 50.0f, 50.0f);
    loadRow("snr threshold with a group separator keeps", "[Tweaks]\r\nSNR threshold=4,500\r\n", "snrThreshold", 6.0f,
        6.0f);
    loadRow("snr threshold negative as given", "[Tweaks]\r\nSNR threshold=-3\r\n", "snrThreshold", 6.0f, -3.0f);
    loadRow("att threshold nan keeps", "[Tweaks]\r\nAtt. threshold=nan\r\n", "attThreshold", 50.0f, 50.0f);
    loadRow("separate date and time 1", "[Tweaks]\r\nSeparate date and time=1\r\n", "separateDateTime", false, true);
    loadRow("separate date and time word keeps", "[Tweaks]\r\nSeparate date and time=no\r\n", "separateDateTime", true,
        true);
    loadRow("stats page empty keeps start", "[Tweaks]\r\nStats page=\r\n", "statsPage", page, page);
    loadRow("auto range true", "[Tweaks]\r\nAuto Range=true\r\n", "autoRange", false, true);
}

void TestSettingsFile::loadKey()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, field);
    QFETCH(QVariant, start);
    QFETCH(QVariant, expected);
    const FieldAccess& accessor = fields().at(field);
    writeFile(content);
    Settings settings;
    accessor.set(settings, start);
    QVERIFY(loadSettings(path(), settings, m_status));
    QCOMPARE(accessor.get(settings), expected);
    QCOMPARE(m_status.texts, QStringList{StatusTexts::loadingSettings});
}

// A password the file cannot hold, or could not give back whole, leaves the stored one in place.
void TestSettingsFile::unstorablePassword_keepsStoredOne()
{
    Settings settings;
    settings.password = QStringLiteral("old");
    QVERIFY(saveSettings(path(), settings, m_status).passwordStored);
    settings.password = QStringLiteral("caf\u00E9");
    const SettingsSaveResult result = saveSettings(path(), settings, m_status);
    QVERIFY(result.fileWritten && !result.passwordStored);
    Settings loaded;
    QVERIFY(loadSettings(path(), loaded, m_status));
    QCOMPARE(loaded.password, QStringLiteral("old"));
}

// A file that cannot be read is neither loaded nor replaced by the program's keys alone.
void TestSettingsFile::unusableFile_changesNothing_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<QByteArray>("content"); // null: nothing written there
    QTest::newRow("folder missing") << "missing/settings.ini" << QByteArray();
    QTest::newRow("path is a folder") << "." << QByteArray();
    QTest::newRow("file over the size bound")
        << "settings.ini"
        << "[Options]\r\nRouter IP=1.2.3.4\r\n" + QByteArray(PrivateProfile::maxFileBytes, '\n');
}

void TestSettingsFile::unusableFile_changesNothing()
{
    QFETCH(QString, relativePath);
    QFETCH(QByteArray, content);
    const QString target = m_dir->filePath(relativePath);
    if (!content.isNull())
        writeFile(content);
    Settings settings;
    settings.routerIp = QStringLiteral("kept");
    if (QFileInfo::exists(target)) {
        QVERIFY(!loadSettings(target, settings, m_status));
        QCOMPARE(settings.routerIp, QStringLiteral("kept"));
    }
    const SettingsSaveResult result = saveSettings(target, settings, m_status);
    QVERIFY(!result.fileWritten && !result.passwordStored);
    if (!content.isNull())
        QCOMPARE(readAll(target), content);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "TestSettingsFile.moc"
