#pragma once

#include "base/CriticalSection.h"
#include "base/SingleLock.h"

#include <atomic>

namespace base {

// Lazy process-wide instance: created on first use under a lock, never destroyed.
// T needs a default constructor reachable from Sigleton<T> (make it a friend if the constructor is private).
template <typename T>
class Sigleton {
public:
    static T* Instance()
    {
        T* instance = instance_.load(std::memory_order_acquire);
        if (instance != nullptr)
            return instance;
        CSingleLock lock(&lock_, true);
        instance = instance_.load(std::memory_order_relaxed);
        if (instance == nullptr) {
            instance = new T();
            instance_.store(instance, std::memory_order_release);
        }
        return instance;
    }

private:
    static inline std::atomic<T*> instance_{nullptr};
    static inline CCriticalSection lock_;
};

}  // namespace base
