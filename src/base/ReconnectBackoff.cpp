#include "base/ReconnectBackoff.h"

#include <algorithm>

ReconnectBackoff::ReconnectBackoff(Ms first, Ms ceiling, double spread, unsigned seed)
    : first_(first), ceiling_(std::max(first, ceiling)), spread_(std::clamp(spread, 0.0, 1.0)), nominal_(first),
      random_(seed)
{
}

ReconnectBackoff::Ms ReconnectBackoff::Next()
{
    std::uniform_real_distribution<double> factor(1.0 - spread_, 1.0 + spread_);
    const auto pause = Ms(static_cast<Ms::rep>(static_cast<double>(nominal_.count()) * factor(random_)));
    nominal_ = std::min(nominal_ * 2, ceiling_);
    ++attempts_;
    return std::min(pause, ceiling_);
}

void ReconnectBackoff::Reset()
{
    nominal_ = first_;
    attempts_ = 0;
}
