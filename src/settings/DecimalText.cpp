#include "settings/DecimalText.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// Only ASCII digits: the conversion below reads no others.
const QString unsignedDecimal = QStringLiteral("([0-9]+([.,][0-9]*)?|[.,][0-9]+)");

bool fitsSingle(double number)
{
    return std::isfinite(number) && std::isfinite(float(number));
}

// The number's text with a point before its fraction, for the locale-free conversion.
std::optional<double> pointNumber(QString text)
{
    bool ok = false;
    const double number = text.replace(u',', u'.').toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

QRegularExpressionMatch leadingMatch(const QString& text)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*([+-]?") + unsignedDecimal + u')');
    return leading.match(text);
}

} // namespace

namespace DecimalText {

std::optional<double> wholeNumber(const QString& text)
{
    static const QRegularExpression whole(
        QStringLiteral("^\\s*[+-]?") + unsignedDecimal + QStringLiteral("([eE][+-]?[0-9]+)?\\s*$"));
    if (!whole.match(text).hasMatch())
        return std::nullopt;
    const std::optional<double> number = pointNumber(text.trimmed());
    return number && fitsSingle(*number) ? number : std::nullopt;
}

std::optional<Leading> leadingNumber(const QString& text)
{
    const QRegularExpressionMatch match = leadingMatch(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString written = match.captured(1);
    const std::optional<double> number = pointNumber(written);
    if (!number)
        return std::nullopt;
    const bool isZero = std::none_of(written.begin(), written.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    return Leading{*number, isZero};
}

QString withDecimalPoint(QString text)
{
    const QRegularExpressionMatch match = leadingMatch(text);
    const qsizetype comma = match.hasMatch() ? match.captured(1).indexOf(u',') : -1;
    if (comma >= 0)
        text[match.capturedStart(1) + comma] = u'.';
    return text;
}

} // namespace DecimalText
