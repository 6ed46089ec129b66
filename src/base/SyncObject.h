#pragma once

namespace base {

// A lockable object. Every lock of the program derives from this, so CSingleLock can guard any of them.
class CSyncObject {
public:
    virtual ~CSyncObject() = default;
    // The time-out is accepted for the Windows signature and ignored: every wait is infinite.
    virtual bool Lock(unsigned long timeoutMs = 0xFFFFFFFF) = 0;
    virtual bool Unlock(long count, long* previousCount = nullptr) = 0;
    virtual bool Unlock() = 0;
};

}  // namespace base
