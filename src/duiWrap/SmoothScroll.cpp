#include "duiWrap/SmoothScroll.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

int SmoothScroll::CurrentMove() const
{
    if (steps_ == 0)
        return 0;
    const double fraction = static_cast<double>(left_) / static_cast<double>(steps_);
    return static_cast<int>(fraction * fraction * delta_);
}

void SmoothScroll::Wheel(bool up)
{
    const int d = CurrentMove();
    if (up)
        delta_ = delta_ >= 0 ? d + 8 : d + 12;
    else
        delta_ = delta_ <= 0 ? d - 8 : d - 12;
    delta_ = std::clamp(delta_, -100, 100);
    steps_ = 5 * static_cast<unsigned>(std::sqrt(static_cast<double>(std::abs(delta_))));
    left_ = steps_;
}

int SmoothScroll::Step(bool atTop, bool atEnd)
{
    if (left_ > 0) {
        --left_;
        const int d = CurrentMove();
        if ((d > 0 && !atTop) || (d < 0 && !atEnd))
            return -d;
    }
    delta_ = 0;
    steps_ = 0;
    left_ = 0;
    return 0;
}
