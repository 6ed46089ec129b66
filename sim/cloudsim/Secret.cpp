#include "Secret.h"

#include <cstdint>
#include <cstdio>

namespace cloudsim {

std::string MakeSecret(const std::string& seed) {
    // FNV-1a, then a 64-bit finaliser so that similar seeds give unrelated outputs.
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : seed) hash = (hash ^ c) * 1099511628211ull;
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

}  // namespace cloudsim
