#pragma once

#include "stats/LineStatTable.h"
#include "stats/SampleHistory.h"

#include <QString>

#include <array>

// The graph's state for the whole run: the value range and scale, the series codes and selection,
// and the sample history.
class GraphState
{
public:
    static constexpr float defaultGraphMax = 50.0f;

    GraphState();

    // The start-up scale: yScale from the height and graphMax, xStep from the width. A graphMax that
    // cannot serve as a range (zero, negative, not finite) is first put back to the default.
    void computeScale(int surfaceWidth, int surfaceHeight);
    // A new top value and its yScale; a top that gives no usable scale leaves both as they are.
    bool applyRange(float top, int surfaceHeight);
    void computeXStep(int surfaceWidth);

    float graphMax = defaultGraphMax;
    float yScale = 0.0f;
    float xStep = 0.0f;
    std::array<QString, statCount> seriesCodes;
    std::array<bool, statCount> seriesShown{};
    SampleHistory graphSeries;

private:
    static bool scaleFor(float top, int surfaceHeight, float& scale);
};
