#pragma once

#include <QString>

// The program's name and version as the window caption and the command line show them.
namespace AppInfo {

// Major, minor and revision, e.g. "1.0.3" for version 1.0.0.3.
QString versionText();
QString windowCaption();

} // namespace AppInfo
