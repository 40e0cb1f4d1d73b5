#pragma once

class QColor;
class QString;

// The window's status line: one text per step of a capture, each replacing the one before.
class StatusLine
{
public:
    virtual ~StatusLine() = default;
    virtual void showStatus(const QString& text) = 0;
    virtual void setStatusColour(const QColor& colour) = 0;
};
