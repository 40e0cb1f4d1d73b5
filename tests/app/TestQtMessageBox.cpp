#include "app/QtMessageBox.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The router's error box must wait for the user without holding up the program behind it.
class TestQtMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void showExclamation_returnsAtOnce()
    {
        QWidget window;
        window.show();
        QtMessageBox messageBox(&window);
        // A box running its own event loop would return only through this rescue.
        QTimer rescue;
        connect(&rescue, &QTimer::timeout, &window, [&window] { window.findChild<QMessageBox*>()->close(); });
        rescue.setSingleShot(true);
        rescue.start(2000);

        messageBox.showExclamation(QStringLiteral("Linegauge"), QStringLiteral("Unable to log in to the router."));
        QVERIFY(rescue.isActive());
        rescue.stop();
        const QPointer<QMessageBox> box = window.findChild<QMessageBox*>();
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->text(), QStringLiteral("Unable to log in to the router."));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QVERIFY(messageBox.isShowing());

        box->button(QMessageBox::Ok)->click();
        QVERIFY(!messageBox.isShowing());
        QTRY_VERIFY(box.isNull());
    }
};

QTEST_MAIN(TestQtMessageBox)
#include "TestQtMessageBox.moc"
