#include "platform/PrivateProfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <unistd.h>

namespace {

const QString s = QStringLiteral("s");
const QString k = QStringLiteral("k");
constexpr QFileDevice::Permissions readWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

// The settings file is the user's own: hand edits, odd line ends and foreign bytes must survive,
// and no file content, however broken, may crash or hang the reader.
class TestPrivateProfile : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.emplace().isValid()); }
    void readValue_thenWrite_data();
    void readValue_thenWrite();
    void writeValue_data();
    void writeValue();
    void batchOfWrites_equalsSingleWrites();
    void refusedWrite_changesNothing_data();
    void refusedWrite_changesNothing();

private:
    QString write(const QByteArray& content, const QString& name = QStringLiteral("settings.ini")) const;
    static QByteArray readBack(const QString& path);

    std::optional<QTemporaryDir> m_dir;
};

QString TestPrivateProfile::write(const QByteArray& content, const QString& name) const
{
    QString path = m_dir->filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the test file");
    return path;
}

QByteArray TestPrivateProfile::readBack(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void TestPrivateProfile::readValue_thenWrite_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // of key k in section s; null: not checked

    QTest::newRow("names differ in case, blanks around") << QByteArray("[S]\r\n  K \t=  5 \t\r\n") << "5";
    QTest::newRow("one pair of quotes stripped") << QByteArray("[s]\r\nk=\"\"a b\"\"\r\n") << "\"a b\"";
    QTest::newRow("lone quote kept") << QByteArray("[s]\r\nk=\"\r\n") << "\"";
    QTest::newRow("equals sign inside value") << QByteArray("[s]\r\nk=a=b\r\n") << "a=b";
    QTest::newRow("missing section") << QByteArray("[t]\r\nk=1\r\n") << "";
    QTest::newRow("key in another section") << QByteArray("[s]\r\n[t]\r\nk=1\r\n") << "";
    QTest::newRow("key before any section") << QByteArray("k=1\r\n[s]\r\n") << "";
    QTest::newRow("duplicate key: first wins") << QByteArray("[s]\r\nk=1\r\nK=2\r\n") << "1";
    QTest::newRow("duplicate section: first wins") << QByteArray("[s]\r\na=1\r\n[s]\r\nk=2\r\n") << "";
    QTest::newRow("line without equals is no key") << QByteArray("[s]\r\nk\r\nk=2\r\n") << "2";
    QTest::newRow("comment is no key") << QByteArray("[s]\r\n;k=1\r\n") << "";
    QTest::newRow("lf only, no trailing newline") << QByteArray("[s]\nj=2\nk=last") << "last";
    QTest::newRow("utf-8 byte-order mark") << QByteArray("\xEF\xBB\xBF[s]\r\nk=1\r\n") << "1";
    QTest::newRow("lone carriage return reads as a blank") << QByteArray("[s]\r\nk=a\rb\r\n") << "a b";
    QTest::newRow("nul ends the value") << QByteArray("[s]\r\nk=\0b\r\n", 11) << "";
    QTest::newRow("300 characters cut to 254") << "[s]\r\nk=" + QByteArray(300, 'x') << QString(254, 'x');
    QTest::newRow("undefined code page bytes kept")
        << QByteArray("[s]\r\nk=\x81\x8D\xE9\r\n") << QStringLiteral("\u0081\u008D\u00E9");
    QByteArray binary(1 << 16, Qt::Uninitialized);
    QRandomGenerator generator(7);
    for (char& byte : binary)
        byte = char(generator.bounded(256));
    QTest::newRow("random bytes") << binary << QString();
    const QByteArray lead = "[s]\r\nk=";
    QTest::newRow("one line filling the size bound")
        << lead + QByteArray(PrivateProfile::maxFileBytes - lead.size(), '=') << QString(254, '=');
    QTest::newRow("only brackets") << QByteArray(100000, '[') << "";
    QTest::newRow("cr only line ends") << QByteArray("[s]\rk=1\rj=2\r") << "";
}

// Whatever the content, reading ends, and a value written after it reads back.
void TestPrivateProfile::readValue_thenWrite()
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

void TestPrivateProfile::writeValue_data()
{
    QTest::addColumn<QByteArray>("before"); // null: no file at all
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("replaced in place, lf kept")
        << QByteArray("[s]\nk=1\nz=9\n") << "2" << QByteArray("[s]\nk=2\nz=9\n");
    QTest::newRow("user's spelling and spacing kept")
        << QByteArray("[S]\r\n K = 1\r\n") << "2" << QByteArray("[S]\r\n K = 2\r\n");
    QTest::newRow("unchanged value leaves quoted line alone")
        << QByteArray("[s]\r\nk = \"1\" \r\n") << "1" << QByteArray("[s]\r\nk = \"1\" \r\n");
    QTest::newRow("new key after last key, before blank and comment") << QByteArray(
        "[s]\r\na=1\r\n\r\n; next=x\r\n[t]\r\n") << "2" << QByteArray("[s]\r\na=1\r\nk=2\r\n\r\n; next=x\r\n[t]\r\n");
    QTest::newRow("new key in empty section")
        << QByteArray("[s]\r\n[t]\r\n") << "2" << QByteArray("[s]\r\nk=2\r\n[t]\r\n");
    QTest::newRow("new key at end without newline")
        << QByteArray("[s]\r\na=1") << "2" << QByteArray("[s]\r\na=1\r\nk=2\r\n");
    QTest::newRow("new section after last line without newline")
        << QByteArray("[t]\nx=1") << "2" << QByteArray("[t]\nx=1\r\n[s]\r\nk=2\r\n");
    QTest::newRow("empty file") << QByteArray("") << "2" << QByteArray("[s]\r\nk=2\r\n");
    QTest::newRow("missing file is created") << QByteArray() << "2" << QByteArray("[s]\r\nk=2\r\n");
    QTest::newRow("first of duplicate sections")
        << QByteArray("[s]\r\nk=1\r\n[s]\r\nk=1\r\n") << "2" << QByteArray("[s]\r\nk=2\r\n[s]\r\nk=1\r\n");
    QTest::newRow("line break in value cannot split the line")
        << QByteArray("[s]\r\nk=1\r\n") << "a\r\nb" << QByteArray("[s]\r\nk=a  b\r\n");
    QTest::newRow("lone carriage return already reads as the blank written")
        << QByteArray("[s]\r\nk=a\rb\r\n") << "a b" << QByteArray("[s]\r\nk=a\rb\r\n");
    QTest::newRow("blanks at the ends kept in quotes")
        << QByteArray("[s]\r\nk=1\r\n") << " a\t" << QByteArray("[s]\r\nk=\" a\t\"\r\n");
    QTest::newRow("quoted value kept in a pair of its own")
        << QByteArray("") << "\"a\"" << QByteArray("[s]\r\nk=\"\"a\"\"\r\n");
    QTest::newRow("byte-order mark kept, undefined code page bytes written back")
        << QByteArray("\xEF\xBB\xBF[s]\r\nk=1\r\n") << QStringLiteral("\u0081\u20AC")
        << QByteArray("\xEF\xBB\xBF[s]\r\nk=\x81\x80\r\n");
}

void TestPrivateProfile::writeValue()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    const QString path = before.isNull() ? m_dir->filePath(QStringLiteral("new.ini")) : write(before);
    QVERIFY(writeIniValue(s, k, value, path));
    QCOMPARE(readBack(path), after);
}

void TestPrivateProfile::batchOfWrites_equalsSingleWrites()
{
    const QByteArray original = readBack(QStringLiteral(LINEGAUGE_TEST_DATA "/settings/handwritten.ini"));
    const QList<std::pair<QString, QString>> writes{
        {"Router IP", "10.1.1.1"}, {"Username", "root"}, {"New key", "x"}, {"Grid", "True"}, {"router ip", "10.2.2.2"}};
    const QString single = write(original);
    PrivateProfile batch(original);
    for (const auto& [key, value] : writes) {
        QVERIFY(writeIniValue(QStringLiteral("Options"), key, value, single));
        batch.setValue(QStringLiteral("Options"), key, value);
    }
    QCOMPARE(batch.content(), readBack(single));
}

void TestPrivateProfile::refusedWrite_changesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // null: no file written there
    QTest::addColumn<int>("permissions");
    QTest::addColumn<QString>("readValue");
    const QByteArray file("[s]\r\nk=1\r\nkeep=me\r\n");
    const int writeOnly = QFileDevice::WriteOwner;
    QTest::newRow("folder missing") << "missing/settings.ini" << QByteArray() << 0 << "";
    QTest::newRow("path is a folder") << "." << QByteArray() << 0 << "";
    QTest::newRow("folder is a file") << "plain.txt/settings.ini" << QByteArray() << 0 << "";
    QTest::newRow("read-only file keeps its write bit off") << "a.ini" << file << int(QFileDevice::ReadOwner) << "1";
    QTest::newRow("unreadable file is not overwritten") << "a.ini" << file << writeOnly << "";
    QTest::newRow("file over the size bound")
        << "a.ini" << file + QByteArray(PrivateProfile::maxFileBytes, '\n') << int(readWrite) << "";
}

void TestPrivateProfile::refusedWrite_changesNothing()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, permissions);
    QFETCH(QString, readValue);
    if (geteuid() == 0 && !(permissions & QFileDevice::ReadOwner) && !content.isNull())
        QSKIP("file permissions do not bind the super-user");
    write("", QStringLiteral("plain.txt"));
    const QString path = m_dir->filePath(name);
    if (!content.isNull()) {
        write(content, name);
        QFile::setPermissions(path, QFileDevice::Permissions(permissions));
    }

    QVERIFY(!writeIniValue(s, k, QStringLiteral("2"), path));
    QCOMPARE(readIniValue(s, k, path), readValue);
    if (content.isNull())
        return;
    QCOMPARE(QFile::permissions(path) & readWrite, QFileDevice::Permissions(permissions));
    QFile::setPermissions(path, readWrite);
    QCOMPARE(readBack(path), content);
}

QTEST_GUILESS_MAIN(TestPrivateProfile)
#include "TestPrivateProfile.moc"
