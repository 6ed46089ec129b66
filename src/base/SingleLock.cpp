#include "base/SingleLock.h"

#include <stdexcept>

namespace base {

CSingleLock::CSingleLock(CSyncObject* object, bool initialLock)
    : object_(object)
{
    if (object_ == nullptr)
        throw std::invalid_argument(" CSingleLock pObject == NULL ");
    if (initialLock)
        Lock();
}

CSingleLock::~CSingleLock()
{
    Unlock();
}

bool CSingleLock::Lock(unsigned long timeoutMs)
{
    if (!locked_)
        locked_ = object_->Lock(timeoutMs);
    return locked_;
}

bool CSingleLock::Unlock()
{
    if (locked_)
        locked_ = !object_->Unlock();
    return !locked_;
}

}  // namespace base
