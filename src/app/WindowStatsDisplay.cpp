#include "app/WindowStatsDisplay.h"

#include "ui_MainWindow.h"

#include "app/ClickableLabel.h"
#include "app/MainWindow.h"
#include "tray/TrayController.h"

WindowStatsDisplay::WindowStatsDisplay(MainWindow& window, TrayController& tray)
    : m_window(window)
    , m_tray(tray)
{ }

void WindowStatsDisplay::showCurrent(int index, const QString& text)
{
    m_window.currentValues().at(std::size_t(index))->setText(text);
}

void WindowStatsDisplay::showMinMax(int index, const QString& minimumText, const QString& maximumText)
{
    m_window.minimumValues().at(std::size_t(index))->setText(minimumText);
    m_window.maximumValues().at(std::size_t(index))->setText(maximumText);
}

void WindowStatsDisplay::showLastDrop(const QString& caption)
{
    m_window.ui().lastDropLabel->setText(caption);
}

void WindowStatsDisplay::setWindowIcon(const QString& imageKey)
{
    m_tray.setWindowIcon(imageKey);
}
