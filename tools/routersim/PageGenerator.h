#pragma once

#include "SimOptions.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <array>

// Writes the router's status page, one capture at a time: the four line values, fixed or drifting,
// with the scripted drops, NA values, missing keys and non-numeric texts of the options.
class PageGenerator
{
public:
    explicit PageGenerator(const SimOptions& options);

    QByteArray nextPage();
    static QByteArray errorPage(const QByteArray& title);

private:
    void advance();
    bool inDrop() const;
    QByteArray valueText(int series) const;

    const SimOptions& m_options;
    QRandomGenerator m_random;
    std::array<double, 4> m_values;
    int m_capture = 0;
};
