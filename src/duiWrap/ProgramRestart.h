#pragma once

// Starting a new instance of the running program (the switch-user command).
class ProgramRestart {
public:
    // Spawns /proc/self/exe without arguments; false when it could not be started.
    static bool StartNewInstance();
};
