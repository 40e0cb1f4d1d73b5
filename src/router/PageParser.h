#pragma once

#include "stats/LineStatTable.h"

#include <QStringView>
#include <QtGlobal>

#include <optional>

class MessageBox;
class QString;
class StatusLine;

// Reads the four statistics out of the text of the router's status page: recognises the router's
// error replies, finds each statistic's line by its page key and cuts out the quoted value.
class PageParser
{
public:
    PageParser(StatusLine& status, MessageBox& messageBox);
    Q_DISABLE_COPY_MOVE(PageParser)

    // What the page held when at least one statistic's line was found; nothing for an error reply
    // or a page without any key line, each said in the status line (and an error reply in a box).
    std::optional<PageReading> parseStatsPage(const QString& pageText);

private:
    bool reportErrorReply(const QString& pageText);

    StatusLine& m_status;
    MessageBox& m_messageBox;
};
