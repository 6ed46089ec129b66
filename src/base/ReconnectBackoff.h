#pragma once

#include <chrono>
#include <random>

// The pauses between attempts to get something back that was lost (a connection, a stream): the first
// pause, then twice the last one up to a ceiling, each spread by a little randomness so that many
// clients (or cells) that lost the same peer do not all come back in the same instant. Reset() after
// a success starts again from the first pause. Not thread-safe: one owner uses it.
class ReconnectBackoff {
public:
    using Ms = std::chrono::milliseconds;

    // `spread` is the largest relative deviation of a pause (0.1 = up to 10 % shorter or longer); no
    // pause exceeds `ceiling`.
    ReconnectBackoff(Ms first, Ms ceiling, double spread = 0.1, unsigned seed = std::random_device{}());

    // The pause before the next attempt; the one after it will be about twice as long.
    Ms Next();
    void Reset();
    // Pauses handed out since the last Reset.
    int Attempts() const { return attempts_; }

private:
    Ms first_;
    Ms ceiling_;
    double spread_;
    Ms nominal_;
    int attempts_ = 0;
    std::mt19937 random_;
};
