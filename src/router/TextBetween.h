#pragma once

#include <QStringView>

// The text of source between the first startMarker at or after index from and the next endMarker
// after it, both found without regard to case; empty when either marker is missing. The result is a
// view into source.
QStringView textBetween(QStringView startMarker, QStringView endMarker, QStringView source, qsizetype from = 0);
