#pragma once
// A request the service turns down: becomes a reply with a non-zero "code" and a Chinese "msg" that
// tells the user what to do. Thrown by the handlers; the transaction in progress is rolled back.
#include <stdexcept>
#include <string>

namespace cloudsim {

enum RefusalCode {
    kMalformed = 1001,       // not a JSON object, a member of the wrong type, a member missing
    kUnknownCommand = 1002,  // unknown "cmd" or endpoint
    kTooLarge = 1003,        // body over the size limit
    kNotFound = 2001,        // unknown account, node, camera, role, alarm receiver...
    kDenied = 2002,          // wrong password, expired account, not allowed for this account
    kInvalid = 2003,         // a value out of range or in the wrong format
    kConflict = 2004,        // already exists, still in use, not empty
    kInternal = 5000,        // the service failed (logged)
};

class Refusal : public std::runtime_error {
public:
    Refusal(RefusalCode code, const std::string& message) : std::runtime_error(message), code(code) {}
    RefusalCode Code() const { return code; }

private:
    RefusalCode code;
};

}  // namespace cloudsim
