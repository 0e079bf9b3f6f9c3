// The game's integer arithmetic: 16- and 32-bit values that raise an overflow error instead of
// wrapping, float-to-integer conversion that rounds halves to even, truncating division and a
// remainder that keeps the dividend's sign.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace zb {

// The one error that every checked operation raises.
class OverflowError : public std::overflow_error {
  public:
    explicit OverflowError(const std::string& what = "overflow") : std::overflow_error(what) {}
};

// The error's text names the value that did not fit, for the line on standard error.
[[noreturn]] inline void ThrowDoesNotFit(const std::string& value, int bits) {
    throw OverflowError("overflow: " + value + " does not fit in " + std::to_string(bits) +
                        " bits");
}

template <typename T>
concept CheckedInt = std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t>;

// Narrows any integer to T, raising OverflowError when it does not fit.
template <CheckedInt T, typename U>
requires std::is_integral_v<U>
constexpr T Narrow(U v) {
    if (!std::in_range<T>(v)) ThrowDoesNotFit(std::to_string(v), int(sizeof(T) * 8));
    return static_cast<T>(v);
}

template <CheckedInt T>
constexpr T Add(T a, T b) {
    return Narrow<T>(int64_t{a} + int64_t{b});
}

template <CheckedInt T>
constexpr T Sub(T a, T b) {
    return Narrow<T>(int64_t{a} - int64_t{b});
}

template <CheckedInt T>
constexpr T Mul(T a, T b) {
    return Narrow<T>(int64_t{a} * int64_t{b});
}

template <CheckedInt T>
constexpr T Neg(T a) {
    return Narrow<T>(-int64_t{a});
}

// `\`: division truncating toward zero. Division by zero and MIN \ -1 raise OverflowError.
template <CheckedInt T>
constexpr T IntDiv(T a, T b) {
    if (b == 0) throw OverflowError("division by zero");
    return Narrow<T>(int64_t{a} / int64_t{b});
}

// `mod`: the remainder keeps the sign of the dividend.
template <CheckedInt T>
constexpr T Mod(T a, T b) {
    if (b == 0) throw OverflowError("division by zero");
    return static_cast<T>(int64_t{a} % int64_t{b});
}

// Converts a double to T, rounding to the nearest integer with halves to even
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). NaN and values outside T raise OverflowError.
template <CheckedInt T>
T Round(double v) {
    if (std::isnan(v)) throw OverflowError("overflow converting NaN");
    const double r = std::nearbyint(v);  // the default rounding mode rounds halves to even
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        ThrowDoesNotFit(std::to_string(v), int(sizeof(T) * 8));
    return static_cast<T>(r);
}

inline int16_t Round16(double v) {
    return Round<int16_t>(v);
}
inline int32_t Round32(double v) {
    return Round<int32_t>(v);
}

}  // namespace zb
