#pragma once

#include <cstdint>

namespace vt {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint64_t NowMs() = 0;
};

class Random {
public:
    virtual ~Random() = default;
    // Uniform in [0, n).
    virtual int Next(int n) = 0;
};

}  // namespace vt
