#pragma once
// CPU and memory figures of this process, read the same way by every benchmark.
#include <sys/resource.h>

// User + system CPU seconds of `who` (RUSAGE_SELF or RUSAGE_CHILDREN).
double CpuSeconds(int who = RUSAGE_SELF);

// Resident memory of this process in MiB.
double RssMb();
