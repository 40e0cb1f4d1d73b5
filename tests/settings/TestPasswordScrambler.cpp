#include "platform/AnsiCodec.h"
#include "settings/PasswordScrambler.h"

#include <QTest>

#include <algorithm>

namespace {

// The largest key code laid against any character of a text of this length.
int largestKeyCode(int length)
{
    const QByteArray key = AnsiCodec::encode(passwordKey);
    return *std::max_element(key.begin(), key.begin() + std::min<qsizetype>(length, key.size()));
}

} // namespace

// The stored password must come back exactly, including bytes the code page leaves undefined.
class TestPasswordScrambler : public QObject
{
    Q_OBJECT

private slots:
    void knownValues_data();
    void knownValues();
    void unscramblable_failsWholeCall_data();
    void unscramblable_failsWholeCall();
    void everyCode_roundTripsOrFails();
    void everyLength_roundTrips();
    void storable_data();
    void storable();
};

void TestPasswordScrambler::knownValues_data()
{
    QTest::addColumn<QString>("clear");
    QTest::addColumn<QString>("scrambled");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one character takes the first key character") << "6" << AnsiCodec::decode("\x81");
    QTest::newRow("seven characters") << "s3cret!" << AnsiCodec::decode("\xC7\x65\x99\xC4\xBB\xB8\x6C");
    QTest::newRow("ten characters: first and last both take K")
        << "aaaaaaaaaa" << AnsiCodec::decode("\xAC\xA3\xAF\xB5\x93\x97\xB3\xB7\xA5\xAC");
}

void TestPasswordScrambler::knownValues()
{
    QFETCH(QString, clear);
    QFETCH(QString, scrambled);
    QCOMPARE(scramblePassword(passwordKey, clear), std::optional<QString>(scrambled));
    QCOMPARE(unscramblePassword(passwordKey, scrambled), std::optional<QString>(clear));
}

void TestPasswordScrambler::unscramblable_failsWholeCall_data()
{
    QTest::addColumn<bool>("scrambling");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::newRow("accented letter sums above 255") << true << passwordKey.toString() << QStringLiteral("ab\u00E9");
    QTest::newRow("character outside the code page") << true << passwordKey.toString() << QStringLiteral("\u0416");
    QTest::newRow("hand-typed value below the key") << false << passwordKey.toString() << QStringLiteral("secretA");
    QTest::newRow("stored character outside the code page")
        << false << passwordKey.toString() << QStringLiteral("\u0416");
    QTest::newRow("empty key") << true << QString() << QStringLiteral("a");
}

void TestPasswordScrambler::unscramblable_failsWholeCall()
{
    QFETCH(bool, scrambling);
    QFETCH(QString, key);
    QFETCH(QString, text);
    const std::optional<QString> result = scrambling ? scramblePassword(key, text) : unscramblePassword(key, text);
    QCOMPARE(result, std::nullopt);
}

void TestPasswordScrambler::everyCode_roundTripsOrFails()
{
    for (int code = 0; code < 256; ++code) {
        for (int length = 1; length <= 9; ++length) {
            const QString text = AnsiCodec::decode(QByteArray(length, char(code)));
            const bool fits = code + largestKeyCode(length) <= 255;
            const std::optional<QString> scrambled = scramblePassword(passwordKey, text);
            QCOMPARE(scrambled.has_value(), fits);
            if (fits)
                QCOMPARE(unscramblePassword(passwordKey, *scrambled), std::optional<QString>(text));
            const std::optional<QString> clear = unscramblePassword(passwordKey, text);
            QCOMPARE(clear.has_value(), code >= largestKeyCode(length));
            if (clear)
                QCOMPARE(scramblePassword(passwordKey, *clear), std::optional<QString>(text));
        }
    }
}

void TestPasswordScrambler::everyLength_roundTrips()
{
    for (int length = 0; length <= 300; ++length) {
        QString text;
        for (int i = 0; i < length; ++i)
            text.append(QChar(32 + (i * 7) % 95));
        const std::optional<QString> scrambled = scramblePassword(passwordKey, text);
        QVERIFY(scrambled);
        QCOMPARE(scrambled->size(), text.size());
        QCOMPARE(unscramblePassword(passwordKey, *scrambled), std::optional<QString>(text));
    }
}

void TestPasswordScrambler::storable_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("expected");
    QTest::newRow("accented letter") << "caf\u00E9" << false;
    QTest::newRow("254 characters") << QString(254, 'a') << true;
    QTest::newRow("255 characters would be cut when read") << QString(255, 'a') << false;
}

void TestPasswordScrambler::storable()
{
    QFETCH(QString, password);
    QFETCH(bool, expected);
    QCOMPARE(canStorePassword(password), expected);
}

QTEST_GUILESS_MAIN(TestPasswordScrambler)
#include "TestPasswordScrambler.moc"
