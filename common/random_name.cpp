#include "common/random_name.h"

#include <chrono>
#include <random>

namespace vt {

std::string MakeRandomName() {
    static std::mt19937 rng(static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()) ^
                            std::random_device{}());
    static const char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::uniform_int_distribution<int> pick(0, 35);
    std::string name(10, '0');
    for (char& c : name)
        c = kChars[pick(rng)];
    return name;
}

}  // namespace vt
