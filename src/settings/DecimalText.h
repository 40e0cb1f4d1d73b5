#pragma once

#include <QString>

#include <optional>

// Decimal numbers as people type them: a point or a comma before the fraction, whatever the locale,
// and never a group separator, so "0,5" and "0.5" are both a half everywhere and neither "4.500" nor
// "4,500" is four thousand five hundred.
namespace DecimalText {

// A number at the start of a text.
struct Leading
{
    double value = 0.0;
    bool isZero = false; // written with no digit other than 0
};

// The whole text, blanks around allowed: an optional sign, digits with a fraction after a point or a
// comma, an optional exponent. Nothing for any other text and for numbers beyond what a Single holds.
std::optional<double> wholeNumber(const QString& text);

// The number at the start of the text, after blanks: an optional sign and digits with a fraction after
// a point or a comma, no exponent. Nothing when the text does not start with one.
std::optional<Leading> leadingNumber(const QString& text);

// The text with the decimal comma of its leading number written as a point, the form every reader
// of the settings file takes, whatever its locale.
QString withDecimalPoint(QString text);

} // namespace DecimalText
