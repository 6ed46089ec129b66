#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

// Files that cannot serve as one of the program's own libraries (`fileName`), for its loader's tests:
// one that is missing, a text file named like a library, and `otherLibrary`, a real library that
// exports none of the wanted functions. The text file lives as long as this object.
class UnusableLibraries {
public:
    UnusableLibraries(const std::string& fileName, std::string otherLibrary)
        : notALibrary_(std::filesystem::temp_directory_path().string() + "/text-" + std::to_string(::getpid()) + "-" +
                       fileName),
          otherLibrary_(std::move(otherLibrary))
    {
        std::ofstream(notALibrary_) << "not a library\n";
        files_ = {"/nonexistent/" + fileName, notALibrary_, otherLibrary_};
    }
    ~UnusableLibraries() { std::filesystem::remove(notALibrary_); }
    UnusableLibraries(const UnusableLibraries&) = delete;
    UnusableLibraries& operator=(const UnusableLibraries&) = delete;

    const std::vector<std::string>& Files() const { return files_; }
    const std::string& NotALibrary() const { return notALibrary_; }
    const std::string& OtherLibrary() const { return otherLibrary_; }

private:
    const std::string notALibrary_;
    const std::string otherLibrary_;
    std::vector<std::string> files_;
};
