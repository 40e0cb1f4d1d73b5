#include "router/TextBetween.h"

QStringView textBetween(QStringView startMarker, QStringView endMarker, QStringView source, qsizetype from)
{
    const qsizetype markerAt = source.indexOf(startMarker, from, Qt::CaseInsensitive);
    if (markerAt < 0)
        return {};
    const qsizetype textAt = markerAt + startMarker.size();
    const qsizetype endAt = source.indexOf(endMarker, textAt, Qt::CaseInsensitive);
    if (endAt < 0)
        return {};
    return source.sliced(textAt, endAt - textAt);
}
