#pragma once

#include <functional>
#include <string>

// Shows a file in the desktop's file manager: the file manager's "show items" call over the session
// bus (its folder opened with the file selected); without a session bus or a file manager that
// answers it, the folder is opened with xdg-open. Tests replace the launcher to see what would be
// shown without starting a file manager.
namespace FileManager {
void Reveal(const std::string& filePath);
void SetLauncher(std::function<void(const std::string& filePath)> launcher);
}  // namespace FileManager
