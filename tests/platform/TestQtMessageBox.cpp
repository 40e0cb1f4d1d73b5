#include "platform/MessageBox.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

enum class Closing
{
    okButton,
    escapeKey,
    closeBox,
};

QMessageBox* openBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

Q_DECLARE_METATYPE(Closing)

// The router's error box must wait for the user without holding up the program behind it.
class TestQtMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void showExclamation_returnsAtOnceAndWaitsForTheUser_data();
    void showExclamation_returnsAtOnceAndWaitsForTheUser();
};

void TestQtMessageBox::showExclamation_returnsAtOnceAndWaitsForTheUser_data()
{
    QTest::addColumn<Closing>("closing");
    QTest::newRow("OK clicked") << Closing::okButton;
    QTest::newRow("Escape pressed") << Closing::escapeKey;
    QTest::newRow("box closed") << Closing::closeBox;
}

void TestQtMessageBox::showExclamation_returnsAtOnceAndWaitsForTheUser()
{
    QFETCH(Closing, closing);
    QWidget window;
    window.show();
    QtMessageBox messageBox(&window);
    // A box that ran its own event loop until closed would only return through this rescue.
    bool rescued = false;
    QTimer rescue;
    rescue.setSingleShot(true);
    connect(&rescue, &QTimer::timeout, this, [&rescued] {
        if (QMessageBox* box = openBox()) {
            rescued = true;
            box->close();
        }
    });
    rescue.start(2000);

    messageBox.showExclamation(QStringLiteral("Linegauge"), QStringLiteral("Unable to log in to the router."));
    QVERIFY(!rescued);
    QPointer<QMessageBox> box = openBox();
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("Unable to log in to the router."));
    QCOMPARE(box->windowTitle(), QStringLiteral("Linegauge"));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QTest::qWait(100);
    QVERIFY(messageBox.isShowing());

    if (closing == Closing::okButton)
        box->button(QMessageBox::Ok)->click();
    else if (closing == Closing::escapeKey)
        QTest::keyClick(box.data(), Qt::Key_Escape);
    else
        box->close();
    QVERIFY(!messageBox.isShowing());
    QTRY_VERIFY(box.isNull());
    QVERIFY(!rescued);
}

QTEST_MAIN(TestQtMessageBox)
#include "TestQtMessageBox.moc"
