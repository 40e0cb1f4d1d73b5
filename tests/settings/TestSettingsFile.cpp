#include "settings/PasswordScrambler.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "stats/StatusTexts.h"
#include "support/RecordingStatusLine.h"

#include <QFile>
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

QByteArray fixture(const QString& name)
{
    QFile file(QStringLiteral(LINEGAUGE_TEST_DATA "/settings/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing fixture>");
}

} // namespace

// The settings file is kept by the user across versions: what the program writes must be exact,
// and whatever the user typed into it must load without harm.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void untouchedWindow_writesTheTenOptionKeys();
    void handwrittenFile_survivesLoadSaveCycles();
    void missingKeys_appendedInsideOptions();
    void loadKey_data();
    void loadKey();
    void unstorablePassword_keepsStoredOneAndIsReported_data();
    void unstorablePassword_keepsStoredOneAndIsReported();
    void unwritableFolder_reportsNothingWritten();
    void unreadablePath_changesNothing();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("settings.ini")); }
    void writeFile(const QByteArray& content) const;
    QByteArray readFile() const;

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

QByteArray TestSettingsFile::readFile() const
{
    QFile file(path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void TestSettingsFile::untouchedWindow_writesTheTenOptionKeys()
{
    const SettingsSaveResult result = saveSettings(path(), Settings(), m_status);
    QVERIFY(result.fileWritten);
    QVERIFY(result.passwordStored);
    QCOMPARE(readFile(), fixture(QStringLiteral("untouched.ini")));
    QCOMPARE(m_status.texts, QStringList{StatusTexts::savingSettings});
}

void TestSettingsFile::handwrittenFile_survivesLoadSaveCycles()
{
    const QByteArray original = fixture(QStringLiteral("handwritten.ini"));
    writeFile(original);
    for (int cycle = 0; cycle < 3; ++cycle) {
        Settings settings;
        QVERIFY(loadSettings(path(), settings, m_status));
        QCOMPARE(settings.routerIp, QStringLiteral("192.168.1.1"));
        QCOMPARE(settings.userName, QStringLiteral("admin"));
        QCOMPARE(settings.password, QStringLiteral("s3cret!"));
        QCOMPARE(settings.portText, QStringLiteral("8080"));
        QVERIFY(settings.useBalloons && settings.markers && !settings.labels && !settings.grid);
        QCOMPARE(settings.saveToFile, 2);
        QCOMPARE(settings.graphMax, 80.0f);
        QCOMPARE(settings.snrThreshold, 4.5f);
        QVERIFY(!settings.separateDateTime);
        QCOMPARE(settings.statsPage, QStringLiteral("/status/line.htm"));
        QVERIFY(settings.autoRange);
        QVERIFY(saveSettings(path(), settings, m_status).fileWritten);
        QCOMPARE(readFile(), original);
    }
}

void TestSettingsFile::missingKeys_appendedInsideOptions()
{
    writeFile(fixture(QStringLiteral("missing-keys.ini")));
    QVERIFY(saveSettings(path(), Settings(), m_status).fileWritten);
    QCOMPARE(readFile(), fixture(QStringLiteral("missing-keys.expected.ini")));
}

void TestSettingsFile::loadKey_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value"); // a null text leaves the key out of the file
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("start");
    QTest::addColumn<QVariant>("expected");

    const QString options = QStringLiteral("Options");
    const QString tweaks = QStringLiteral("Tweaks");
    const QString none;
    QTest::newRow("username missing empties it")
        << options << "Username" << none << "userName" << QVariant("admin") << QVariant("");
    QTest::newRow("router ip of 300 characters cut to 254")
        << options << "Router IP" << QString(300, '1') << "routerIp" << QVariant("") << QVariant(QString(254, '1'));
    QTest::newRow("hand-typed password below the key is skipped") << options << "Password (encrypted)"
                                                                  << "ABC"
                                                                  << "password" << QVariant("old") << QVariant("old");
    QTest::newRow("empty password loads empty") << options << "Password (encrypted)"
                                                << ""
                                                << "password" << QVariant("old") << QVariant("");
    QTest::newRow("balloons 1") << options << "SysTray Balloons"
                                << "1"
                                << "useBalloons" << QVariant(false) << QVariant(true);
    QTest::newRow("balloons word true stays off") << options << "SysTray Balloons"
                                                  << "true"
                                                  << "useBalloons" << QVariant(false) << QVariant(false);
    QTest::newRow("balloons 0 changes nothing") << options << "SysTray Balloons"
                                                << "0"
                                                << "useBalloons" << QVariant(true) << QVariant(true);
    QTest::newRow("markers TRUE") << options << "Markers"
                                  << "TRUE"
                                  << "markers" << QVariant(false) << QVariant(true);
    QTest::newRow("markers 0") << options << "Markers"
                               << "0"
                               << "markers" << QVariant(true) << QVariant(false);
    QTest::newRow("markers -1") << options << "Markers"
                                << "-1"
                                << "markers" << QVariant(false) << QVariant(true);
    QTest::newRow("markers word yes keeps its mark") << options << "Markers"
                                                     << "yes"
                                                     << "markers" << QVariant(true) << QVariant(true);
    QTest::newRow("labels opposite of markers True") << options << "Markers"
                                                     << "True"
                                                     << "labels" << QVariant(true) << QVariant(false);
    QTest::newRow("labels checked without markers key")
        << options << "Markers" << none << "labels" << QVariant(false) << QVariant(true);
    QTest::newRow("grid 1") << options << "Grid"
                            << "1"
                            << "grid" << QVariant(false) << QVariant(true);
    QTest::newRow("save to file 0") << options << "Save to file"
                                    << "0"
                                    << "saveToFile" << QVariant(1) << QVariant(0);
    QTest::newRow("save to file 7 keeps") << options << "Save to file"
                                          << "7"
                                          << "saveToFile" << QVariant(1) << QVariant(1);
    QTest::newRow("save to file empty keeps") << options << "Save to file"
                                              << ""
                                              << "saveToFile" << QVariant(1) << QVariant(1);
    QTest::newRow("save to file 2.5 halves to even") << options << "Save to file"
                                                     << "2.5"
                                                     << "saveToFile" << QVariant(1) << QVariant(2);
    QTest::newRow("save to file 0.5 halves to even") << options << "Save to file"
                                                     << "0.5"
                                                     << "saveToFile" << QVariant(1) << QVariant(0);
    QTest::newRow("save to file 1.5 halves to even") << options << "Save to file"
                                                     << "1.5"
                                                     << "saveToFile" << QVariant(0) << QVariant(2);
    QTest::newRow("maximum 80") << tweaks << "Maximum value"
                                << "80"
                                << "graphMax" << QVariant(50.0f) << QVariant(80.0f);
    QTest::newRow("maximum 0 keeps") << tweaks << "Maximum value"
                                     << "0"
                                     << "graphMax" << QVariant(50.0f) << QVariant(50.0f);
    QTest::newRow("maximum negative keeps") << tweaks << "Maximum value"
                                            << "-5"
                                            << "graphMax" << QVariant(50.0f) << QVariant(50.0f);
    QTest::newRow("maximum not a number keeps") << tweaks << "Maximum value"
                                                << "high"
                                                << "graphMax" << QVariant(50.0f) << QVariant(50.0f);
    QTest::newRow("maximum beyond single range keeps") << tweaks << "Maximum value"
                                                       << "1e50"
                                                       << "graphMax" << QVariant(50.0f) << QVariant(50.0f);
    QTest::newRow("snr threshold empty keeps") << tweaks << "SNR threshold"
                                               << ""
                                               << "snrThreshold" << QVariant(6.0f) << QVariant(6.0f);
    QTest::newRow("snr threshold 4.5") << tweaks << "SNR threshold"
                                       << "4.5"
                                       << "snrThreshold" << QVariant(6.0f) << QVariant(4.5f);
    QTest::newRow("snr threshold negative as given") << tweaks << "SNR threshold"
                                                     << "-3"
                                                     << "snrThreshold" << QVariant(6.0f) << QVariant(-3.0f);
    QTest::newRow("att threshold nan keeps") << tweaks << "Att. threshold"
                                             << "nan"
                                             << "attThreshold" << QVariant(50.0f) << QVariant(50.0f);
    QTest::newRow("separate date and time 0 joins") << tweaks << "Separate date and time"
                                                    << "0"
                                                    << "separateDateTime" << QVariant(true) << QVariant(false);
    QTest::newRow("separate date and time 1") << tweaks << "Separate date and time"
                                              << "1"
                                              << "separateDateTime" << QVariant(false) << QVariant(true);
    QTest::newRow("separate date and time word keeps") << tweaks << "Separate date and time"
                                                       << "no"
                                                       << "separateDateTime" << QVariant(true) << QVariant(true);
    QTest::newRow("stats page missing keeps start")
        << tweaks << "Stats page" << none << "statsPage" << QVariant("/doc/adsl.htm") << QVariant("/doc/adsl.htm");
    QTest::newRow("stats page empty keeps start")
        << tweaks << "Stats page"
        << ""
        << "statsPage" << QVariant("/doc/adsl.htm") << QVariant("/doc/adsl.htm");
    QTest::newRow("stats page given") << tweaks << "Stats page"
                                      << "/x.htm"
                                      << "statsPage" << QVariant("/doc/adsl.htm") << QVariant("/x.htm");
    QTest::newRow("auto range true") << tweaks << "Auto Range"
                                     << "true"
                                     << "autoRange" << QVariant(false) << QVariant(true);
}

void TestSettingsFile::loadKey()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, field);
    QFETCH(QVariant, start);
    QFETCH(QVariant, expected);
    const FieldAccess& accessor = fields().at(field);
    QByteArray content = "[" + section.toLatin1() + "]\r\n";
    if (!value.isNull())
        content += key.toLatin1() + "=" + value.toLatin1() + "\r\n";
    writeFile(content);

    Settings settings;
    accessor.set(settings, start);
    QVERIFY(loadSettings(path(), settings, m_status));
    QCOMPARE(accessor.get(settings), expected);
    QCOMPARE(m_status.texts, QStringList{StatusTexts::loadingSettings});
}

void TestSettingsFile::unstorablePassword_keepsStoredOneAndIsReported_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("accented letter") << QStringLiteral("caf\u00E9");
    QTest::newRow("character outside the code page") << QStringLiteral("\u0416");
    QTest::newRow("too long to read back") << QString(255, 'a');
}

void TestSettingsFile::unstorablePassword_keepsStoredOneAndIsReported()
{
    QFETCH(QString, password);
    Settings settings;
    settings.password = QStringLiteral("old");
    QVERIFY(saveSettings(path(), settings, m_status).passwordStored);

    settings.password = password;
    const SettingsSaveResult result = saveSettings(path(), settings, m_status);
    QVERIFY(result.fileWritten);
    QVERIFY(!result.passwordStored);
    Settings loaded;
    QVERIFY(loadSettings(path(), loaded, m_status));
    QCOMPARE(loaded.password, QStringLiteral("old"));
}

void TestSettingsFile::unwritableFolder_reportsNothingWritten()
{
    const QString target = m_dir->filePath(QStringLiteral("missing/settings.ini"));
    const SettingsSaveResult result = saveSettings(target, Settings(), m_status);
    QVERIFY(!result.fileWritten);
    QVERIFY(!result.passwordStored);
}

void TestSettingsFile::unreadablePath_changesNothing()
{
    Settings settings;
    settings.routerIp = QStringLiteral("kept");
    QVERIFY(!loadSettings(m_dir->path(), settings, m_status));
    QCOMPARE(settings.routerIp, QStringLiteral("kept"));
    QVERIFY(!saveSettings(m_dir->path(), settings, m_status).fileWritten);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "TestSettingsFile.moc"
