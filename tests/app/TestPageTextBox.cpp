#include "ui_MainWindow.h"

#include "app/MainWindow.h"
#include "app/PageTextBox.h"

#include <QPlainTextEdit>
#include <QTest>

// "Test Page" on the window's own page-text box parses what the router sent, not the box's rendering.
class TestPageTextBox : public QObject
{
    Q_OBJECT

private slots:
    void pageText_data();
    void pageText();
};

void TestPageTextBox::pageText_data()
{
    QTest::addColumn<QStringList>("fetched");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("fromBox");

    const QString crOnly = QStringLiteral("var st_dw_snr_margin = \"9.5\";\rvar st_up_snr_margin = \"7.0\";\r");
    const QString noBreak = QStringLiteral("var st_dw_snr_margin =\u00A0\"9.5\";\n");
    QTest::newRow("lone carriage returns") << QStringList{crOnly} << QString() << false;
    QTest::newRow("no-break space") << QStringList{noBreak} << QString() << false;
    QTest::newRow("later fetch replaces the page") << QStringList{noBreak, crOnly} << QString() << false;
    QTest::newRow("edited after the fetch") << QStringList{crOnly} << "x" << true;
    QTest::newRow("typed without a fetch") << QStringList{} << "var st_up_snr_margin = \"1\";" << true;
}

void TestPageTextBox::pageText()
{
    QFETCH(QStringList, fetched);
    QFETCH(QString, typed);
    QFETCH(bool, fromBox);

    MainWindow window;
    QPlainTextEdit* box = window.ui().txtDebug;
    PageTextBox page(*box);
    for (const QString& text : fetched)
        page.showFetchedPage(text);
    if (!typed.isEmpty()) {
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, typed);
    }

    QCOMPARE(page.pageText(), fromBox ? box->toPlainText() : fetched.last());
    if (fromBox)
        QVERIFY(box->toPlainText().endsWith(typed));
    else // the box's own rendering is not the page
        QVERIFY(box->toPlainText() != fetched.last());
}

QTEST_MAIN(TestPageTextBox)
#include "TestPageTextBox.moc"
