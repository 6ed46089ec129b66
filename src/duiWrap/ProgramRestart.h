#pragma once

#include <string>

// Starting a new instance of the running program (the switch-user command).
class ProgramRestart {
public:
    // Spawns the running program without arguments, by its real path (so that it shows as itself to
    // `ps` and to scripts that wait for it); false when it could not be started.
    static bool StartNewInstance();
    // The real path of the running program's file; empty when it cannot be read.
    static std::string ProgramPath();
};
