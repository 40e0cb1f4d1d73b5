#include "platform/MessageBox.h"

#include <QMessageBox>

QtMessageBox::QtMessageBox(QWidget* parent)
    : m_parent(parent)
{ }

void QtMessageBox::showExclamation(const QString& title, const QString& text)
{
    QMessageBox::warning(m_parent, title, text, QMessageBox::Ok);
}
