#pragma once

#include "tray/TrayWindow.h"

class QWidget;

// A top-level widget as the window the tray icon belongs to.
class WidgetTrayWindow final : public TrayWindow
{
public:
    explicit WidgetTrayWindow(QWidget& widget);

    void setWindowVisible(bool visible) override;
    void setWindowMinimised(bool minimised) override;
    void setWindowIcon(const QIcon& icon) override;
    void activateWindow() override;

private:
    QWidget& m_widget;
};
