#pragma once

#include "base/SyncObject.h"

#include <mutex>

namespace base {

// Recursive, like the Windows critical section it stands for: the owning thread may enter again.
class CCriticalSection : public CSyncObject {
public:
    bool Lock(unsigned long timeoutMs = 0xFFFFFFFF) override;
    bool Unlock(long count, long* previousCount = nullptr) override;
    bool Unlock() override;

private:
    std::recursive_mutex mutex_;
};

}  // namespace base
