#include "ProcessUsage.h"

#include <unistd.h>

#include <fstream>

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return CpuSeconds(usage);
}

double CpuSeconds(const rusage& usage)
{
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double RssMb()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}
