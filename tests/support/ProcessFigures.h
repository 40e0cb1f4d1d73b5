#pragma once

#include <QtGlobal>

// Figures of the running process that benchmarks and the soak driver print, read from /proc.
namespace ProcessFigures {

// Resident memory in KiB, or -1 where it cannot be read.
long residentKiB();
qsizetype openDescriptors();
qsizetype threads();
// User and system CPU time the process has used so far, in seconds.
double cpuSeconds();

} // namespace ProcessFigures
