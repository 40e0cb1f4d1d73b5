#pragma once

#include <QPointer>

class QMessageBox;
class QString;
class QWidget;

// Message box with an exclamation icon and an OK button. Showing it never holds up the caller: the
// box waits for the user while the program goes on. Tests record the calls instead.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual void showExclamation(const QString& title, const QString& text) = 0;
    // True from showExclamation() until the user has closed that box.
    virtual bool isShowing() const = 0;
};

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
