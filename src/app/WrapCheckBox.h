#pragma once

#include <QCheckBox>

// A check box whose caption wraps onto several lines when the box is narrower than the text.
// The whole box, caption included, toggles on a click.
class WrapCheckBox : public QCheckBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WrapCheckBox)

public:
    explicit WrapCheckBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
};
