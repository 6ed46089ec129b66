#pragma once

// Runs a piece of work with the file permissions of an ordinary user: as is when the tests do not run
// as root; as root (who may read and write anything) in a child process that has become "nobody",
// after `folder` and everything in it were given to that user. Answers what the work answered.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

inline bool AsOrdinaryUser(const std::string& folder, const std::function<bool()>& work)
{
    if (geteuid() != 0)
        return work();
    constexpr uid_t kNobody = 65534;
    const std::filesystem::path top(folder);
    EXPECT_EQ(0, lchown(top.c_str(), kNobody, kNobody));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(top))
        EXPECT_EQ(0, lchown(entry.path().c_str(), kNobody, kNobody)) << entry.path();
    const pid_t child = fork();
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        return false;
    }
    if (child == 0) {
        const bool asNobody = setgid(kNobody) == 0 && setuid(kNobody) == 0;
        _exit(!asNobody ? 2 : work() ? 1 : 0);
    }
    int status = 0;
    EXPECT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(2, WEXITSTATUS(status)) << "could not become nobody";
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}
