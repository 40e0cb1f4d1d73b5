#include "app/ProgramIcon.h"

#include <QTest>

// A size the icon lacks is scaled from another one and shows blurred in that menu or launcher.
class TestProgramIcon : public QObject
{
    Q_OBJECT

private slots:
    void renderedAt_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%d pixels", size) << size;
    }

    void renderedAt()
    {
        QFETCH(int, size);
        const QIcon icon = ProgramIcon::icon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // The screen's frame crosses the middle column a tenth of the way down.
        QCOMPARE(image.pixelColor(size / 2, size / 10).alpha(), 255);
    }
};

QTEST_MAIN(TestProgramIcon)
#include "TestProgramIcon.moc"
