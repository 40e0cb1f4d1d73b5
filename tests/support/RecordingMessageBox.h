#pragma once

#include "platform/MessageBox.h"

#include <QString>
#include <QStringList>

// Records message boxes instead of showing them.
class RecordingMessageBox final : public MessageBox
{
public:
    void showExclamation(const QString& title, const QString& text) override
    {
        titles.append(title);
        texts.append(text);
    }

    QStringList titles;
    QStringList texts;
};
