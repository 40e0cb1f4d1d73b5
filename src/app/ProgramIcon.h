#pragma once

#include <QIcon>

// The program's own icon, sharp at every size the build renders: a small screen on a stand
// showing a blue and a red line graph.
namespace ProgramIcon {

QIcon icon();

} // namespace ProgramIcon
