#include "app/WindowStatsDisplay.h"

#include "ui_MainWindow.h"

#include "app/AccessibleNames.h"
#include "app/ClickableLabel.h"
#include "app/MainWindow.h"
#include "tray/TrayController.h"

WindowStatsDisplay::WindowStatsDisplay(MainWindow& window, TrayController& tray)
    : m_window(window)
    , m_tray(tray)
{ }

namespace {

// The cell's text, and its name carrying the same value for a screen reader.
void showInCell(QLabel* cell, int index, AccessibleNames::Column column, const QString& text)
{
    cell->setText(text);
    cell->setAccessibleName(AccessibleNames::cellName(index, column, text));
}

} // namespace

void WindowStatsDisplay::showCurrent(int index, const QString& text)
{
    showInCell(m_window.currentValues().at(std::size_t(index)), index, AccessibleNames::Column::current, text);
}

void WindowStatsDisplay::showMinMax(int index, const QString& minimumText, const QString& maximumText)
{
    const auto i = std::size_t(index);
    showInCell(m_window.minimumValues().at(i), index, AccessibleNames::Column::minimum, minimumText);
    showInCell(m_window.maximumValues().at(i), index, AccessibleNames::Column::maximum, maximumText);
}

void WindowStatsDisplay::showLastDrop(const QString& caption)
{
    m_window.ui().lastDropLabel->setText(caption);
}

void WindowStatsDisplay::setWindowIcon(const QString& imageKey)
{
    m_tray.setWindowIcon(imageKey);
}
