#pragma once

#include "report/Finding.h"

#include <QByteArray>
#include <QString>

#include <cstddef>

// The findings in words, for the top of the page, and as figures for the JSON, where each carries
// the page's sentence as its "text".
namespace FindingText {

QString sentence(const Finding& finding);
QString tooShort(qint64 readableDays);
QString nothingStandsOut(qint64 days);
QString tooLong(std::size_t keptDays);

// The page's "Findings" heading and its sentences, or its note.
QString pageSection(const Findings& findings);
// The JSON members "findings" (a list) and "findings_note" (null while there are findings), each
// line indented and ended as the report's other members.
QByteArray jsonMembers(const Findings& findings);

} // namespace FindingText
