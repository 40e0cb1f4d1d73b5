#pragma once

#include <QPushButton>

// A push button whose caption wraps onto several lines when the button is narrower than the text.
class WrapPushButton : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WrapPushButton)

public:
    explicit WrapPushButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
