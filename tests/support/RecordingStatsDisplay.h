#pragma once

#include "stats/LineStatTable.h"
#include "stats/StatsDisplay.h"

#include <QString>
#include <QStringList>

#include <array>

// Keeps what a statistics update showed: the labels' latest texts, every last-drop caption and icon.
class RecordingStatsDisplay final : public StatsDisplay
{
public:
    void showCurrent(int index, const QString& text) override { current.at(std::size_t(index)) = text; }
    void showMinMax(int index, const QString& minimumText, const QString& maximumText) override
    {
        minimum.at(std::size_t(index)) = minimumText;
        maximum.at(std::size_t(index)) = maximumText;
    }
    void showLastDrop(const QString& caption) override { lastDrops.append(caption); }
    void setWindowIcon(const QString& imageKey) override { icons.append(imageKey); }

    std::array<QString, statCount> current;
    std::array<QString, statCount> minimum;
    std::array<QString, statCount> maximum;
    QStringList lastDrops;
    QStringList icons;
};
