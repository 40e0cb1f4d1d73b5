#include "platform/AnsiCodec.h"
#include "platform/DeferredIcon.h"
#include "platform/PrivateProfile.h"
#include "support/FileBytes.h"

#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

namespace {

const QString s = QStringLiteral("s");
const QString k = QStringLiteral("k");
using Ask = std::function<void(const QIcon&)>;
constexpr QFileDevice::Permissions readWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

// The settings file is the user's own: hand edits, odd line ends and foreign bytes must survive,
// and no file content, however broken, may crash or hang the reader. Stored passwords and router
// pages hold arbitrary bytes, so none may be lost on the way through the code page either. The status
// pictures and the program's icon are decoded only when first shown, and once.
class TestPrivateProfile : public QObject
{
    Q_OBJECT

    QString write(const QByteArray& content) const
    {
        return writeFileBytes(m_dir->filePath(QStringLiteral("settings.ini")), content);
    }

    std::optional<QTemporaryDir> m_dir;

private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }

    // The euro sign opens the range the code page redefines; a character outside it becomes a '?'.
    void everyByte_isOneCharacter_andComesBack()
    {
        QByteArray allBytes;
        for (int code = 0; code < 256; ++code)
            allBytes.append(char(code));
        const QString text = AnsiCodec::decode(allBytes);
        QCOMPARE(text.size(), allBytes.size());
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QVERIFY(AnsiCodec::canEncode(text));
        QCOMPARE(AnsiCodec::encode(text), allBytes);
        QVERIFY(!AnsiCodec::canEncode(QStringLiteral("a\u0416b")));
        QCOMPARE(AnsiCodec::encode(QStringLiteral("a\u0416b")), QByteArray("a?b"));
    }

    void readValue_thenWrite_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // of key k in section s
        QTest::newRow("nul ends the value") << QByteArray("[s]\r\nk=\0b\r\n", 11) << "";
        QTest::newRow("only brackets") << QByteArray(100000, '[') << "";
        QTest::newRow("cr only line ends: one line") << QByteArray("[s]\rk=1\rj=2\r") << "";
        const QByteArray lead = "[s]\r\nk=";
        QTest::newRow("one line filling the size bound, cut to 254")
            << lead + QByteArray(PrivateProfile::maxFileBytes - lead.size(), '=') << QString(254, '=');
        QByteArray binary;
        for (quint32 i = 0; i < 65536; ++i)
            binary.append(char((i * 2654435761u) >> 24));
        QTest::newRow("random bytes") << binary << QString();
    }

    // Whatever the content, reading ends, and a value written after it reads back.
    void readValue_thenWrite()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        const QString path = write(content);
        const QString value = readIniValue(s, k, path);
        QVERIFY(value.size() <= PrivateProfile::maxValueLength);
        if (!expected.isNull())
            QCOMPARE(value, expected);
        QVERIFY(writeIniValue(s, k, QStringLiteral("v"), path));
        QCOMPARE(readIniValue(s, k, path), QStringLiteral("v"));
    }

    // Each write meets one situation of the sample (spelling, duplicates, comments, line ends, quoting);
    // rewriting a value as it reads leaves its line alone. Written one by one to the file or together in
    // memory, the result is the same, byte for byte.
    void writes_changeOnlyTheirLines()
    {
        const QString data = QStringLiteral(LINEGAUGE_TEST_DATA "/settings/");
        const QByteArray before = fileBytes(data + "profile-before.ini");
        const QList<QStringList> writes{{"Spelling", "key", "2"}, {"Kept", "k", "1"}, {"Kept", "r", "a b"},
            {"Kept", "q", "\"a b\""}, {"Kept", "l", "\""}, {"Kept", "e", "a=b"}, {"dup", "k", "5"}, {"Dup", "j", "6"},
            {"Empty", "k", "7"}, {"Last", "k", "8"}, {"New", "k", " a\t"}, {"New", "q", "\"a\""},
            {"New", "b", "a\r\nb"}, {"New", "e", QStringLiteral("\u0081\u20AC")}};
        const QString path = write(before);
        PrivateProfile batch(before);
        for (const QStringList& entry : writes) {
            QVERIFY(writeIniValue(entry[0], entry[1], entry[2], path));
            batch.setValue(entry[0], entry[1], entry[2]);
        }
        const QByteArray after = fileBytes(data + "profile-after.ini");
        QCOMPARE(fileBytes(path), after);
        QCOMPARE(batch.content(), after);
        QVERIFY(writeIniValue(s, k, QStringLiteral("2"), m_dir->filePath(QStringLiteral("new.ini"))));
        QCOMPARE(fileBytes(m_dir->filePath(QStringLiteral("new.ini"))), QByteArray("[s]\r\nk=2\r\n"));
    }

    // The rename would replace a file the user made read-only, so that file is left whole; a missing
    // folder is not made; a file the next load would refuse is not written. (A file that cannot be
    // read is refused by the settings file's own test.)
    void refusedWrite_changesNothing()
    {
        const QByteArray nearBound = "[s]\r\n;" + QByteArray(PrivateProfile::maxFileBytes - 10, 'x') + "\r\n";
        const QString nearPath = write(nearBound);
        QVERIFY(!writeIniValue(s, k, QStringLiteral("just past the bound"), nearPath));
        QCOMPARE(fileBytes(nearPath), nearBound);

        const QByteArray content("[s]\r\nk=1\r\n");
        const QString path = write(content);
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        QVERIFY(!writeIniValue(s, k, QStringLiteral("2"), path));
        QCOMPARE(QFile::permissions(path) & readWrite, QFileDevice::ReadOwner);
        QFile::setPermissions(path, readWrite);
        QCOMPARE(fileBytes(path), content);
        QVERIFY(!writeIniValue(s, k, QStringLiteral("2"), m_dir->filePath(QStringLiteral("missing/settings.ini"))));
    }

    void readsWhenFirstNeeded_data()
    {
        QTest::addColumn<Ask>("ask");
        QTest::addColumn<int>("reads");
        QTest::newRow("asked if null, as a window's icon is") << Ask([](const QIcon& i) { QVERIFY(!i.isNull()); }) << 0;
        QTest::newRow("painted") << Ask([](const QIcon& i) { QCOMPARE(i.pixmap(16).size(), QSize(16, 16)); }) << 1;
        QTest::newRow("sized") << Ask([](const QIcon& i) { QCOMPARE(i.availableSizes(), QList{QSize(16, 16)}); }) << 1;
    }

    void readsWhenFirstNeeded()
    {
        QFETCH(Ask, ask);
        QFETCH(int, reads);
        int readCount = 0;
        const QIcon icon = DeferredIcon::make([&readCount] {
            ++readCount;
            QPixmap picture(16, 16);
            picture.fill(Qt::red);
            return QIcon(picture);
        });
        ask(icon);
        ask(icon);
        QCOMPARE(readCount, reads);
    }
};

QTEST_MAIN(TestPrivateProfile)
#include "TestPrivateProfile.moc"
