#include "router/PageParser.h"

#include "platform/MessageBox.h"
#include "router/TextBetween.h"
#include "stats/DecimalNumber.h"
#include "stats/LineStatTable.h"
#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"

#include <QString>

#include <optional>
#include <string_view>

namespace {

constexpr QStringView keyLead = u"var ";
constexpr QStringView quoteChar = u"\"";
constexpr QStringView notAvailable = u"NA";
constexpr QStringView loginReply = u"Server Error: 401 Unauthorized";
constexpr QStringView missingPageReply = u"Server Error: 501 Not Implemented";
// Both replies begin "Server Error:", so their colon stands at the same place.
constexpr qsizetype replyColonAt = 12;
static_assert(loginReply[replyColonAt] == u':' && missingPageReply[replyColonAt] == u':');

// The page keys in table order.
const std::array<QLatin1String, statCount> pageKeys = [] {
    std::array<QLatin1String, statCount> keys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        keys[i] = QLatin1String(lineStatDefinitions[i].pageKey);
    return keys;
}();

// The value as a Single; nothing when the text is not a number. A character beyond the single-byte
// range becomes '?' and so is no number either.
std::optional<float> toSingle(QStringView valueText)
{
    const QByteArray bytes = valueText.toLatin1();
    return readDecimal(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

// Only 'v' and 'V' fold to 'v' and only a space matches a space, so a line can hold the key lead
// only where one of those letters stands three places before a space.
qsizetype nextKeyLead(QStringView line, qsizetype from)
{
    const char16_t* const data = line.utf16();
    const qsizetype spaceOffset = keyLead.size() - 1;
    for (qsizetype at = from; at + spaceOffset < line.size(); ++at) {
        const char16_t c = data[at];
        if ((c == u'v' || c == u'V') && data[at + spaceOffset] == u' '
            && line.sliced(at).startsWith(keyLead, Qt::CaseInsensitive))
            return at;
    }
    return -1;
}

enum class ErrorReply
{
    none,
    login,
    missingPage
};

// Both error texts carry a colon at the same place, and a colon matches only itself without regard
// to case, so a fast search for colons finds every place either text can start. The login failure
// wins wherever it stands on the page.
ErrorReply findErrorReply(QStringView page)
{
    ErrorReply found = ErrorReply::none;
    for (qsizetype colon = page.indexOf(u':', replyColonAt); colon >= 0; colon = page.indexOf(u':', colon + 1)) {
        const QStringView candidate = page.sliced(colon - replyColonAt);
        if (candidate.startsWith(loginReply, Qt::CaseInsensitive))
            return ErrorReply::login;
        if (candidate.startsWith(missingPageReply, Qt::CaseInsensitive))
            found = ErrorReply::missingPage;
    }
    return found;
}

// The index of the first statistic in table order whose key follows a key lead anywhere on the
// line; nothing when there is none.
std::optional<std::size_t> firstKeyOnLine(QStringView line)
{
    std::optional<std::size_t> best;
    for (qsizetype at = nextKeyLead(line, 0); at >= 0; at = nextKeyLead(line, at + 1)) {
        const QStringView afterLead = line.sliced(at + keyLead.size());
        for (std::size_t i = 0; i < std::size_t(statCount) && (!best || i < *best); ++i) {
            if (afterLead.startsWith(pageKeys[i], Qt::CaseInsensitive))
                best = i;
        }
        // Nothing comes before the first statistic.
        if (best && *best == 0)
            break;
    }
    return best;
}

// A value that is "NA" or not a number leaves the number an earlier line gave, so the statistics
// only ever take numbers the router really reported.
void takeValue(PageEntry& entry, QStringView line)
{
    const QStringView valueText = textBetween(quoteChar, quoteChar, line);
    entry.text = valueText.toString();
    if (valueText.compare(notAvailable, Qt::CaseInsensitive) == 0) {
        entry.kind = PageValue::notAvailable;
        return;
    }
    const std::optional<float> value = toSingle(valueText);
    entry.kind = value ? PageValue::number : PageValue::otherText;
    if (value)
        entry.number = value;
}

} // namespace

PageParser::PageParser(StatusLine& status, MessageBox& messageBox)
    : m_status(status)
    , m_messageBox(messageBox)
{ }

std::optional<PageReading> PageParser::parseStatsPage(const QString& pageText)
{
    m_status.showStatus(QString::fromLatin1(StatusTexts::routerFound));
    if (reportErrorReply(pageText))
        return std::nullopt;

    // Lines end at every line feed; a carriage return before it stays on the line, and a carriage
    // return alone does not end a line.
    const QStringView page(pageText);
    PageReading reading;
    int foundCount = 0;
    qsizetype lineStart = 0;
    while (lineStart <= page.size()) {
        qsizetype lineEnd = page.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = page.size();
        const QStringView line = page.sliced(lineStart, lineEnd - lineStart);
        if (const std::optional<std::size_t> i = firstKeyOnLine(line)) {
            takeValue(reading.at(*i), line);
            ++foundCount;
        }
        lineStart = lineEnd + 1;
    }

    if (foundCount == 0) {
        m_status.showStatus(QString::fromLatin1(StatusTexts::noValues));
        return std::nullopt;
    }
    return reading;
}

bool PageParser::reportErrorReply(const QString& pageText)
{
    const ErrorReply reply = findErrorReply(pageText);
    if (reply == ErrorReply::none)
        return false;
    const QString message
        = QString::fromLatin1(reply == ErrorReply::login ? StatusTexts::loginFailed : StatusTexts::pageMissing);
    m_status.showStatus(message);
    // The box does not hold up monitoring, so unattended error replies would pile up boxes; while
    // one is open, later replies only show in the status line.
    if (!m_messageBox.isShowing())
        m_messageBox.showExclamation(QString::fromLatin1(StatusTexts::appTitle), message);
    return true;
}
