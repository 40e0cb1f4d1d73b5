#pragma once

#include "stats/StatusLine.h"

#include <QColor>
#include <QString>
#include <QStringList>

// Keeps every status text and colour in the order they were set.
class RecordingStatusLine final : public StatusLine
{
public:
    void showStatus(const QString& text) override { texts.append(text); }
    void setStatusColour(const QColor& colour) override { colours.append(colour); }
    QString last() const { return texts.isEmpty() ? QString() : texts.last(); }

    QStringList texts;
    QList<QColor> colours;
};
