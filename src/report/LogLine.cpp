#include "report/LogLine.h"

#include "report/WallClock.h"
#include "stats/DecimalNumber.h"

namespace {

struct Field
{
    std::string_view text;
    bool plain = true; // false when the text held quotes of its own: never a number
};

constexpr int maxFields = 6;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A quoted field runs to the quote that is not doubled; the caller stands after it.
bool takeQuotedField(std::string_view line, std::size_t& pos, Field& field)
{
    const std::size_t start = pos + 1;
    std::size_t at = start;
    bool doubled = false;
    for (;;) {
        const std::size_t quote = line.find('"', at);
        if (quote == std::string_view::npos)
            return false;
        if (quote + 1 < line.size() && line[quote + 1] == '"') {
            doubled = true;
            at = quote + 2;
            continue;
        }
        field.text = line.substr(start, quote - start);
        field.plain = !doubled;
        pos = quote + 1;
        return pos == line.size() || line[pos] == ',';
    }
}

// The number of fields, or -1 for broken quoting or more fields than a log line has.
int splitFields(std::string_view line, std::array<Field, maxFields>& fields)
{
    int count = 0;
    std::size_t pos = 0;
    for (;;) {
        if (count == maxFields)
            return -1;
        Field& field = fields[std::size_t(count++)];
        if (pos < line.size() && line[pos] == '"') {
            if (!takeQuotedField(line, pos, field))
                return -1;
        } else {
            const std::size_t comma = std::min(line.find(',', pos), line.size());
            field.text = line.substr(pos, comma - pos);
            field.plain = field.text.find('"') == std::string_view::npos;
            pos = comma;
        }
        if (pos == line.size())
            return count;
        ++pos; // the comma
    }
}

bool sameLetters(std::string_view text, std::string_view word)
{
    if (text.size() != word.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((text[i] | 0x20) != (word[i] | 0x20))
            return false;
    }
    return true;
}

bool isHeader(std::string_view firstField)
{
    const std::string_view name = trimmed(firstField);
    return sameLetters(name, "Date") || sameLetters(name, "DateTime");
}

bool digitsAt(std::string_view text, std::size_t at, std::size_t count, int& number)
{
    number = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    return true;
}

// "dd/MM/yyyy" and "HH:mm:ss" exactly as the program writes them.
bool parseDateTime(std::string_view date, std::string_view time, qint64& stamp)
{
    int day = 0;
    int month = 0;
    int year = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    const bool shaped = date.size() == 10 && date[2] == '/' && date[5] == '/' && time.size() == 8 && time[2] == ':'
        && time[5] == ':' && digitsAt(date, 0, 2, day) && digitsAt(date, 3, 2, month) && digitsAt(date, 6, 4, year)
        && digitsAt(time, 0, 2, hour) && digitsAt(time, 3, 2, minute) && digitsAt(time, 6, 2, second);
    if (!shaped || !WallClock::isValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59)
        return false;
    stamp = WallClock::stampOf(year, month, day, hour, minute, second);
    return true;
}

bool parseValue(const Field& field, float& value)
{
    if (!field.plain)
        return false;
    const std::optional<float> number = readDecimal(field.text);
    if (number)
        value = *number;
    return number.has_value();
}

} // namespace

LogLine parseLogLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    LogLine result;
    if (trimmed(line).empty()) {
        result.kind = LogLineKind::blank;
        return result;
    }
    std::array<Field, maxFields> fields;
    const int count = splitFields(line, fields);
    if (count >= 1 && isHeader(fields[0].text)) {
        result.kind = LogLineKind::header;
        return result;
    }
    bool dated = false;
    std::size_t firstValue = 0;
    if (count == 6) {
        dated = parseDateTime(fields[0].text, fields[1].text, result.capture.stamp);
        firstValue = 2;
    } else if (count == 5 && fields[0].text.size() == 19 && fields[0].text[10] == ' ') {
        dated = parseDateTime(fields[0].text.substr(0, 10), fields[0].text.substr(11), result.capture.stamp);
        firstValue = 1;
    }
    if (!dated)
        return result;
    for (std::size_t i = 0; i < std::size_t(logStatCount); ++i) {
        if (parseValue(fields[firstValue + i], result.capture.values[i]))
            result.capture.numberMask |= 1u << i;
    }
    result.kind = LogLineKind::capture;
    return result;
}
