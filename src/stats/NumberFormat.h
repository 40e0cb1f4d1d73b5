#pragma once

#include <QLocale>
#include <QString>

class QDateTime;

// The texts a statistics update shows: value labels, tooltip values and the drop time.
// The locale is a parameter so the window passes the user's and tests pass a fixed one.
class NumberFormat
{
public:
    // "0.0": one decimal, halves away from zero, never "-0.0".
    static QString labelForm(float value, const QLocale& locale = QLocale());
    // The general form: at most 7 significant digits, no trailing zeros, no separator for whole numbers.
    static QString tooltipForm(float value, const QLocale& locale = QLocale());
    // "ddd dd/mm/yyyy hh:nn:ss" with the locale's weekday abbreviation.
    static QString dropTime(const QDateTime& time, const QLocale& locale = QLocale());

private:
    static QString withDecimalPoint(QString text, const QLocale& locale);
};
