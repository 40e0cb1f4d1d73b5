#include "graph/GraphState.h"

#include <cmath>

GraphState::GraphState()
{
    for (std::size_t i = 0; i < seriesCodes.size(); ++i) {
        seriesCodes[i] = QString::fromLatin1(lineStatDefinitions[i].code);
        seriesShown[i] = true;
    }
}

void GraphState::computeScale(int surfaceWidth, int surfaceHeight)
{
    if (!scaleFor(graphMax, surfaceHeight, yScale)) {
        graphMax = defaultGraphMax;
        scaleFor(graphMax, surfaceHeight, yScale);
    }
    computeXStep(surfaceWidth);
}

bool GraphState::applyRange(float top, int surfaceHeight)
{
    float scale = 0.0f;
    if (!scaleFor(top, surfaceHeight, scale))
        return false;
    graphMax = top;
    yScale = scale;
    return true;
}

void GraphState::computeXStep(int surfaceWidth)
{
    xStep = float(double(surfaceWidth) / SeriesRecord::pointCount);
}

bool GraphState::scaleFor(float top, int surfaceHeight, float& scale)
{
    // A range of zero or below has no scale, and a tiny one overflows the float.
    if (!(top > 0.0f) || !std::isfinite(top))
        return false;
    const float candidate = float(double(surfaceHeight) / double(top));
    if (!std::isfinite(candidate))
        return false;
    scale = candidate;
    return true;
}
