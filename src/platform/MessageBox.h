#pragma once

class QString;
class QWidget;

// Modal message box with an exclamation icon and an OK button.
// Tests record the calls instead of blocking on a dialog.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void showExclamation(const QString& title, const QString& text) = 0;
};

// Shows a real QMessageBox over the given parent window.
class QtMessageBox final : public MessageBox
{
public:
    explicit QtMessageBox(QWidget* parent = nullptr);
    void showExclamation(const QString& title, const QString& text) override;

private:
    QWidget* m_parent;
};
