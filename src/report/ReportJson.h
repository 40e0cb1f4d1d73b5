#pragma once

class QIODevice;
struct ReportFigures;

// The report's figures as a JSON document (UTF-8), keys in a fixed order, written to the device
// piece by piece so that no list, however long, is ever held whole.
namespace ReportJson {

// False when the device refused a write or the gaps could not be read back.
bool write(const ReportFigures& figures, QIODevice& device);

} // namespace ReportJson
