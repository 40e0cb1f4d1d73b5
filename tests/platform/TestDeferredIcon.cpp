#include "platform/DeferredIcon.h"

#include <QPixmap>
#include <QTest>

#include <functional>

// The status pictures and the program's icon are decoded only when first shown, and once.
class TestDeferredIcon : public QObject
{
    Q_OBJECT

private slots:
    void readsWhenFirstNeeded_data()
    {
        QTest::addColumn<std::function<void(const QIcon&)>>("ask");
        QTest::addColumn<int>("reads");
        QTest::newRow("asked whether it is null, as a window's icon is")
            << std::function([](const QIcon& icon) { QVERIFY(!icon.isNull()); }) << 0;
        QTest::newRow("painted") << std::function([](const QIcon& icon) {
            QCOMPARE(icon.pixmap(16).size(), QSize(16, 16));
        }) << 1;
        QTest::newRow("asked its sizes") << std::function([](const QIcon& icon) {
            QCOMPARE(icon.availableSizes(), QList{QSize(16, 16)});
        }) << 1;
    }

    void readsWhenFirstNeeded()
    {
        QFETCH(std::function<void(const QIcon&)>, ask);
        QFETCH(int, reads);
        int readCount = 0;
        const QIcon icon = DeferredIcon::make([&readCount] {
            ++readCount;
            QPixmap picture(16, 16);
            picture.fill(Qt::red);
            return QIcon(picture);
        });
        QCOMPARE(readCount, 0);
        ask(icon);
        ask(icon);
        QCOMPARE(readCount, reads);
    }
};

QTEST_MAIN(TestDeferredIcon)
#include "TestDeferredIcon.moc"
