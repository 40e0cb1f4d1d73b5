#include "app/QtMessageBox.h"

#include <QMessageBox>

QtMessageBox::QtMessageBox(QWidget* parent)
    : m_parent(parent)
{ }

QtMessageBox::~QtMessageBox()
{
    delete m_box.data();
}

void QtMessageBox::showExclamation(const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, m_parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // open() returns at once: the event loop, and with it the monitoring timer, keeps running
    // while the box waits for OK.
    box->open();
    m_box = box;
}

bool QtMessageBox::isShowing() const
{
    return !m_box.isNull() && m_box->isVisible();
}
