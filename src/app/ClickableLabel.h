#pragma once

#include <QLabel>

// A label that reports a left-button click, for the value cells and captions that toggle things.
// Given the focus, Space or Enter clicks it, and a focus frame shows where the keyboard is.
class ClickableLabel : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ClickableLabel)

public:
    explicit ClickableLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
