#include "app/PageTextBox.h"

#include <QPlainTextEdit>

PageTextBox::PageTextBox(QPlainTextEdit& box)
    : m_box(box)
{ }

void PageTextBox::showFetchedPage(const QString& page)
{
    m_box.setPlainText(page);
    m_fetchedPage = page;
    m_shownText = m_box.toPlainText();
}

QString PageTextBox::pageText() const
{
    QString text = m_box.toPlainText();
    return text == m_shownText && !m_fetchedPage.isEmpty() ? m_fetchedPage : text;
}
