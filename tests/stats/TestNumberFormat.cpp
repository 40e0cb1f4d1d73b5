#include "stats/NumberFormat.h"

#include <QDateTime>
#include <QTest>

#include <limits>

// The texts of values and drop times, in a point and a comma locale.
class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void labelForm_data();
    void labelForm();
    void tooltipForm_data();
    void tooltipForm();
    void dropTime_data();
    void dropTime();
};

namespace {

const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
const QLocale german(QLocale::German, QLocale::Germany);

} // namespace

void TestNumberFormat::labelForm_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole number") << 12.0f << uk << "12.0";
    QTest::newRow("rounded up") << 6.27f << uk << "6.3";
    QTest::newRow("three digits") << 100.0f << uk << "100.0";
    QTest::newRow("exact half rounds away from zero") << 6.25f << uk << "6.3";
    QTest::newRow("negative exact half") << -6.25f << uk << "-6.3";
    QTest::newRow("negative") << -2.5f << uk << "-2.5";
    QTest::newRow("small negative has no minus zero") << -0.04f << uk << "0.0";
    QTest::newRow("below one keeps the leading zero") << 0.5f << uk << "0.5";
    QTest::newRow("comma locale") << 6.27f << german << "6,3";
    QTest::newRow("large value has no grouping") << 1.0e7f << german << "10000000,0";
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << uk << "nan";
}

void TestNumberFormat::labelForm()
{
    QFETCH(float, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(NumberFormat::labelForm(value, locale), text);
}

void TestNumberFormat::tooltipForm_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole number has no separator") << 12.0f << uk << "12";
    QTest::newRow("one decimal") << 6.5f << uk << "6.5";
    QTest::newRow("float noise beyond seven digits") << 23.4f << uk << "23.4";
    QTest::newRow("seven digits") << 1234567.0f << uk << "1234567";
    QTest::newRow("eight digits go exponential") << 12345678.0f << uk << "1.234568E+07";
    QTest::newRow("negative") << -0.1f << uk << "-0.1";
    QTest::newRow("comma locale") << 6.5f << german << "6,5";
}

void TestNumberFormat::tooltipForm()
{
    QFETCH(float, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(NumberFormat::tooltipForm(value, locale), text);
}

void TestNumberFormat::dropTime_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");

    const QDateTime morning(QDate(2026, 3, 5), QTime(7, 8, 9));
    QTest::newRow("two-digit fields") << morning << uk << "Thu 05/03/2026 07:08:09";
    QTest::newRow("afternoon is 24-hour")
        << QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58)) << uk << "Wed 31/12/2025 23:59:58";
    QTest::newRow("weekday in the locale's language") << morning << german << "Do. 05/03/2026 07:08:09";
}

void TestNumberFormat::dropTime()
{
    QFETCH(QDateTime, time);
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QCOMPARE(NumberFormat::dropTime(time, locale), text);
}

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "TestNumberFormat.moc"
