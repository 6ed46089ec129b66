#pragma once

#include "SimCamera.h"

#include <string>
#include <vector>

// The cameras camsim runs: from cloudsim's database, or from "ID:PASSWORD" texts of the command line.
namespace CameraList {

// Reads the camera table. False with a message in `error` when the database cannot be read.
bool FromDatabase(const std::string& path, std::vector<SimCamera::Account>& out, std::string& error);
// "ID:PASSWORD" (the password may itself contain ':'). False for a text without ':' or an empty id.
bool FromText(const std::string& text, SimCamera::Account& out);

}  // namespace CameraList
