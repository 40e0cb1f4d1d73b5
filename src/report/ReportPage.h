#pragma once

#include <QByteArray>
#include <QString>

struct ReportFigures;

// The report as one self-contained HTML page (UTF-8): summary, the two charts, the day table and
// the list of drops and pauses. It needs no scripts and fetches nothing, and prints on A4.
namespace ReportPage {

QByteArray render(const ReportFigures& figures, const QString& logName);

} // namespace ReportPage
