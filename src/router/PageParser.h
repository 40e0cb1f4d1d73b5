#pragma once

#include <QStringView>
#include <QtGlobal>

#include <optional>

class LineStatTable;
class MessageBox;
class QString;
class StatusLine;

// Turns the text of the router's status page into the four statistics of the table: recognises the
// router's error replies, finds each statistic's line by its page key and cuts out the quoted value.
class PageParser
{
public:
    PageParser(LineStatTable& table, StatusLine& status, MessageBox& messageBox);
    Q_DISABLE_COPY_MOVE(PageParser)

    // True when at least one statistic's line was found; false for an error reply or a page without
    // any key line. After a true result every current value holds a number.
    bool parseStatsPage(const QString& pageText);

private:
    bool reportErrorReply(const QString& pageText);
    std::optional<std::size_t> firstKeyOnLine(QStringView line) const;
    void takeValue(std::size_t i, QStringView line);

    LineStatTable& m_table;
    StatusLine& m_status;
    MessageBox& m_messageBox;
};
