#include "platform/AnsiCodec.h"
#include "platform/PrivateProfile.h"
#include "settings/PasswordScrambler.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "stats/StatusTexts.h"
#include "support/FileBytes.h"
#include "support/RecordingStatusLine.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <optional>

namespace {

QByteArray fixture(const char* name)
{
    return fileBytes(QStringLiteral(LINEGAUGE_TEST_DATA "/settings/") + QLatin1String(name));
}

// Every field the loader fills, in one line, so a row states the whole outcome of a load.
QString describe(const Settings& s)
{
    const auto n = [](double number) { return QString::number(number); };
    return QStringList{s.routerIp, s.userName, s.password, s.portText, s.statsPage, n(s.useBalloons), n(s.markers),
        n(s.labels), n(s.grid), n(s.saveToFile), n(s.graphMax), n(s.snrThreshold), n(s.attThreshold),
        n(s.separateDateTime), n(s.autoRange)}
        .join(u'|');
}

// The largest key code laid against any character of a text of this length.
int largestKeyCode(int length)
{
    const QByteArray key = AnsiCodec::encode(passwordKey);
    return *std::max_element(key.begin(), key.begin() + std::min<qsizetype>(length, key.size()));
}

} // namespace

// The settings file is kept by the user across versions: what the program writes must be exact,
// and whatever the user typed into it must load without harm. The stored password must come back
// exactly, including bytes the code page leaves undefined.
class TestSettingsFile : public QObject
{
    Q_OBJECT

    QString path() const { return m_dir->filePath(QStringLiteral("settings.ini")); }

    std::optional<QTemporaryDir> m_dir;
    RecordingStatusLine m_status;

private slots:
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        QLocale::setDefault(QLocale::c());
        m_status = RecordingStatusLine();
    }

    // The missing keys are appended inside Options, in their order and spelling.
    void untouchedWindow_writtenFile()
    {
        writeFileBytes(path(), fixture("missing-keys.ini"));
        const SettingsSaveResult result = saveSettings(path(), Settings(), m_status);
        QVERIFY(result.fileWritten && result.passwordStored);
        QCOMPARE(fileBytes(path()), fixture("missing-keys.expected.ini"));
        QCOMPARE(m_status.texts, QStringList{StatusTexts::savingSettings});
    }

    // A password the file cannot hold leaves the stored one in place, and says so.
    void handwrittenFile_survivesLoadSaveCycles()
    {
        const QByteArray original = fixture("handwritten.ini");
        writeFileBytes(path(), original);
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

    void load_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("values that do not convert")
            << "C"
            << QByteArray("[Options]\r\nPassword (encrypted)=ABC\r\nSysTray Balloons=true\r\nMarkers=yes\r\n"
                          "Save to file=3\r\n[Tweaks]\r\nMaximum value=0\r\nSNR threshold=4,500.5\r\n"
                          "Att. threshold=1e50\r\nSeparate date and time=no\r\nStats page=\r\n")
            << "||old||/doc/adsl.htm|0|0|1|0|1|50|6|50|1|0";
        QTest::newRow("numbers as flags, halves to even")
            << "C" << QByteArray("[Options]\r\nMarkers=TRUE\r\nGrid=-1\r\nSave to file=2.5\r\n")
            << "||||/doc/adsl.htm|0|1|0|1|2|50|6|50|1|0";
        for (const char* locale : {"C", "de_DE"})
            QTest::addRow("decimal commas in the %s locale", locale)
                << locale
                << QByteArray("[Tweaks]\r\nMaximum value=80,5\r\nSNR threshold=6,5\r\nAtt. threshold=55,25\r\n")
                << "||||/doc/adsl.htm|0|0|1|0|1|80.5|6.5|55.25|1|0";
        QTest::newRow("decimal points in a German locale")
            << "de_DE" << QByteArray("[Tweaks]\r\nSNR threshold=4.500\r\nAtt. threshold=1,5e1\r\n")
            << "||||/doc/adsl.htm|0|0|1|0|1|50|4.5|15|1|0";
        QTest::newRow("decimal commas in flags") << "C" << QByteArray("[Options]\r\nGrid=0,5\r\nSave to file=0,4\r\n")
                                                 << "||||/doc/adsl.htm|0|0|1|1|0|50|6|50|1|0";
    }

    // Loaded over a window whose password is "old", in the given locale: a missing key reads empty, a
    // value that does not convert keeps its field, and a decimal comma reads as a point in every locale.
    void load()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        writeFileBytes(path(), content);
        Settings settings;
        settings.password = QStringLiteral("old");
        QVERIFY(loadSettings(path(), settings, m_status));
        QCOMPARE(describe(settings), expected);
        QCOMPARE(m_status.texts, QStringList{StatusTexts::loadingSettings});
    }

    void savedValue_readsBackAsWritten_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("readBack");
        const QString longest(PrivateProfile::maxValueLength, u'a');
        QTest::newRow("address as long as a value can be") << "Router IP" << longest << longest;
        QTest::newRow("address of 300 characters") << "Router IP" << longest + QString(46, u'b') << longest;
        QTest::newRow("blank where the address is cut")
            << "Router IP" << QString(253, u'a') + u" b"_qs << QString(253, u'a') + u" "_qs;
        QTest::newRow("interval with a decimal comma") << u"Minutes"_qs << u"0,5"_qs << u"0.5"_qs;
        QTest::newRow("interval with a decimal comma before words")
            << u"Minutes"_qs << u" 1,5 min, roughly"_qs << u" 1.5 min, roughly"_qs;
        QTest::newRow("interval with a decimal point") << u"Minutes"_qs << u"0.5"_qs << u"0.5"_qs;
        QTest::newRow("interval with words first") << u"Minutes"_qs << u"every 1,5"_qs << u"every 1,5"_qs;
    }

    // What one run saves, the next reads back: the file holds the value exactly as it is read; the
    // interval goes back with a point, which every reader takes, the rest of its text as typed.
    void savedValue_readsBackAsWritten()
    {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, readBack);
        const auto field = [&key](Settings& s) -> QString& { return key == u"Minutes" ? s.minutesText : s.routerIp; };
        Settings saved;
        field(saved) = typed;
        QVERIFY(saveSettings(path(), saved, m_status).fileWritten);
        Settings loaded;
        QVERIFY(loadSettings(path(), loaded, m_status));
        QCOMPARE(field(loaded), readBack);
        const QString line = QString::fromLatin1(fileBytes(path())).split(u"\r\n"_qs).filter(key + u'=').first();
        const bool quoted = readBack.startsWith(u' ') || readBack.endsWith(u' ');
        QCOMPARE(line.size(), key.size() + 1 + readBack.size() + (quoted ? 2 : 0));
    }

    void sizeBound_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<bool>("written");
        const auto padded = [](qsizetype size) { return "[Tweaks]\r\n;" + QByteArray(size - 13, 'x') + "\r\n"; };
        QTest::newRow("file over the bound: neither loaded nor replaced by the program's keys alone")
            << "[Options]\r\nRouter IP=1.2.3.4\r\n" + QByteArray(PrivateProfile::maxFileBytes, '\n') << false << false;
        QTest::newRow("room for the keys") << padded(PrivateProfile::maxFileBytes - 4096) << true << true;
        QTest::newRow("keys past the bound: file kept") << padded(PrivateProfile::maxFileBytes - 26) << true << false;
    }

    // A start reads files up to a bound; a file past it, or a save that would pass it, changes nothing.
    void sizeBound()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, loads);
        QFETCH(bool, written);
        writeFileBytes(path(), content);
        Settings settings;
        QCOMPARE(loadSettings(path(), settings, m_status), loads);
        if (!loads)
            QCOMPARE(describe(settings), describe(Settings()));
        const SettingsSaveResult result = saveSettings(path(), settings, m_status);
        QCOMPARE(result.fileWritten, written);
        QCOMPARE(result.passwordStored, written);
        QCOMPARE(fileBytes(path()) == content, !written);
        QCOMPARE(m_status.texts.contains(QString::fromLatin1(StatusTexts::settingsTooLarge)), loads && !written);
    }

    // Ten characters take the key's first character twice; a character outside the code page or an
    // empty key cannot be scrambled; an empty password can.
    void knownValue_andRefusals()
    {
        QCOMPARE(scramblePassword(passwordKey, u"aaaaaaaaaa"_qs),
            AnsiCodec::decode("\xAC\xA3\xAF\xB5\x93\x97\xB3\xB7\xA5\xAC"));
        QCOMPARE(scramblePassword(passwordKey, QStringLiteral("\u0416")), std::nullopt);
        QCOMPARE(scramblePassword(QString(), QStringLiteral("a")), std::nullopt);
        QCOMPARE(scramblePassword(passwordKey, QString()), std::optional<QString>(QString()));
        QVERIFY(canStorePassword(QString()));
    }

    // A password is storable exactly when it scrambles and is short enough to be read back whole.
    void everyCodeAndLength_roundTripsOrFails()
    {
        for (int code = 0; code < 256; ++code) {
            // Each length up to the key's, then around the longest value the reader gives back whole.
            for (const int length : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 254, 255, 300}) {
                const QString text = AnsiCodec::decode(QByteArray(length, char(code)));
                const bool fits = code + largestKeyCode(length) <= 255;
                const std::optional<QString> scrambled = scramblePassword(passwordKey, text);
                QCOMPARE(scrambled.has_value(), fits);
                QCOMPARE(canStorePassword(text), fits && length <= PrivateProfile::maxValueLength);
                if (fits)
                    QCOMPARE(unscramblePassword(passwordKey, *scrambled), std::optional<QString>(text));
                const std::optional<QString> clear = unscramblePassword(passwordKey, text);
                QCOMPARE(clear.has_value(), code >= largestKeyCode(length));
                if (clear)
                    QCOMPARE(scramblePassword(passwordKey, *clear), std::optional<QString>(text));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "TestSettingsFile.moc"
