#pragma once

#include <QByteArray>

struct ReportFigures;

// The report's figures as a JSON document (UTF-8), keys in a fixed order.
namespace ReportJson {

QByteArray render(const ReportFigures& figures);

} // namespace ReportJson
