#pragma once
// CPU and memory figures of this process, read the same way by every benchmark.
#include <sys/resource.h>

// User + system CPU seconds of `who` (RUSAGE_SELF or RUSAGE_CHILDREN).
double CpuSeconds(int who = RUSAGE_SELF);
// User + system CPU seconds of a usage record (e.g. a finished child's from wait4).
double CpuSeconds(const rusage& usage);

// Resident memory of this process in MiB.
double RssMb();
