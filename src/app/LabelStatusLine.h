#pragma once

#include "stats/StatusLine.h"

class QLabel;

// The status line on its label: the text, and the colour that shows the line state.
class LabelStatusLine final : public StatusLine
{
public:
    explicit LabelStatusLine(QLabel& label);

    void showStatus(const QString& text) override;
    void setStatusColour(const QColor& colour) override;

private:
    QLabel& m_label;
};
