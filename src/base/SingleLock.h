#pragma once

#include "base/SyncObject.h"

namespace base {

// Scoped lock over a CSyncObject: locks on construction when asked, unlocks on destruction if held.
class CSingleLock {
public:
    // Throws std::invalid_argument(" CSingleLock pObject == NULL ") for a null object: a programming fault.
    explicit CSingleLock(CSyncObject* object, bool initialLock = false);
    ~CSingleLock();

    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    bool Lock(unsigned long timeoutMs = 0xFFFFFFFF);
    bool Unlock();
    bool IsLocked() const { return locked_; }

private:
    CSyncObject* object_;
    bool locked_ = false;
};

}  // namespace base
