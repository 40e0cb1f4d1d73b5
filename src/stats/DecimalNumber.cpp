#include "stats/DecimalNumber.h"

#include <charconv>
#include <cmath>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view text, std::size_t at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

std::size_t skipSign(std::string_view text, std::size_t at)
{
    return at < text.size() && (text[at] == '+' || text[at] == '-') ? at + 1 : at;
}

bool isDecimalNumber(std::string_view text)
{
    std::size_t at = skipSign(text, 0);
    const std::size_t integerStart = at;
    at = skipDigits(text, at);
    bool hasDigits = at > integerStart;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fractionStart = ++at;
        at = skipDigits(text, at);
        hasDigits = hasDigits || at > fractionStart;
    }
    if (!hasDigits)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        at = skipSign(text, at + 1);
        const std::size_t exponentStart = at;
        at = skipDigits(text, at);
        if (at == exponentStart)
            return false;
    }
    return at == text.size();
}

} // namespace

std::optional<float> readDecimal(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (!isDecimalNumber(text))
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}
