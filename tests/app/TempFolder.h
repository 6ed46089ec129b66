#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A fresh folder (path ending in "/") removed with everything in it at the end of the test.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/kelvue-app-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            path_ = pattern + "/";
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream(path, std::ios::binary) << content;
}
