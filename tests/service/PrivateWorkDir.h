#pragma once

#include "app/LocalConfig.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

// Runs the test program in a folder of its own, which is also the program folder of LocalConfig, so
// "temp.txt", "config.ini" and "tmp/" never meet those of another test program running alongside.
class PrivateWorkDir : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/kelvue-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern + "/";
        ASSERT_EQ(chdir(folder_.c_str()), 0);
        LocalConfig::Instance()->InitAt(folder_, folder_ + "kelvue");
    }
    void TearDown() override
    {
        if (chdir("/") == 0)
            std::filesystem::remove_all(folder_);
    }
    static const std::string& Folder() { return folder_; }

private:
    static inline std::string folder_;
};

inline ::testing::Environment* const kPrivateWorkDir = ::testing::AddGlobalTestEnvironment(new PrivateWorkDir);
