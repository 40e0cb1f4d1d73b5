#include "router/TextBetween.h"

QStringView textBetweenView(QStringView startMarker, QStringView endMarker, QStringView source, qsizetype start)
{
    const qsizetype from = start < 1 ? 0 : start - 1;
    const qsizetype markerAt = source.indexOf(startMarker, from, Qt::CaseInsensitive);
    if (markerAt < 0)
        return {};
    const qsizetype textAt = markerAt + startMarker.size();
    const qsizetype endAt = source.indexOf(endMarker, textAt, Qt::CaseInsensitive);
    if (endAt < 0)
        return {};
    return source.sliced(textAt, endAt - textAt);
}

QString textBetween(QStringView startMarker, QStringView endMarker, QStringView source, qsizetype start)
{
    return textBetweenView(startMarker, endMarker, source, start).toString();
}
