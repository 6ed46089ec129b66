#include "base/CriticalSection.h"

namespace base {

bool CCriticalSection::Lock(unsigned long /*timeoutMs*/)
{
    mutex_.lock();
    return true;
}

bool CCriticalSection::Unlock(long /*count*/, long* /*previousCount*/)
{
    return true;
}

bool CCriticalSection::Unlock()
{
    mutex_.unlock();
    return true;
}

}  // namespace base
