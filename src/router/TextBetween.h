#pragma once

#include <QString>
#include <QStringView>

// The text of source between the first startMarker at or after the 1-based position start and the
// next endMarker after it, both found without regard to case; empty when either marker is missing.
// A start of 0 or below counts as 1, so callers may pass the usual "from the beginning" value.
QString textBetween(QStringView startMarker, QStringView endMarker, QStringView source, qsizetype start);

// The same search, returning a view into source instead of a copy.
QStringView textBetweenView(QStringView startMarker, QStringView endMarker, QStringView source, qsizetype start);
