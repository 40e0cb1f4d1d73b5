#pragma once

#include <QtGlobal>

// What the tray service needs of the window its icon belongs to: the window's handle, to which the
// shell reports icon activity, and the handle of the icon the window shows right now.
class TrayWindow
{
public:
    virtual ~TrayWindow() = default;
    virtual quint32 windowHandle() const = 0;
    virtual quint32 currentIconHandle() const = 0;
};
