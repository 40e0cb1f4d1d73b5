#pragma once

#include "platform/IconRegistry.h"
#include "tray/TrayHostWindow.h"

// A window that only remembers what the tray handling did to it.
class FakeTrayWindow final : public TrayHostWindow
{
public:
    quint32 windowHandle() const override { return handle; }
    quint32 currentIconHandle() const override { return iconHandle; }
    void setWindowVisible(bool isVisible) override { visible = isVisible; }
    void setWindowMinimised(bool isMinimised) override { minimised = isMinimised; }
    void setWindowIcon(const QIcon& icon) override { iconHandle = icons.handleFor(icon); }
    void activateWindow() override { ++activations; }

    quint32 handle = 0x00C0FFEE;
    quint32 iconHandle = 0x5151;
    bool visible = true;
    bool minimised = false;
    int activations = 0;
    IconRegistry icons;
};
