#pragma once

class QString;

// The window's side of a statistics update: the value labels, the last-drop caption and the icon.
// Index i is the statistic's 0-based index in the table.
class StatsDisplay
{
public:
    virtual ~StatsDisplay() = default;
    virtual void showCurrent(int index, const QString& text) = 0;
    virtual void showMinMax(int index, const QString& minimumText, const QString& maximumText) = 0;
    virtual void showLastDrop(const QString& caption) = 0;
    // One of the three status images: "small_normal", "small_online", "small_offline".
    virtual void setWindowIcon(const QString& imageKey) = 0;
};
