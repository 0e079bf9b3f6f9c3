#include "core/random.hpp"

#include <cmath>

#include "core/checked.hpp"

namespace zb {

double NextUniform(uint64_t& state) {
    // splitmix64: a small state, a good spread, and the same sequence on every machine.
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
}

int16_t TimeMixedRandom(Game& game, int16_t n) {
    const TimeOfDay t = game.platform.clock.LocalTime();
    const int16_t m = Narrow<int16_t>(t.minute * 100 + t.second);
    const double u = NextUniform(game.challenge.RandomState);
    return Narrow<int16_t>(static_cast<int64_t>(std::floor(u * Add<int16_t>(n, m))));
}

}  // namespace zb
