#pragma once
// Identifiers and passwords the service hands out (IM passwords, picture file ids): 16 lower-case
// hex digits derived from a seed text, so the demo data is the same at every reset.
#include <string>

namespace cloudsim {

std::string MakeSecret(const std::string& seed);

}  // namespace cloudsim
