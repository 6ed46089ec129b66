#pragma once

#include <functional>
#include <string>

// Shows a file in the desktop's file manager: its folder is opened with xdg-open. Tests replace the
// launcher to see what would be opened without starting a file manager.
namespace FileManager {
void Reveal(const std::string& filePath);
void SetLauncher(std::function<void(const std::string& folder)> launcher);
}  // namespace FileManager
