#pragma once

#include "platform/MessageBox.h"

#include <QString>
#include <QStringList>

// Records message boxes instead of showing them; a recorded box stays open, as a box the user has
// not yet answered does.
class RecordingMessageBox final : public MessageBox
{
public:
    void showExclamation(const QString& title, const QString& text) override
    {
        titles.append(title);
        texts.append(text);
        showing = true;
    }

    bool isShowing() const override { return showing; }

    QStringList titles;
    QStringList texts;
    bool showing = false;
};
