#pragma once

#include "tray/TrayHostWindow.h"

class IconRegistry;
class QWidget;

// A top-level widget as the window the tray icon belongs to. Its icon is handed to the shell
// through the registry's handles.
class WidgetTrayWindow final : public TrayHostWindow
{
public:
    WidgetTrayWindow(QWidget& widget, IconRegistry& icons);

    quint32 windowHandle() const override;
    quint32 currentIconHandle() const override;
    void setWindowVisible(bool visible) override;
    void setWindowMinimised(bool minimised) override;
    void setWindowIcon(const QIcon& icon) override;
    void activateWindow() override;

private:
    QWidget& m_widget;
    IconRegistry& m_icons;
};
