#pragma once

// The device list's gliding wheel scroll. A wheel step sets a speed (pixels) and a number of 50 ms
// steps; each step moves by the speed times the square of the remaining fraction of steps, so the
// glide slows down and ends at the first move that truncates to 0. Wheel steps during a glide add
// to the remaining speed, which is limited to 100 pixels either way.
class SmoothScroll {
public:
    static constexpr unsigned kTimerId = 10;
    static constexpr unsigned kPeriodMs = 50;

    // A wheel step; afterwards the glide timer must run.
    void Wheel(bool up);

    // One timer step. Returns the pixels to move the scroll position by (positive = down), or 0 when
    // the glide has ended (the timer must stop). atTop/atEnd: the position cannot move further.
    int Step(bool atTop, bool atEnd);

    bool Gliding() const { return left_ > 0; }

private:
    int CurrentMove() const;

    int delta_ = 0;       // pixels, -100..100; positive scrolls up
    unsigned steps_ = 0;  // steps of the current glide
    unsigned left_ = 0;   // steps still to go
};
