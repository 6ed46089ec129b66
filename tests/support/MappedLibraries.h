#pragma once

#include <set>
#include <string>

// The shared libraries a process has mapped, read from /proc/PID/maps: the distinct files whose name
// holds ".so" (libQt6Core.so.6, ld-linux-x86-64.so.2 ...). Empty when the process is gone.
std::set<std::string> MappedLibraries(int pid);

// Those of `libraries` whose file name begins with one of `prefixes` ("libavcodec", ...).
std::set<std::string> LibrariesNamed(const std::set<std::string>& libraries, const std::set<std::string>& prefixes);
