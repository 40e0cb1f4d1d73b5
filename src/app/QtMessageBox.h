#pragma once

#include "platform/MessageBox.h"

#include <QPointer>

class QMessageBox;
class QWidget;

// Shows a real QMessageBox over the given parent window, modal to that window only.
class QtMessageBox final : public MessageBox
{
public:
    explicit QtMessageBox(QWidget* parent = nullptr);
    ~QtMessageBox() override;
    Q_DISABLE_COPY_MOVE(QtMessageBox)

    void showExclamation(const QString& title, const QString& text) override;
    bool isShowing() const override;

private:
    QWidget* m_parent;
    QPointer<QMessageBox> m_box; // the latest box; it deletes itself once closed
};
