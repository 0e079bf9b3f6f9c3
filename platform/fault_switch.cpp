#include "platform/fault_switch.hpp"

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace zb::fault {

namespace {

constexpr const char* kNames[] = {"keydown", "draw", "pad", "close", "scan", "kit"};

unsigned Bit(Place p) {
    return 1u << unsigned(p);
}

// Read from the environment once, before any thread of the game runs.
unsigned FromEnvironment() {
    const char* env = std::getenv("ZUBAKKO_TEST_FAULT");
    if (!env) return 0;
    const std::string list = std::string(",") + env + ",";
    unsigned bits = 0;
    for (unsigned i = 0; i < std::size(kNames); ++i)
        if (list.find(std::string(",") + kNames[i] + ",") != std::string::npos) bits |= 1u << i;
    return bits;
}

std::atomic<unsigned> gArmed{FromEnvironment()};

}  // namespace

void Arm(Place place) {
    gArmed.fetch_or(Bit(place));
}

void Trip(Place place) {
    if (!(gArmed.load(std::memory_order_relaxed) & Bit(place))) return;
    if (gArmed.fetch_and(~Bit(place)) & Bit(place))
        throw std::runtime_error(std::string("test fault: ") + kNames[unsigned(place)]);
}

}  // namespace zb::fault
